#pragma once
// The command line of presenze-cli, read with CLI11:
//
//   presenze-cli report --type 1|2 --from MM/AAAA [--to MM/AAAA] [OPZIONI]
//   presenze-cli kpi --from MM/AAAA [--to MM/AAAA] | --forward 30|90|365 [OPZIONI]
//   presenze-cli csv [--data-dir CARTELLA] [--station SIGLA]
//   presenze-cli print --destination NOME [OPZIONI]
//   presenze-cli istat --month MM/AAAA [OPZIONI]
//   presenze-cli demo CARTELLA [--seed N] [--date GG/MM/AAAA]
//   presenze-cli sync --to CONNESSIONE [--group NOME] [--data-dir CARTELLA]
//   presenze-cli pickup --source CONNESSIONE [--group NOME] [--days 1|7|30] [OPZIONI]
//   presenze-cli [COMANDO] --help | --version
//
// Each option is one line of CommandLine.cpp, bound to a field of the options
// the core takes (ReportOptions, IndicatorOptions, OutputOptions, IstatOptions, DemoOptions,
// and the options of the chain's server in StoreOptions). The texts, help and mistakes alike,
// are Italian and UTF-8, as the terminal shows them.

#include "demo/DemoData.h"
#include "indicators/IndicatorOptions.h"
#include "istat/IstatOptions.h"
#include "output/OutputOptions.h"
#include "request/ReportOptions.h"
#include "store/StoreOptions.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace presenze {

enum class Command { Report, Kpi, Csv, Print, Istat, Demo, Sync, Pickup };

struct DemoRequest {
    std::string dir;          // the folder to create (UTF-8 path)
    DemoOptions options;      // all but the reference day
    std::optional<Date> date; // --date: the reference day; today without it
};

// A command and its options; the fields of the other commands keep their
// defaults.
struct CommandRequest {
    Command command = Command::Report;
    ReportOptions report;
    IndicatorOptions kpi;
    OutputOptions output; // csv and print
    IstatOptions istat;
    DemoRequest demo;
    SourceOptions source; // report, csv, kpi, istat: the hotels' data from a server
    SyncOptions sync;
    PickupOptions pickup;
};

// What a command line asks for: a command to run, or only a text to show.
struct CommandLine {
    std::optional<CommandRequest> request;
    int status = 0;      // without a request: 0 for the help or the version, 2 for a mistake
    std::string text;    // the help or the version (for stdout), or the mistake (for stderr)
    std::string command; // the command word, once recognised (for the hint after a mistake)
};

// Whether a text names a chain's server as a command may: nullopt, or why
// not (Windows-1252).
using AddressCheck = std::function<std::optional<std::string>(const std::string& conninfo)>;

// The arguments after the program's name, UTF-8 as the terminal gives them;
// a server's address is checked by the store's rules (store/StoreAddress.h,
// libpq).
CommandLine readCommandLine(const std::vector<std::string>& args);
// The same with another check of a server's address: presenze-cli, which
// hands every command that names a server to presenze-cli-full, reads its
// command line without libpq.
CommandLine readCommandLine(const std::vector<std::string>& args, const AddressCheck& checkAddress);

// One command's options alone, from the arguments after its word: the options,
// or the mistake (or the help, when asked for) in `error`.
template <typename Options> struct OptionsResult {
    std::optional<Options> options;
    std::string error;
};
using ParseResult = OptionsResult<ReportOptions>;
using OutputParseResult = OptionsResult<OutputOptions>;
using KpiParseResult = OptionsResult<IndicatorOptions>;

ParseResult parseReportOptions(const std::vector<std::string>& args);
KpiParseResult parseKpiOptions(const std::vector<std::string>& args);
OutputParseResult parseCsvOptions(const std::vector<std::string>& args);
OutputParseResult parsePrintOptions(const std::vector<std::string>& args);

} // namespace presenze
