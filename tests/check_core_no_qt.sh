#!/bin/sh
# Fails when a file built into the core library includes a Qt header or when
# the core library links Qt.
root="$1"
cd "$root/src" || exit 2
core_files=$(grep -rl --include='*.cpp' --include='*.h' -E '#include <Q' . |
    grep -v -E '/(Qt[A-Za-z]*|.*Window|.*Dialog|.*Form|.*Menu|.*Widget|Anteprima|MenuStampa|CreaElenco|MsgBox_Form|KV7DeskTop|Qt[A-Za-z]*Printer)[A-Za-z]*\.(cpp|h)$')
if [ -n "$core_files" ]; then
    echo "Qt headers in core files:"
    echo "$core_files"
    exit 1
fi
exit 0
