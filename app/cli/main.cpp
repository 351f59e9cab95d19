// presenze-cli: the reports of Presenze without a window, on the same core.
// The folder commands run here, without Qt and libpq; the others go on in
// presenze-cli-full (FullProgram.h).

#include "CommandSupport.h"
#include "FolderCommands.h"
#include "FullProgram.h"
#include "cli/CommandLine.h"
#include "data/ProcessMemory.h"

#include <stdexcept>

using namespace presenze;

namespace {

// A folder command names neither the server nor a chart.
class FolderOnly final : public CommandExtras {
public:
    std::unique_ptr<BookingSource> group(const SourceOptions&) const override { return nullptr; }
    Indicators chainIndicators(const SourceOptions&, const DataFolder&, const IndicatorRequest&,
                               const WarningSink&) const override
    {
        throw std::logic_error("the chain's server in presenze-cli");
    }
    std::optional<std::string> occupancyChart(const ReportFigures&,
                                              const std::filesystem::path&) const override
    {
        throw std::logic_error("a chart in presenze-cli");
    }
    std::optional<std::string> indicatorChart(const Indicators&,
                                              const std::filesystem::path&) const override
    {
        throw std::logic_error("a chart in presenze-cli");
    }
};

} // namespace

int main(int argc, char** argv)
{
    return runGuarded([argc, argv] {
        // A server's address is checked by presenze-cli-full, which also
        // tells the mistakes of a command line that names one.
        bool namesServer = false;
        const CommandLine line =
            readCommandLine({argv + 1, argv + argc}, [&namesServer](const std::string&) {
                namesServer = true;
                return std::optional<std::string>();
            });
        if (namesServer || (line.request && !isFolderCommand(*line.request)))
            return handToFullProgram(argc, argv);
        if (!line.request)
            return showText(line);
        prepareHeapForReports();
        const SystemClock clock;
        return runFolderCommand(*line.request, clock, FolderOnly());
    });
}
