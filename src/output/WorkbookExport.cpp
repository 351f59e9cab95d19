#include "output/WorkbookExport.h"

#include "common/KV7Routine.h"
#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"
#include "output/XlsxStream.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <unordered_map>

namespace presenze {
namespace fs = std::filesystem;
namespace {

// Days from 30/12/1899, Excel's day 0, to 01/01/1970.
constexpr long kExcelEpoch = 25569;

constexpr const char* kMoneyFormat = "#,##0.00 [$\xE2\x82\xAC-410];-#,##0.00 [$\xE2\x82\xAC-410]";
constexpr const char* kNoDataSheet = "Mesi senza dati";
// A name column is as wide as names of this many characters; a longer name
// wraps in its cell.
constexpr std::size_t kNameColumnCharacters = 40;
// Where Calibri, the default font, is not installed, the font that stands
// in for it is up to this much wider.
constexpr double kWiderFont = 1.2;
// Columns of a date shown "mm/yyyy" and "dd/mm/yyyy", with room for that
// wider font.
constexpr double kMonthColumnWidth = 11;
constexpr double kDayColumnWidth = 14;

constexpr std::array<const char*, 11> kDataHeading = {"Mese",
                                                      "Hotel",
                                                      "Ditta",
                                                      "Giorno",
                                                      "PresenzeConfermate",
                                                      "PresenzeOpzionate",
                                                      "CamereConfermate",
                                                      "CamereOpzionate",
                                                      "Importo",
                                                      "NelMese",
                                                      "Conteggio"};

std::string twoDigits(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

// "YYYY-MM".
std::string sheetName(const Date& first)
{
    return std::to_string(first.year) + "-" + twoDigits(first.month);
}

// Excel keeps at most this many characters in a cell.
constexpr std::size_t kMostCellCharacters = 32767;

// Cuts a UTF-8 text to the characters a cell keeps; true when it was longer.
bool cutToCell(std::string& utf8)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        // Every byte but a continuation byte begins a character.
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
            continue;
        if (++characters > kMostCellCharacters) {
            utf8.resize(i);
            return true;
        }
    }
    return false;
}

// Lun, Mar... of a date (01/01/1970 was a Thursday).
std::string weekday(const Date& date)
{
    const long monday = (date.toSerial() % 7 + 10) % 7; // 0 = Monday
    return cp1252ToUtf8(WeekdayNames[static_cast<std::size_t>(monday)].substr(0, 3));
}

// The workbook being written, with its formats; every failure of the
// writer becomes a DataError naming the file.
class Workbook {
public:
    using Format = XlsxStream::Format;

    Workbook(ByteSink& file, const fs::path& shownAs, std::uint64_t steps,
             const WorkProgress& progress)
        : m_book(file), m_shownAs(shownAs), m_steps(steps), m_progress(progress)
    {
        bold = m_book.addFormat({.bold = true});
        date = m_book.addFormat({.numberFormat = "dd/mm/yyyy"});
        month = m_book.addFormat({.numberFormat = "mm/yyyy"});
        money = m_book.addFormat({.numberFormat = kMoneyFormat});
        nextMonth = m_book.addFormat({.italic = true, .colour = kGrey, .alignRight = true});
        nextMonthCount = m_book.addFormat({.colour = kGrey});
        nextMonthMoney = m_book.addFormat({.colour = kGrey, .numberFormat = kMoneyFormat});
        day = m_book.addFormat({.bold = true, .alignRight = true});
        wrapped = m_book.addFormat({.wrap = true});
        boldWrapped = m_book.addFormat({.bold = true, .wrap = true});
    }

    XlsxStream& stream() { return m_book; }

    // More rows of figures written (Dati, or company days of a month).
    void step(std::uint64_t rows = 1)
    {
        const std::uint64_t before = m_done / kStepsPerReport;
        m_done += rows;
        if (m_done / kStepsPerReport != before)
            reportProgress(m_progress, m_done, m_steps);
    }

    void close()
    {
        reportProgress(m_progress, m_steps, m_steps);
        m_book.close();
    }

    [[noreturn]] void fail(const std::string& what) const
    {
        throw DataError("Errore nella scrittura della cartella di lavoro: " + utf8ToCp1252(what),
                        displayName(m_shownAs));
    }

    // A text longer than a cell keeps was cut.
    bool textsCut = false;

