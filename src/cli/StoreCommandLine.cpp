// The command line read with the store's own check of a server's address.
// A file of its own: a program that reads its command line with another
// check (presenze-cli) does not link libpq for it.

#include "cli/CommandLine.h"
#include "store/StoreAddress.h"

namespace presenze {
namespace {

std::optional<std::string> storeCheck(const std::string& conninfo)
{
    return checkStoreAddress(conninfo);
}

template <typename Options>
OptionsResult<Options> parseOne(const char* command, const std::vector<std::string>& args,
                                Options CommandRequest::*options)
{
    std::vector<std::string> line{command};
    line.insert(line.end(), args.begin(), args.end());
    CommandLine read = readCommandLine(line);
    if (!read.request)
        return {std::nullopt, read.text};
    return {std::move(*read.request).*options, {}};
}

} // namespace

CommandLine readCommandLine(const std::vector<std::string>& args)
{
    return readCommandLine(args, storeCheck);
}

ParseResult parseReportOptions(const std::vector<std::string>& args)
{
    return parseOne("report", args, &CommandRequest::report);
}

KpiParseResult parseKpiOptions(const std::vector<std::string>& args)
{
    return parseOne("kpi", args, &CommandRequest::kpi);
}

OutputParseResult parseCsvOptions(const std::vector<std::string>& args)
{
    return parseOne("csv", args, &CommandRequest::output);
}

OutputParseResult parsePrintOptions(const std::vector<std::string>& args)
{
    return parseOne("print", args, &CommandRequest::output);
}

} // namespace presenze
