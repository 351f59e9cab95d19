#include "gui/output/QtFileOpener.h"

#include "gui/output/QtPrinting.h"

namespace presenze {

Handover openWithAssociatedProgram(const std::filesystem::path& file)
{
    return waitOffThread([&file] { return openWithDesktop(file); });
}

} // namespace presenze
