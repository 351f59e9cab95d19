#include "gui/output/QtFileOpener.h"

#include "gui/desk/OffThread.h"

namespace presenze {

Handover openWithAssociatedProgram(const std::filesystem::path& file)
{
    return waitOffThread([&file] { return openWithDesktop(file); });
}

std::string openedNote(const FileOpener& opener, const std::filesystem::path& file)
{
    if (!opener)
        return {};
    const Handover opened = opener(file);
    if (opened.done())
        return " (aperto con " + opened.program + ")";
    if (opened.running())
        return " (passato a " + opened.program + ", ancora al lavoro)";
    return ", non aperto: " + handoverTrouble(opened);
}

} // namespace presenze