    Format bold = 0;
    Format date = 0;
    Format month = 0; // the first of a month, shown "mm/yyyy"
    Format money = 0;
    Format nextMonth = 0; // day headings of the next month's days
    Format nextMonthCount = 0;
    Format nextMonthMoney = 0;
    Format day = 0;
    Format wrapped = 0; // a name wider than its column
    Format boldWrapped = 0;

private:
    static constexpr std::uint32_t kGrey = 0x808080;
    // The window's bar moves every so many rows.
    static constexpr std::uint64_t kStepsPerReport = 4096;

    XlsxStream m_book;
    fs::path m_shownAs;
    std::uint64_t m_steps;
    const WorkProgress& m_progress;
    std::uint64_t m_done = 0;
};

using Format = Workbook::Format;
using Row = std::uint32_t;
using Col = std::uint16_t;

// A sheet prints landscape on A4, one page wide (every sheet of the
// stream), its heading rows (1 up to `headingRows`) repeated on every page.
XlsxSheetSetup sheetSetup(std::string name, std::uint32_t headingRows)
{
    XlsxSheetSetup setup;
    setup.name = std::move(name);
    setup.headingRows = headingRows;
    return setup;
}

// The width of a name column for names of up to `widest` characters, bold
// ones too, in a font wider than the default one.
double nameColumnWidth(std::size_t widest)
{
    return static_cast<double>(std::clamp<std::size_t>(widest, 12, kNameColumnCharacters)) *
               kWiderFont +
           2;
}

// A name's format: `plain`, or the wrapping one when it is wider than its column.
Format nameFormat(const std::string& cp1252, Format plain, Format wrapping)
{
    return cp1252.size() > kNameColumnCharacters ? wrapping : plain;
}

// One sheet's cells, written row after row; texts are UTF-8.
class Sheet {
public:
    explicit Sheet(Workbook& book) : m_book(book) {}

