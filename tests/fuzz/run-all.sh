#!/bin/sh
# run-all.sh BUILD_DIR [SECONDS] [TARGET...]
# Runs each libFuzzer target of BUILD_DIR (configured with -DPRESENZE_FUZZ=ON)
# for SECONDS (default 60) over its corpus in tests/fuzz/corpus/TARGET, which
# keeps the new inputs it finds (minimised again at the end). Inputs that
# make a target fail are left in BUILD_DIR/fuzz-findings/TARGET; once fixed,
# copy them into tests/fuzz/regressions/TARGET, which the test run replays.
# Exit status 1 when a target failed.
set -u

if [ $# -lt 1 ]; then
    echo "Uso: $0 CARTELLA_DI_BUILD [SECONDI] [BERSAGLIO...]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
seconds=${2:-60}
shift
[ $# -gt 0 ] && shift
here=$(cd "$(dirname "$0")" && pwd)
targets=${*:-"csv_export report_reader routines report_options jet_helper jet_loader"}

# Scratch files go to memory when the machine has a memory file system.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

failed=""
summary=""
for target in $targets; do
    program="$build/bin/fuzz_$target"
    if [ ! -x "$program" ]; then
        echo "Manca $program: configurare con -DPRESENZE_FUZZ=ON" >&2
        exit 2
    fi
    corpus="$here/corpus/$target"
    regressions="$here/regressions/$target"
    findings="$build/fuzz-findings/$target"
    log="$build/fuzz-findings/$target.log"
    mkdir -p "$corpus" "$regressions" "$findings"
    fork=""
    case $target in
    jet_helper)
        # libmdb itself runs out of memory or time on some damaged files (its
        # property parser can loop for ever); the program keeps it in the
        # helper process, whose limits end it and the file is reported as
        # unreadable. Here each input likewise runs in a child process:
        # running out of memory or time is noted and fuzzing goes on, while
        # a crash or a leak still stops it.
        options="-max_len=2048 -timeout=120 -rss_limit_mb=2048"
        fork="-fork=1 -ignore_ooms=1 -ignore_timeouts=1 -ignore_crashes=0" ;;
    jet_loader)
        options="-max_len=2048 -timeout=120 -rss_limit_mb=4096" ;;
    *)
        options="-max_len=16384 -timeout=30" ;;
    esac
    echo "== fuzz_$target: $seconds s"
    # shellcheck disable=SC2086
    "$program" $options $fork -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "$regressions" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    # In fork mode the count is on the last status line.
    [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9]*\): cov:.*/\1/p' "$log" | tail -n 1)
    if [ $status -ne 0 ]; then
        failed="$failed $target"
        summary="$summary
fuzz_$target: ERRORE (stato $status, ${runs:-?} esecuzioni): vedere $log e $findings"
        tail -n 40 "$log" >&2
        continue
    fi
    # Keep the corpus small: only the inputs that add coverage.
    merged="$build/fuzz-findings/$target.merged"
    rm -rf "$merged" && mkdir -p "$merged"
    # shellcheck disable=SC2086
    if "$program" $options -merge=1 "$merged" "$corpus" >>"$log" 2>&1; then
        rm -f "$corpus"/*
        cp "$merged"/* "$corpus"/ 2>/dev/null || true
    fi
    rm -rf "$merged"
    summary="$summary
fuzz_$target: nessun errore, ${runs:-?} esecuzioni, corpus di $(ls "$corpus" | wc -l) ingressi"
done
echo "$summary"
[ -z "$failed" ] || exit 1
