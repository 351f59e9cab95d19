#include "cli/CommandLine.h"

#include "common/Clock.h"
#include "data/ProtectedFiles.h"
#include "data/Text1252.h"
#include "store/GroupName.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <set>

namespace presenze {
namespace {

// A mistake on the command line, with its Italian message. The readers of the
// values throw it; it leaves CLI11's parse as CLI11's own errors do.
class UsageError : public CLI::ParseError {
public:
    explicit UsageError(std::string message) : CLI::ParseError("UsageError", std::move(message), 2)
    {}
};

// ---- Values ----------------------------------------------------------------

bool parseInt(std::string_view text, long long& value)
{
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// "MM/YYYY" (a one-digit month is accepted); false when malformed. The month
// and the year are checked later, with the whole range.
bool parseMonthYear(std::string_view text, int& month, int& year)
{
    const auto slash = text.find('/');
    if (slash == std::string_view::npos || slash == 0 || slash > 2)
        return false;
    const auto yearText = text.substr(slash + 1);
    long long m = 0, y = 0;
    if (yearText.size() != 4 || !parseInt(text.substr(0, slash), m) || !parseInt(yearText, y))
        return false;
    if (text[0] == '-' || text[0] == '+' || yearText[0] == '-' || yearText[0] == '+')
        return false;
    month = static_cast<int>(m);
    year = static_cast<int>(y);
    return true;
}

ReportKind readReportKind(const std::string& text)
{
    if (text != "1" && text != "2")
        throw UsageError("Tipo di stampa non valido: " + text + " (1 o 2)");
    return text == "1" ? ReportKind::Type1 : ReportKind::Type2;
}

void readMonth(const std::string& text, int& month, int& year, const char* which)
{
    if (!parseMonthYear(text, month, year))
        throw UsageError(std::string(which) + " non valido: " + text + " (formato MM/AAAA)");
}

BookingKind readBookingKind(const std::string& text)
{
    if (text == "confirmed")
        return BookingKind::Confirmed;
    if (text == "optional")
        return BookingKind::Optional;
    if (text == "all")
        return BookingKind::All;
    throw UsageError("Tipo di prenotazioni non valido: " + text + " (confirmed, optional o all)");
}

std::set<std::int64_t> readHotels(const std::string& text)
{
    std::set<std::int64_t> hotels;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        long long value = 0;
        if (!parseInt(std::string_view(text).substr(start, comma - start), value) || value <= 0)
            throw UsageError("Elenco di hotel non valido: " + text + " (esempio: 1,3,5)");
        hotels.insert(value);
        start = comma + 1;
    }
    return hotels;
}

// A prefix of the booking files' names: it never names a folder. Checked as
// the program will use it, after the conversion.
std::string readSeason(const std::string& text)
{
    std::string season = utf8ToCp1252(text);
    for (const char c : season)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
            throw UsageError("Stagione non valida: " + text +
                             " (un prefisso dei nomi dei file, senza cartelle)");
    return season;
}

int readForward(const std::string& text)
{
    long long nights = 0;
    if (!parseInt(text, nights) || !isForwardChoice(static_cast<int>(nights)) ||
        nights != static_cast<int>(nights))
        throw UsageError("Numero di notti non valido: " + text + " (30, 90 o 365)");
    return static_cast<int>(nights);
}

IndicatorBreakdown readBreakdown(const std::string& text)
{
    if (text == "month")
        return IndicatorBreakdown::Month;
    if (text == "company")
        return IndicatorBreakdown::Company;
    throw UsageError("Raggruppamento non valido: " + text + " (month o company)");
}

DateTime readNow(const std::string& text)
{
    const auto now = parseDateTime(text);
    if (!now)
        throw UsageError("Data e ora non valide: " + text + " (formato \"GG/MM/AAAA hh:mm\")");
    return *now;
}

std::uint32_t readSeed(const std::string& text)
{
    std::uint32_t seed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        throw UsageError("Seme non valido: " + text);
    return seed;
}

Date readDate(const std::string& text)
{
    const auto date = Date::parseDisplay(text);
    if (!date)
        throw UsageError("Data non valida: " + text + " (formato GG/MM/AAAA)");
    return *date;
}

std::string readConninfo(const std::string& text, const AddressCheck& check)
{
    if (auto problem = check(text))
        throw UsageError(cp1252ToUtf8(*problem));
    return text;
}

std::string readGroup(const std::string& text)
{
    std::string group = utf8ToCp1252(text);
    if (auto problem = checkGroupName(group))
        throw UsageError(cp1252ToUtf8(*problem));
    return group;
}

int readDays(const std::string& text)
{
    if (text != "1" && text != "7" && text != "30")
        throw UsageError("Giorni non validi: " + text + " (1, 7 o 30)");
    return std::stoi(text);
}

int readPickupNights(const std::string& text)
{
    long long nights = 0;
    if (!parseInt(text, nights) || nights < 1 || nights > 365)
        throw UsageError("Notti non valide: " + text + " (da 1 a 365)");
    return static_cast<int>(nights);
}

// A file the user names, by the ending its kind has (so never a data file).
std::string readOutputFile(const std::string& text, const std::string& ending)
{
    if (!hasExtension(text, {ending}))
        throw UsageError("Nome di file non valido: " + text + " (deve finire con " + ending + ")");
    return text;
}

// The workbook needs ".xlsx", the chart ".png" or ".svg": a file under
// another name is refused rather than given bytes of another kind.
void checkWorkbookName(const std::optional<std::string>& xlsx)
{
    if (xlsx && !hasExtension(*xlsx, {".xlsx"}))
        throw UsageError("Il nome della cartella di Excel deve terminare in .xlsx: " + *xlsx);
}

void checkChartName(const std::optional<std::string>& chart)
{
    if (chart && !hasExtension(*chart, {".png", ".svg"}))
        throw UsageError("Il nome del grafico deve terminare in .png o .svg: " + *chart);
}

// ---- Option lines ----------------------------------------------------------

constexpr const char* kGroupHelp = "il gruppo di hotel sul server (con --source)";

using Reader = std::function<void(const std::string&)>;

// An option with a value, which `read` stores or refuses with UsageError.
CLI::Option* value(CLI::App& command, const std::string& name, const std::string& placeholder,
                   const std::string& help, const Reader& read)
{
    return command.add_option_function<std::string>(name, read, help)->option_text(placeholder);
}

// A value kept as typed (UTF-8), such as a path.
CLI::Option* text(CLI::App& command, const std::string& name, const std::string& placeholder,
                  const std::string& help, std::optional<std::string>& field)
{
    return value(command, name, placeholder, help, [&field](const std::string& v) { field = v; });
}

// A value kept in Windows-1252, as the core holds texts.
template <typename Field>
CLI::Option* text1252(CLI::App& command, const std::string& name, const std::string& placeholder,
                      const std::string& help, Field& field)
{
    return value(command, name, placeholder, help,
                 [&field](const std::string& v) { field = utf8ToCp1252(v); });
}

// An option without a value ("--detail=true" is the one other spelling).
CLI::Option* flag(CLI::App& command, const std::string& name, const std::string& help,
                  const std::function<void()>& set)
{
    return command.add_flag_callback(name, set, help)->disable_flag_override();
}

// ---- The parser ------------------------------------------------------------

class Parser {
public:
    explicit Parser(AddressCheck checkAddress);
    CommandLine read(const std::vector<std::string>& args);

private:
    CLI::App& addCommand(const std::string& name, const std::string& help);
    void addReport(ReportOptions& o);
    void addKpi(IndicatorOptions& o);
    void addCsv(OutputOptions& o);
    void addPrint(OutputOptions& o);
    void addIstat(IstatOptions& o);
    void addDemo(DemoRequest& o);
    void addSync(SyncOptions& o);
    void addPickup(PickupOptions& o);
    void addSource(CLI::App& command, SourceOptions& o, const std::string& groupHelp);
    void checkSource(bool everyGroup = false) const;
    void addPlace(CLI::App& command, std::optional<std::string>& dataDir,
                  std::optional<std::string>& station);
    void required(CLI::App& command, CLI::Option* option, std::string missing);