    void text(Row row, Col col, const std::string& value, Format f = 0)
    {
        if (value.size() <= kMostCellCharacters) {
            m_book.stream().text(row, col, value, f);
            return;
        }
        std::string cut = value;
        m_book.textsCut = cutToCell(cut) || m_book.textsCut;
        m_book.stream().text(row, col, cut, f);
    }
    void text(Row row, Col col, XlsxStream::StringId value, Format f = 0)
    {
        m_book.stream().text(row, col, value, f);
    }
    void number(Row row, Col col, double value, Format f = 0)
    {
        m_book.stream().number(row, col, value, f);
    }
    void number(Row row, Col col, std::int64_t value, Format f = 0)
    {
        m_book.stream().number(row, col, value, f);
    }

private:
    Workbook& m_book;
};

// Company names as shared strings of the workbook, each converted to
// UTF-8 (and cut to a cell) once.
class Utf8Names {
public:
    Utf8Names(const ReportFigures& figures, Workbook& book) : m_figures(figures), m_book(book) {}
    XlsxStream::StringId operator()(std::int32_t id)
    {
        auto [it, added] = m_names.try_emplace(id);
        if (added) {
            std::string utf8 = cp1252ToUtf8(m_figures.name(id));
            m_book.textsCut = cutToCell(utf8) || m_book.textsCut;
            it->second = m_book.stream().sharedString(utf8);
        }
        return it->second;
    }
    // The name's format in a name column.
    Format format(std::int32_t id, Format plain, Format wrapping) const
    {
        return nameFormat(m_figures.name(id), plain, wrapping);
    }

private:
    const ReportFigures& m_figures;
    Workbook& m_book;
    std::unordered_map<std::int32_t, XlsxStream::StringId> m_names;
};

std::size_t dataRows(const ReportFigures& figures)
{
    std::size_t rows = 0;
    for (const MonthFigures& month : figures.months())
        rows += month.days.size();
    return rows;
}

// The characters of the longest company name of the months.
std::size_t widestCompany(const ReportFigures& figures)
{
    std::size_t widest = 0;
    for (const MonthFigures& month : figures.months())
        for (const CompanyFigures& c : month.companies)
            widest = std::max(widest, figures.name(c.name).size());
    return widest;
}

// "Dati" (or "Dati 2"...) with its heading, for `rows` rows beneath it.
void startDataSheet(Workbook& book, const ReportFigures& figures, std::size_t index,
                    std::size_t rows)
{
    XlsxSheetSetup setup = sheetSetup(index == 0 ? "Dati" : "Dati " + std::to_string(index + 1), 1);
    setup.frozenRows = 1;
    setup.filterLastRow = static_cast<Row>(rows);
    setup.filterLastColumn = kDataHeading.size() - 1;
    // Wide enough for the shown dates and the bold headings with their
    // filter buttons also where a wider font stands in for the default.
    setup.columns = {{0, 0, kMonthColumnWidth},
                     {1, 1, 9},
                     {2, 2, nameColumnWidth(widestCompany(figures))},
                     {3, 3, kDayColumnWidth},
                     {4, 7, 28},
                     {8, 8, 16},
                     {9, 10, 13}};
    book.stream().beginSheet(std::move(setup));
    Sheet sheet(book);
    for (Col c = 0; c < kDataHeading.size(); ++c)
        sheet.text(0, c, kDataHeading[c], book.bold);
}

// "Dati", "Dati 2"...: the heading, then one row per company day.
void writeData(Workbook& book, const ReportFigures& figures, Utf8Names& names,
               std::size_t sheetRows)
{
    const std::size_t perSheet = sheetRows - 1;
    const std::size_t total = dataRows(figures);
    startDataSheet(book, figures, 0, std::min(perSheet, total));
    Sheet sheet(book);
    XlsxStream& out = book.stream();
    const XlsxStream::StringId counts[2] = {out.sharedString("presenze"),
                                            out.sharedString("arrivi")};
    std::size_t written = 0;
    for (const MonthFigures& month : figures.months()) {
        const XlsxStream::StringId conteggio = counts[month.arrivals ? 1 : 0];
        const std::int64_t firstSerial = month.first.toSerial() + kExcelEpoch;
        for (const CompanyFigures& company : month.companies) {
            const XlsxStream::StringId ditta = names(company.name);
            const Format dittaFormat = names.format(company.name, 0, book.wrapped);
            for (const FigureDay* d = month.begin(company); d != month.end(company); ++d) {
                if (written > 0 && written % perSheet == 0)
                    startDataSheet(book, figures, written / perSheet,
                                   std::min(perSheet, total - written));
                const auto row = static_cast<Row>(written % perSheet + 1);
                ++written;
                const DayFigures& f = d->figures;
                sheet.number(row, 0, firstSerial, book.month);
                sheet.number(row, 1, company.hotel);
                sheet.text(row, 2, ditta, dittaFormat);
                sheet.number(row, 3, firstSerial + d->day - 1, book.date);
                sheet.number(row, 4, f.presCon);
                sheet.number(row, 5, f.presOpz);
                sheet.number(row, 6, f.camCon);
                sheet.number(row, 7, f.camOpz);
                if (month.amounts)
                    sheet.number(row, 8, f.importo.toDouble(), book.money);
                sheet.number(row, 9, std::int64_t{month.inMonth(d->day) ? 1 : 0});
                sheet.text(row, 10, conteggio);
                book.step();
            }
        }
    }
}

// The lines of a company or hotel in the report's order, by booking kind.
struct Line {
    const char* label;
    std::int64_t DayFigures::*count;
};

std::vector<Line> kindLines(const ReportFigures& figures)
{
    const bool type1 = figures.type1();
    std::vector<Line> lines;
    if (figures.kind() != BookingKind::Optional) {
        lines.push_back({"PrC", &DayFigures::presCon});
        lines.push_back({type1 ? "CaC" : "CON", &DayFigures::camCon});
    }
    if (figures.kind() != BookingKind::Confirmed) {
        lines.push_back({"PrO", &DayFigures::presOpz});
        lines.push_back({type1 ? "CaO" : "OPZ", &DayFigures::camOpz});
    }
    return lines;
}

constexpr Col kFirstDayColumn = 3;
constexpr Col kTotalColumn = kFirstDayColumn + kFigureDays;

// One month laid out like the report: the day numbers and weekdays on top,
// then per hotel its companies' lines, the hotel's totals, rooms and free
// rooms. The "Totale" column counts the month's own days; the days of the
// next month that close the 31 columns stay visible, greyed, outside it.
// Rows are written in order, one after the other (constant memory).
class MonthSheet {
public:
    MonthSheet(Workbook& book, const ReportFigures& figures, const MonthFigures& month,
               Utf8Names& names, std::size_t sheetRows)
        : m_book(book), m_figures(figures), m_month(month), m_names(names), m_sheet(book),
          m_lines(kindLines(figures)), m_sheetRows(sheetRows)
    {}

