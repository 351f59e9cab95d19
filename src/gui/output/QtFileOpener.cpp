#include "gui/output/QtFileOpener.h"

#include "gui/desk/OffThread.h"

namespace presenze {

Handover openWithAssociatedProgram(const std::filesystem::path& file)
{
    return waitOffThread([&file] { return openWithDesktop(file); });
}

} // namespace presenze