    CLI::App* chosen() const;
    void finish();
    static void checkKpiPeriod(const CLI::App& command, IndicatorPeriod& period);
    void refuseExtras(const CLI::App& app, bool commandWord) const;
    std::string mistake(const CLI::ParseError& error, const std::vector<std::string>& args,
                        std::size_t left) const;
    std::string missingRequired() const;

    struct Required {
        const CLI::App* command;
        const CLI::Option* option;
        std::string missing;
    };

    AddressCheck m_checkAddress;
    CLI::App m_app;
    CommandRequest m_request;
    std::vector<Required> m_required;
};

Parser::Parser(AddressCheck checkAddress)
    : m_checkAddress(std::move(checkAddress)),
      m_app("Stampa i rapporti di Presenze senza finestra.", "presenze-cli")
{
    const auto formatter = m_app.get_formatter();
    formatter->label("Usage", "Uso");
    formatter->label("OPTIONS", "OPZIONI");
    formatter->label("SUBCOMMAND", "COMANDO");
    formatter->label("Positionals", "Argomenti");
    formatter->label("REQUIRED", "(obbligatoria)");
    // What the commands inherit: set before they are added.
    m_app.option_defaults()->group("Opzioni")->multi_option_policy(
        CLI::MultiOptionPolicy::TakeLast);
    m_app.set_help_flag("-h,--help", "mostra questo aiuto");
    m_app.allow_extras(); // named in Italian by refuseExtras
    m_app.require_subcommand(0, 1);
    m_app.group("Comandi");

    m_app.set_version_flag("--version", std::string("presenze-cli ") + PRESENZE_VERSION,
                           "mostra la versione");
    addReport(m_request.report);
    addKpi(m_request.kpi);
    addCsv(m_request.output);
    addPrint(m_request.output);
    addIstat(m_request.istat);
    addDemo(m_request.demo);
    addSync(m_request.sync);
    addPickup(m_request.pickup);
    m_app.footer("Usare \"presenze-cli COMANDO --help\" per le opzioni di un comando.\n"
                 "La sigla di postazione predefinita \xC3\xA8 il valore di PCLocal.");
}

CLI::App& Parser::addCommand(const std::string& name, const std::string& help)
{
    CLI::App& command = *m_app.add_subcommand(name, help);
    // A command makes its help flag before it takes the option defaults.
    command.get_help_ptr()->group(m_app.option_defaults()->get_group());
    return command;
}

void Parser::addReport(ReportOptions& o)
{
    CLI::App& c =
        addCommand("report", "Scrive il file di stampa \"fd\" + sigla nella cartella dei dati.");
    // Nobody is asked: Type 2 counts presences unless --arrivals.
    o.selection.dayCount = DayCount::Presences;
    required(c,
             value(c, "--type", "1|2", "Tipo 1 o Tipo 2 (obbligatoria)",
                   [&o](const std::string& v) { o.kind = readReportKind(v); }),
             "Indicare il tipo di stampa con --type 1 o --type 2");
    required(c,
             value(c, "--from", "MM/AAAA", "dal mese (obbligatoria)",
                   [&o](const std::string& v) {
                       readMonth(v, o.range.firstMonth, o.range.firstYear, "Mese iniziale");
                   }),
             "Indicare il primo mese con --from MM/AAAA");
    value(c, "--to", "MM/AAAA", "al mese (predefinito: quello di --from)",
          [&o](const std::string& v) {
              readMonth(v, o.range.lastMonth, o.range.lastYear, "Mese finale");
          });
    addPlace(c, o.dataDir, o.station);
    value(c, "--kind", "confirmed|optional|all",
          "prenotazioni Confermate (predefinite), Opzionate o Tutte",
          [&o](const std::string& v) { o.selection.kind = readBookingKind(v); });
    value(c, "--hotels", "1,3,5", "solo gli hotel indicati (predefiniti: tutti)",
          [&o](const std::string& v) { o.selection.tickedHotels = readHotels(v); });
    flag(c, "--detail", "una riga per ditta invece delle Riepilogate",
         [&o] { o.selection.summary = false; });
    value(c, "--company", "NOME", "Singola Ditta: le ditte il cui nome inizia per NOME",
          [&o](const std::string& v) {
              o.selection.singleCompany = true;
              o.selection.company = utf8ToCp1252(v);
          });
    flag(c, "--company-list", "Elenco specifico: le ditte di ElencoDitte.txt",
         [&o] { o.selection.companyListOnly = true; });
    flag(c, "--group-top-acs", "Raggruppamento TOP/ACS (Tipo 1)",
         [&o] { o.selection.groupTopAcs = true; });
    flag(c, "--arrivals", "conta gli arrivi invece delle presenze (Tipo 2)",
         [&o] { o.selection.dayCount = DayCount::Arrivals; });
    value(c, "--season", "PREFISSO", "una stagione archiviata (prefisso dei file)",
          [&o](const std::string& v) { o.selection.season = readSeason(v); });
    value(c, "--now", "\"GG/MM/AAAA hh:mm\"", "data e ora della stampa (predefinite: adesso)",
          [&o](const std::string& v) { o.now = readNow(v); });
    text(c, "--xlsx", "FILE.xlsx", "anche la cartella di Excel dei dati della stampa", o.xlsx);
    text(c, "--chart", "FILE.png|FILE.svg", "anche il grafico dell'occupazione dell'ultimo mese",
         o.chart);
    addSource(c, m_request.source, kGroupHelp);
    flag(c, "--allow-long", "permette le richieste di pi\xC3\xB9 di 120 mesi",
         [&o] { o.allowLong = true; });
}

void Parser::addKpi(IndicatorOptions& o)
{
    CLI::App& c = addCommand("kpi", "Indicatori per hotel e mese: occupazione, ADR, RevPAR, "
                                    "permanenza media, ospiti per camera.");
    MonthRange& months = o.request.period.months;
    value(c, "--from", "MM/AAAA", "dal mese (oppure --forward)", [&months](const std::string& v) {
        readMonth(v, months.firstMonth, months.firstYear, "Mese iniziale");
    });
    value(c, "--to", "MM/AAAA", "al mese (predefinito: quello di --from)",
          [&months](const std::string& v) {
              readMonth(v, months.lastMonth, months.lastYear, "Mese finale");
          });
    value(c, "--forward", "30|90|365", "le prossime notti da oggi (oppure --from)",
          [&o](const std::string& v) { o.request.period.forward = readForward(v); });
    value(c, "--hotels", "1,3,5", "solo gli hotel indicati (predefiniti: tutti)",
          [&o](const std::string& v) { o.request.hotels = readHotels(v); });
    value(c, "--kind", "confirmed|optional|all",
          "prenotazioni che gli indicatori contano: Confermate (predefinite), Opzionate o Tutte",
          [&o](const std::string& v) { o.request.kind = readBookingKind(v); });
    value(c, "--by", "month|company", "per mese (predefinito) o per ditta",
          [&o](const std::string& v) { o.request.breakdown = readBreakdown(v); });
    flag(c, "--compare", "a confronto con l'anno precedente", [&o] { o.request.compare = true; });
    value(c, "--season", "PREFISSO", "solo una stagione (predefinite: tutte quelle della cartella)",
          [&o](const std::string& v) { o.request.season = readSeason(v); });
    text(c, "--csv", "FILE.csv", "anche il file CSV degli indicatori", o.csv);
    text(c, "--xlsx", "FILE.xlsx", "anche la cartella di Excel degli indicatori", o.xlsx);
    text(c, "--chart", "FILE.png|FILE.svg",
         "anche il grafico dell'occupazione e dell'ADR per mese e hotel", o.chart);
    addPlace(c, o.dataDir, o.station);
    addSource(c, m_request.source,
              "il gruppo di hotel sul server (con --source; predefiniti: tutti, con la riga "
              "della catena)");
    value(c, "--now", "\"GG/MM/AAAA hh:mm\"",
          "data e ora di oggi per --forward (predefinite: adesso)",
          [&o](const std::string& v) { o.now = readNow(v); });
}

void Parser::addCsv(OutputOptions& o)
{
    CLI::App& c = addCommand("csv", "Converte il file di stampa in \"fd\" + sigla + \".csv\".");
    addPlace(c, o.dataDir, o.station);
    addSource(c, m_request.source, kGroupHelp);
}

void Parser::addSource(CLI::App& command, SourceOptions& o, const std::string& groupHelp)
{
    value(command, "--source", "CONNESSIONE",
          "legge i dati degli hotel dal server della catena (stringa di connessione di "
          "PostgreSQL)",
          [this, &o](const std::string& v) { o.conninfo = readConninfo(v, m_checkAddress); });
    value(command, "--group", "NOME", groupHelp,
          [&o](const std::string& v) { o.group = readGroup(v); });
}

void Parser::addSync(SyncOptions& o)
{
    CLI::App& c = addCommand(
        "sync",
        "Scrive i dati della cartella sul server della catena, con l'istantanea del giorno.");
    required(
        c,
        value(c, "--to", "CONNESSIONE",
              "il server (stringa di connessione di PostgreSQL, obbligatoria)",
              [this, &o](const std::string& v) { o.conninfo = readConninfo(v, m_checkAddress); }),
        "Indicare il server con --to CONNESSIONE");
    value(c, "--group", "NOME",
          "il nome del gruppo sul server (predefinito: quello della cartella)",
          [&o](const std::string& v) { o.group = readGroup(v); });
    text(c, "--data-dir", "CARTELLA", "la cartella dei dati (predefinita: quella corrente)",
         o.dataDir);
    value(c, "--now", "\"GG/MM/AAAA hh:mm\"", "data e ora dell'istantanea (predefinite: adesso)",
          [&o](const std::string& v) { o.now = readNow(v); });
}

void Parser::addPickup(PickupOptions& o)
{
    CLI::App& c = addCommand(
        "pickup", "Confronta le prenotazioni delle notti future con quelle di qualche giorno fa.");
    required(
        c,
        value(c, "--source", "CONNESSIONE",
              "il server (stringa di connessione di PostgreSQL, obbligatoria)",
              [this, &o](const std::string& v) { o.conninfo = readConninfo(v, m_checkAddress); }),
        "Indicare il server con --source CONNESSIONE");
    value(c, "--group", "NOME", "solo questo gruppo (predefiniti: tutti)",
          [&o](const std::string& v) { o.group = readGroup(v); });
    value(c, "--days", "1|7|30",
          "il confronto con l'istantanea di tanti giorni fa (predefinito: 30)",
          [&o](const std::string& v) { o.days = readDays(v); });
    value(c, "--forward", "N", "le notti da oggi in avanti (predefinite: 30)",
          [&o](const std::string& v) { o.forward = readPickupNights(v); });
    value(c, "--csv", "FILE.csv", "scrive il confronto in un file CSV invece che a video",
          [&o](const std::string& v) { o.csv = readOutputFile(v, ".csv"); });
    value(c, "--xlsx", "FILE.xlsx", "scrive il confronto in una cartella di Excel",
          [&o](const std::string& v) { o.xlsx = readOutputFile(v, ".xlsx"); });
    value(c, "--now", "\"GG/MM/AAAA hh:mm\"", "data e ora di oggi (predefinite: adesso)",
          [&o](const std::string& v) { o.now = readNow(v); });
}

// --group goes with --source; --source needs it, unless the command covers
// every group of the server.
void Parser::checkSource(bool everyGroup) const
{
    const SourceOptions& source = m_request.source;
    if (source.group && !source.conninfo)
        throw UsageError("L'opzione --group vale solo con --source");
    if (source.conninfo && !source.group && !everyGroup)
        throw UsageError("Indicare il gruppo del server con --group NOME");
}

void Parser::addPrint(OutputOptions& o)
{
    CLI::App& c =
        addCommand("print", "Stampa il file di stampa su una destinazione di \"Stampanti.mdb\".");
    required(c,
             text1252(c, "--destination", "NOME", "la destinazione di stampa (obbligatoria)",
                      o.choices.destination),
             "Indicare la destinazione di stampa con --destination NOME");
    text1252(c, "--printer", "DISPOSITIVO", "il dispositivo al posto di quello della destinazione",
             o.choices.printer);
    flag(c, "--compressed", "Stampa Compressa", [&o] { o.choices.compressed = true; });
    flag(c, "--landscape", "Stampa orizzontale", [&o] { o.choices.landscape = true; });
    flag(c, "--duplex", "Stampa fronte / retro", [&o] { o.choices.duplex = true; });
    addPlace(c, o.dataDir, o.station);
}

void Parser::addIstat(IstatOptions& o)
{
    CLI::App& c = addCommand("istat", "Movimento clienti del mese per hotel (modello ISTAT), "
                                      "con il controllo dei conteggi.");
    required(c,
             value(c, "--month", "MM/AAAA", "il mese (obbligatoria)",
                   [&o](const std::string& v) { readMonth(v, o.month, o.year, "Mese"); }),
             "Indicare il mese con --month MM/AAAA");
    value(c, "--hotels", "1,3,5", "solo gli hotel indicati (predefiniti: tutti)",
          [&o](const std::string& v) { o.hotels = readHotels(v); });
    value(c, "--season", "PREFISSO", "una stagione archiviata (prefisso dei file)",
          [&o](const std::string& v) { o.season = readSeason(v); });
    text(c, "--csv", "FILE.csv", "anche il file CSV dei dati del mese", o.csv);
    text(c, "--xlsx", "FILE.xlsx", "anche la cartella di Excel, un foglio per hotel", o.xlsx);
    addPlace(c, o.dataDir, o.station);
    addSource(c, m_request.source, kGroupHelp);
}

void Parser::addDemo(DemoRequest& o)
{
    CLI::App& c = addCommand("demo", "Crea una cartella di dati dimostrativi (12 hotel).");
    required(c, c.add_option("CARTELLA", o.dir, "la cartella da creare")->type_name(""),
             "Indicare la cartella da creare: presenze-cli demo CARTELLA");
    value(c, "--seed", "N", "il seme dei dati casuali",
          [&o](const std::string& v) { o.options.seed = readSeed(v); });
    value(c, "--date", "GG/MM/AAAA", "il giorno di riferimento (predefinito: oggi)",
          [&o](const std::string& v) { o.date = readDate(v); });
}

void Parser::addPlace(CLI::App& command, std::optional<std::string>& dataDir,
                      std::optional<std::string>& station)
{
    text(command, "--data-dir", "CARTELLA", "la cartella dei dati (predefinita: quella corrente)",
         dataDir);
    text1252(command, "--station", "SIGLA", "la sigla della postazione (predefinita: PCLocal)",
             station);
}

void Parser::required(CLI::App& command, CLI::Option* option, std::string missing)
{
    option->required();
    m_required.push_back({&command, option, std::move(missing)});
}

CommandLine Parser::read(const std::vector<std::string>& args)
{
    // CLI11 takes the arguments last first and consumes them: what is left
    // when it stops tells which argument it stopped at.
    std::vector<std::string> left(args.rbegin(), args.rend());
    CommandLine line;
    try {
        m_app.parse(left);
        finish();
        line.request = m_request;
    } catch (const CLI::CallForHelp&) {
        // One line end at the end, whatever the formatter's spacing.
        line.text = m_app.help();
        line.text.erase(line.text.find_last_not_of('\n') + 1);
        line.text += '\n';
    } catch (const CLI::CallForVersion& version) {
        line.text = std::string(version.what()) + "\n";
    } catch (const CLI::ParseError& error) {
        line.status = 2;
        line.text = mistake(error, args, left.size());
    }
    if (const CLI::App* command = chosen())
        line.command = command->get_name();
    return line;
}

CLI::App* Parser::chosen() const
{
    const auto commands = m_app.get_subcommands();
    return commands.empty() ? nullptr : commands.front();
}

// What CLI11 leaves to the program once every option has its value.
void Parser::finish()
{
    CLI::App* command = chosen();
    refuseExtras(m_app, command == nullptr);
    if (!command)
        throw UsageError("Manca il comando.");
    refuseExtras(*command, false);
    const std::string& name = command->get_name();
    if (name == "report") {
        m_request.command = Command::Report;
        MonthRange& range = m_request.report.range;
        if (command->count("--to") == 0) {
            range.lastMonth = range.firstMonth;
            range.lastYear = range.firstYear;
        }
        if (auto problem = checkMonthRange(range))
            throw UsageError(cp1252ToUtf8(*problem));
        checkSource();
        if (auto problem = checkLongRequest(range, m_request.report.allowLong))
            throw UsageError(cp1252ToUtf8(*problem));
        checkWorkbookName(m_request.report.xlsx);
        checkChartName(m_request.report.chart);
    } else if (name == "kpi") {
        m_request.command = Command::Kpi;
        checkKpiPeriod(*command, m_request.kpi.request.period);
        checkSource(true);
        // Hotel numbers are each group's own.
        if (m_request.source.conninfo && !m_request.source.group && m_request.kpi.request.hotels)
            throw UsageError("L'opzione --hotels vale solo per un gruppo: indicarlo con --group");
        checkWorkbookName(m_request.kpi.xlsx);
        checkChartName(m_request.kpi.chart);
    } else if (name == "csv") {
        m_request.command = Command::Csv;
        checkSource();
    } else if (name == "print") {
        m_request.command = Command::Print;
    } else if (name == "sync") {
        m_request.command = Command::Sync;
    } else if (name == "pickup") {
        m_request.command = Command::Pickup;
    } else if (name == "istat") {
        m_request.command = Command::Istat;
        checkSource();
        const IstatOptions& o = m_request.istat;
        if (auto problem = checkMonthRange({o.month, o.year, o.month, o.year}))
            throw UsageError(cp1252ToUtf8(*problem));
        checkWorkbookName(o.xlsx);
    } else {
        m_request.command = Command::Demo;
    }
}

// The period of `kpi`: calendar months or the nights ahead, one of the two.
void Parser::checkKpiPeriod(const CLI::App& command, IndicatorPeriod& period)
{
    const bool months = command.count("--from") > 0;
    const bool ahead = command.count("--forward") > 0;
    if (months && ahead)
        throw UsageError("Indicare il periodo con --from oppure con --forward, non con entrambi");
    if (!months && !ahead)
        throw UsageError("Indicare il periodo con --from MM/AAAA oppure con --forward 30|90|365");
    if (ahead) {
        if (command.count("--to") > 0)
            throw UsageError("L'opzione --to vale solo con --from");
        return;
    }
    if (command.count("--to") == 0) {
        period.months.lastMonth = period.months.firstMonth;
        period.months.lastYear = period.months.firstYear;
    }
    if (auto problem = checkIndicatorPeriod(period))
        throw UsageError(cp1252ToUtf8(*problem));
}

// The words CLI11 did not take (extras are allowed so that they are named
// here, in Italian).
void Parser::refuseExtras(const CLI::App& app, bool commandWord) const
{
    // CLI11 keeps a "--" it met among them.
    const auto extras = app.remaining();
    const auto first =
        std::find_if(extras.begin(), extras.end(), [](const std::string& w) { return w != "--"; });
    if (first == extras.end())
        return;
    const std::string& word = *first;
    if (word.size() > 1 && word[0] == '-' && !std::isdigit(static_cast<unsigned char>(word[1])))
        throw UsageError("Opzione non riconosciuta: " + word);
    if (commandWord)
        throw UsageError("Comando sconosciuto: " + word);
    throw UsageError("Argomento non riconosciuto: " + word);
}

// CLI11's own errors, in Italian. Its messages are English, so each kind the
// parser can meet is named here from what the parse left behind.
std::string Parser::mistake(const CLI::ParseError& error, const std::vector<std::string>& args,
                            std::size_t left) const
{
    if (dynamic_cast<const UsageError*>(&error))
        return error.what();
    if (dynamic_cast<const CLI::RequiredError*>(&error))
        return missingRequired();
    // The argument CLI11 stopped at: the last one it took.
    const std::string at = left < args.size() ? args[args.size() - left - 1] : std::string();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        // An option that wants a value came last, or a flag was given one.
        const std::string name = at.substr(0, at.find('='));
        const CLI::App* command = chosen();
        const CLI::App& owner = command ? *command : m_app;
        const CLI::Option* option = owner.get_option_no_throw(name);
        if (option && option->get_expected_max() == 0)
            return "L'opzione " + name + " non prevede un valore";
        return "Manca il valore dell'opzione " + name;
    }
    return at.empty() ? "Riga di comando non valida" : "Argomento non valido: " + at;
}

// A required option without a value; an unknown word before it, as it is
// often the required option misspelt.
std::string Parser::missingRequired() const
{
    try {
        refuseExtras(m_app, chosen() == nullptr);
        if (const CLI::App* command = chosen())
            refuseExtras(*command, false);
    } catch (const UsageError& extra) {
        return extra.what();
    }
    for (const Required& r : m_required)
        if (r.command->parsed() && r.option->count() == 0)
            return r.missing;
    return "Manca un'opzione obbligatoria";
}

} // namespace

CommandLine readCommandLine(const std::vector<std::string>& args, const AddressCheck& checkAddress)
{
    // "help" as a command word reads as --help.
    if (!args.empty() && args.front() == "help")
        return readCommandLine({"--help"}, checkAddress);
    // The options are bound to the parser's fields: one parser per line.
    Parser parser(checkAddress);
    return parser.read(args);
}

} // namespace presenze