    void write()
    {
        heading();
        std::map<std::int64_t, std::vector<const CompanyFigures*>> companiesOf;
        std::map<std::int64_t, const HotelFigures*> hotelOf;
        for (const CompanyFigures& c : m_month.companies)
            companiesOf[c.hotel].push_back(&c);
        for (const HotelFigures& h : m_month.hotels) {
            hotelOf[h.hotel] = &h;
            companiesOf[h.hotel];
        }
        for (const auto& [hotel, companies] : companiesOf) {
            for (const CompanyFigures* c : companies)
                if (!company(*c))
                    return;
            if (const auto it = hotelOf.find(hotel);
                it != hotelOf.end() && !hotelTotals(*it->second))
                return;
        }
    }

private:
    void heading()
    {
        std::size_t widest = 0;
        for (const CompanyFigures& c : m_month.companies)
            widest = std::max(widest, m_figures.name(c.name).size());
        for (const HotelFigures& h : m_month.hotels)
            widest = std::max(widest, m_figures.hotelLabel(h.hotel).size());
        XlsxSheetSetup setup = sheetSetup(sheetName(m_month.first), 2);
        setup.columns = {{0, 0, 7},
                         {1, 1, nameColumnWidth(widest)},
                         {2, 2, 10},
                         {kFirstDayColumn, kTotalColumn - 1, 5},
                         {kTotalColumn, kTotalColumn, 10}};
        setup.frozenRows = 2;
        setup.frozenColumns = kFirstDayColumn;
        m_book.stream().beginSheet(std::move(setup));

        m_sheet.text(0, 0, "Hotel", m_book.bold);
        m_sheet.text(0, 1, "Ditta", m_book.bold);
        m_sheet.text(0, 2, "Voce", m_book.bold);
        for (int d = 1; d <= kFigureDays; ++d)
            m_sheet.number(0, column(d), std::int64_t{m_month.first.addDays(d - 1).day},
                           dayFormat(d));
        m_sheet.text(0, kTotalColumn, "Totale", m_book.bold);
        std::string title = cp1252ToUtf8(std::string(trimBlanks(MonthNames[m_month.first.month]))) +
                            " " + std::to_string(m_month.first.year);
        if (!m_figures.type1())
            title += m_month.arrivals ? " (arrivi)" : " (presenze)";
        m_sheet.text(1, 1, title);
        for (int d = 1; d <= kFigureDays; ++d)
            m_sheet.text(1, column(d), weekday(m_month.first.addDays(d - 1)), dayFormat(d));
        m_row = 2;
    }

    // A company's lines; false when the sheet is full.
    bool company(const CompanyFigures& c)
    {
        if (!room(m_lines.size() + (m_month.amounts ? 1 : 0)))
            return false;
        std::array<DayFigures, kFigureDays> days{};
        for (const FigureDay* d = m_month.begin(c); d != m_month.end(c); ++d)
            days[static_cast<std::size_t>(d->day - 1)] = d->figures;
        const XlsxStream::StringId name = m_names(c.name);
        const Format nameFormat = m_names.format(c.name, 0, m_book.wrapped);
        for (const Line& line : m_lines) {
            start(c.hotel, name, line.label, 0, nameFormat);
            std::int64_t total = 0;
            for (int d = 1; d <= kFigureDays; ++d) {
                const std::int64_t value = days[static_cast<std::size_t>(d - 1)].*line.count;
                if (m_month.inMonth(d))
                    total += value;
                if (value != 0)
                    m_sheet.number(m_row, column(d), value, countFormat(d));
            }
            m_sheet.number(m_row++, kTotalColumn, total, m_book.bold);
        }
        m_book.step(c.dayCount);
        if (!m_month.amounts)
            return true;
        start(c.hotel, name, "Importo", 0, nameFormat);
        Currency total;
        for (int d = 1; d <= kFigureDays; ++d) {
            const Currency value = days[static_cast<std::size_t>(d - 1)].importo;
            if (m_month.inMonth(d))
                total += value;
            if (value.units != 0)
                m_sheet.number(m_row, column(d), value.toDouble(), moneyFormat(d));
        }
        m_sheet.number(m_row++, kTotalColumn, total.toDouble(), m_book.money);
        return true;
    }

    // The hotel's day totals, its rooms and its free rooms; false when the
    // sheet is full.
    bool hotelTotals(const HotelFigures& h)
    {
        if (!room(m_lines.size() + 3))
            return false;
        const std::string cp1252 = m_figures.hotelLabel(h.hotel);
        const std::string label = cp1252ToUtf8(cp1252);
        const XlsxStream::StringId labelText = m_book.stream().sharedString(label);
        const Format labelFormat = nameFormat(cp1252, m_book.bold, m_book.boldWrapped);
        for (const Line& line : m_lines) {
            start(h.hotel, labelText, std::string("TOT ") + line.label, m_book.bold, labelFormat);
            std::int64_t total = 0;
            for (int d = 1; d <= kFigureDays; ++d) {
                const std::int64_t value = h.days[static_cast<std::size_t>(d - 1)].*line.count;
                if (m_month.inMonth(d))
                    total += value;
                m_sheet.number(m_row, column(d), value, countFormat(d));
            }
            m_sheet.number(m_row++, kTotalColumn, total, m_book.bold);
        }
        start(h.hotel, labelText, "Camere", m_book.bold, labelFormat);
        m_sheet.number(m_row++, kFirstDayColumn, h.rooms);
        start(h.hotel, labelText, "Libere", m_book.bold, labelFormat);
        for (int d = 1; d <= kFigureDays; ++d) {
            const DayFigures& f = h.days[static_cast<std::size_t>(d - 1)];
            m_sheet.number(m_row, column(d), h.rooms - f.camCon - f.camOpz, countFormat(d));
        }
        m_row += 2;
        return true;
    }

