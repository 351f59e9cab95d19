#include "OutputCases.h"

#include "data/ChildProcess.h"

#include <stdexcept>
#include <string>

namespace presenze::bench {
namespace {
namespace fs = std::filesystem;

// Long enough for the XXL cases on a loaded machine.
constexpr std::chrono::milliseconds kLimit{1800'000};

void run(const fs::path& program, const std::vector<std::string>& args)
{
    ChildOptions options;
    options.limit = kLimit;
    const ChildOutcome outcome = runChild(program, args, options);
    if (!outcome.started())
        throw std::runtime_error(program.string() + " non trovato");
    if (!outcome.succeeded())
        throw std::runtime_error(program.filename().string() + " non riuscito: " +
                                 outcome.errorOutput.substr(0, outcome.errorOutput.find('\n')));
}

// The workbook a case names (a name of the user's: the station's own
// "fd" + tag + ".xlsx" is refused on the command line).
fs::path workbookOf(const fs::path& data, const std::string& tag)
{
    return data / ("bench-" + tag + ".xlsx");
}

// `presenze-cli report --type 2 --detail` over June 2024 to May 2025, every
// booking kind, written as "fd" + tag, with a fixed clock; with `xlsx`, the
// workbook too, into the group's folder.
Work type2Year(const fs::path& cli, const std::string& tag, bool xlsx)
{
    return [=](const fs::path& data) {
        std::vector<std::string> args = {
            "report",  "--type",          "2",   "--detail",  "--from", "06/2024",    "--to",
            "05/2025", "--kind",          "all", "--station", tag,      "--data-dir", data.string(),
            "--now",   "08/12/2025 14:00"};
        if (xlsx)
            args.insert(args.end(), {"--xlsx", workbookOf(data, tag).string()});
        run(cli, args);
    };
}

// `presenze-cli print` of the report "fd" + tag on "PDF Ufficio" (its pages
// drawn by Qt offscreen into a PDF file of the folder).
Work printPdf(const fs::path& cli, const std::string& tag)
{
    return [=](const fs::path& data) {
        run(cli, {"print", "--destination", "PDF Ufficio", "--data-dir", data.string(), "--station",
                  tag});
    };
}

} // namespace

std::vector<BenchCase> outputCases(const BenchSize& size, const Programs& programs)
{
    const std::string& s = size.name;
    const bool xxl = s.rfind("XXL", 0) == 0;
    std::vector<BenchCase> cases;
    cases.push_back({"presenze-cli T2 detail report alone, 12 months",
                     s,
                     "report",
                     {},
                     {},
                     type2Year(programs.cli, "o1", false)});
    BenchCase workbook{"presenze-cli T2 detail report + --xlsx, 12 months",
                       s,
                       "",
                       {"report"},
                       {},
                       type2Year(programs.cli, "o2", true)};
    workbook.count = [](const fs::path& data) {
        return static_cast<double>(fs::file_size(workbookOf(data, "o2"))) / 1e6;
    };
    workbook.unit = "MB";
    cases.push_back(std::move(workbook));
    BenchCase pdf{"presenze-cli T2 detail report printed on PDF, 12 months",
                  s,
                  "",
                  {"report"},
                  type2Year(programs.cli, "o3", false),
                  printPdf(programs.cli, "o3")};
    // A PDF of the XXL report takes minutes: one run.
    pdf.maxRuns = xxl ? 1 : 0;
    cases.push_back(std::move(pdf));
    return cases;
}

} // namespace presenze::bench