    // The first three cells of a line.
    void start(std::int64_t hotel, XlsxStream::StringId name, const std::string& label,
               Format format, Format nameFormat)
    {
        m_sheet.number(m_row, 0, hotel, format);
        m_sheet.text(m_row, 1, name, nameFormat);
        m_sheet.text(m_row, 2, label, format);
    }

    // Whether `rows` more lines fit; if not, the last line says so ("Dati"
    // holds every figure whatever the size).
    bool room(std::size_t rows)
    {
        if (m_row + rows < m_sheetRows)
            return true;
        m_sheet.text(m_row, 1,
                     "Il mese continua oltre le righe di un foglio: i dati completi "
                     "sono nel foglio \"Dati\".");
        return false;
    }

    static Col column(int day) { return static_cast<Col>(kFirstDayColumn + day - 1); }
    Format dayFormat(int day) const { return m_month.inMonth(day) ? m_book.day : m_book.nextMonth; }
    Format countFormat(int day) const { return m_month.inMonth(day) ? 0 : m_book.nextMonthCount; }
    Format moneyFormat(int day) const
    {
        return m_month.inMonth(day) ? m_book.money : m_book.nextMonthMoney;
    }

    Workbook& m_book;
    const ReportFigures& m_figures;
    const MonthFigures& m_month;
    Utf8Names& m_names;
    Sheet m_sheet;
    const std::vector<Line> m_lines;
    std::size_t m_sheetRows;
    Row m_row = 0;
};

// The last sheet: the months of the request without any figure, which have
// no sheet of their own.
void writeMonthsWithoutData(Workbook& book, const ReportFigures& figures)
{
    std::vector<const MonthFigures*> empty;
    for (const MonthFigures& month : figures.months())
        if (!month.hasFigures())
            empty.push_back(&month);
    if (empty.empty())
        return;
    XlsxSheetSetup setup = sheetSetup(kNoDataSheet, 1);
    setup.columns = {{0, 0, kMonthColumnWidth}, {1, 1, 20}};
    book.stream().beginSheet(std::move(setup));
    Sheet sheet(book);
    sheet.text(0, 0, "Mese", book.bold);
    sheet.text(0, 1, "Nome", book.bold);
    Row row = 1;
    for (const MonthFigures* month : empty) {
        sheet.number(row, 0, std::int64_t{month->first.toSerial() + kExcelEpoch}, book.month);
        sheet.text(row++, 1,
                   cp1252ToUtf8(std::string(trimBlanks(MonthNames[month->first.month]))) + " " +
                       std::to_string(month->first.year));
    }
}

} // namespace

std::string workbookFileName(std::string_view stationTag)
{
    return "fd" + std::string(stationTag) + ".xlsx";
}

std::string writeWorkbook(const ReportFigures& figures, const fs::path& target,
                          std::size_t sheetRows, const WorkProgress& progress)
{
    sheetRows = std::clamp<std::size_t>(sheetRows, 2, kSheetRows);
    AtomicFile file(target);
    bool textsCut = false;
    {
        // Every company day goes once into "Dati" and once into its month.
        Workbook book(file, target, 2 * dataRows(figures), progress);
        Utf8Names names(figures, book);
        writeData(book, figures, names, sheetRows);
        for (const MonthFigures& month : figures.months())
            if (month.hasFigures())
                MonthSheet(book, figures, month, names, sheetRows).write();
        writeMonthsWithoutData(book, figures);
        book.close();
        textsCut = book.textsCut;
    }
    file.commit();
    if (!textsCut)
        return {};
    return "Alcuni nomi superano i " + std::to_string(kMostCellCharacters) +
           " caratteri di una cella di Excel: nella cartella " + displayName(target) +
           " sono tagliati a quella lunghezza";
}

} // namespace presenze
