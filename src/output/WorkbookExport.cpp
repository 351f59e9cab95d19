#include "output/WorkbookExport.h"

#include "common/KV7Routine.h"
#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <xlsxwriter.h>

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
// Paper size code of A4.
constexpr std::uint8_t kPaperA4 = 9;

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
// library becomes a DataError naming the file.
class Workbook {
public:
    Workbook(const fs::path& file, const fs::path& shownAs) : m_shownAs(shownAs)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        m_book = workbook_new_opt(file.c_str(), &options);
        if (!m_book)
            fail("Impossibile creare la cartella di lavoro");
        bold = workbook_add_format(m_book);
        format_set_bold(bold);
        date = workbook_add_format(m_book);
        format_set_num_format(date, "dd/mm/yyyy");
        month = workbook_add_format(m_book);
        format_set_num_format(month, "mm/yyyy");
        money = workbook_add_format(m_book);
        format_set_num_format(money, kMoneyFormat);
        nextMonth = workbook_add_format(m_book);
        format_set_italic(nextMonth);
        format_set_font_color(nextMonth, LXW_COLOR_GRAY);
        format_set_align(nextMonth, LXW_ALIGN_RIGHT);
        nextMonthCount = workbook_add_format(m_book);
        format_set_font_color(nextMonthCount, LXW_COLOR_GRAY);
        nextMonthMoney = workbook_add_format(m_book);
        format_set_num_format(nextMonthMoney, kMoneyFormat);
        format_set_font_color(nextMonthMoney, LXW_COLOR_GRAY);
        day = workbook_add_format(m_book);
        format_set_bold(day);
        format_set_align(day, LXW_ALIGN_RIGHT);
        wrapped = workbook_add_format(m_book);
        format_set_text_wrap(wrapped);
        boldWrapped = workbook_add_format(m_book);
        format_set_bold(boldWrapped);
        format_set_text_wrap(boldWrapped);
    }
    ~Workbook()
    {
        if (m_book)
            lxw_workbook_free(m_book);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_worksheet* addSheet(const std::string& name)
    {
        lxw_worksheet* sheet = workbook_add_worksheet(m_book, name.c_str());
        if (!sheet)
            fail("Impossibile aggiungere il foglio " + name);
        return sheet;
    }

    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            fail(lxw_strerror(error));
    }

    void close()
    {
        lxw_workbook* book = m_book;
        m_book = nullptr;
        check(workbook_close(book));
    }

    [[noreturn]] void fail(const std::string& what) const
    {
        throw DataError("Errore nella scrittura della cartella di lavoro: " + utf8ToCp1252(what),
                        displayName(m_shownAs));
    }

    // A text longer than a cell keeps was cut.
    bool textsCut = false;

    lxw_format* bold = nullptr;
    lxw_format* date = nullptr;
    lxw_format* month = nullptr; // the first of a month, shown "mm/yyyy"
    lxw_format* money = nullptr;
    lxw_format* nextMonth = nullptr; // day headings of the next month's days
    lxw_format* nextMonthCount = nullptr;
    lxw_format* nextMonthMoney = nullptr;
    lxw_format* day = nullptr;
    lxw_format* wrapped = nullptr; // a name wider than its column
    lxw_format* boldWrapped = nullptr;

private:
    lxw_workbook* m_book = nullptr;
    fs::path m_shownAs;
};

// A sheet prints landscape on A4, one page wide, its heading rows (0 up to
// `lastHeadingRow`) repeated on every page.
void setUpPrinting(Workbook& book, lxw_worksheet* sheet, lxw_row_t lastHeadingRow)
{
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, kPaperA4);
    worksheet_fit_to_pages(sheet, 1, 0);
    book.check(worksheet_repeat_rows(sheet, 0, lastHeadingRow));
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
lxw_format* nameFormat(const std::string& cp1252, lxw_format* plain, lxw_format* wrapping)
{
    return cp1252.size() > kNameColumnCharacters ? wrapping : plain;
}

// One sheet's cells, written row after row; texts are UTF-8.
class Sheet {
public:
    Sheet(Workbook& book, lxw_worksheet* sheet) : m_book(book), m_sheet(sheet) {}

    void text(lxw_row_t row, lxw_col_t col, const std::string& value, lxw_format* f = nullptr)
    {
        if (value.empty())
            return;
        if (value.size() <= kMostCellCharacters) {
            m_book.check(worksheet_write_string(m_sheet, row, col, value.c_str(), f));
            return;
        }
        std::string cut = value;
        m_book.textsCut = cutToCell(cut) || m_book.textsCut;
        m_book.check(worksheet_write_string(m_sheet, row, col, cut.c_str(), f));
    }
    void number(lxw_row_t row, lxw_col_t col, double value, lxw_format* f = nullptr)
    {
        m_book.check(worksheet_write_number(m_sheet, row, col, value, f));
    }
    lxw_worksheet* get() const { return m_sheet; }

private:
    Workbook& m_book;
    lxw_worksheet* m_sheet;
};

// Company names in UTF-8, converted once each.
class Utf8Names {
public:
    explicit Utf8Names(const ReportFigures& figures) : m_figures(figures) {}
    const std::string& operator()(std::int32_t id)
    {
        auto [it, added] = m_names.try_emplace(id);
        if (added)
            it->second = cp1252ToUtf8(m_figures.name(id));
        return it->second;
    }
    // The name's format in a name column.
    lxw_format* format(std::int32_t id, lxw_format* plain, lxw_format* wrapping) const
    {
        return nameFormat(m_figures.name(id), plain, wrapping);
    }

private:
    const ReportFigures& m_figures;
    std::map<std::int32_t, std::string> m_names;
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

// "Dati", "Dati 2"...: the heading, then one row per company day.
void writeData(Workbook& book, const ReportFigures& figures, Utf8Names& names,
               std::size_t sheetRows)
{
    const std::size_t perSheet = sheetRows - 1;
    const std::size_t total = dataRows(figures);
    const std::size_t sheetCount = std::max<std::size_t>(1, (total + perSheet - 1) / perSheet);
    std::vector<Sheet> sheets;
    for (std::size_t s = 0; s < sheetCount; ++s) {
        Sheet sheet(book, book.addSheet(s == 0 ? "Dati" : "Dati " + std::to_string(s + 1)));
        const std::size_t rows = std::min(perSheet, total - std::min(total, s * perSheet));
        for (lxw_col_t c = 0; c < kDataHeading.size(); ++c)
            sheet.text(0, c, kDataHeading[c], book.bold);
        worksheet_freeze_panes(sheet.get(), 1, 0);
        book.check(worksheet_autofilter(sheet.get(), 0, 0, static_cast<lxw_row_t>(rows),
                                        kDataHeading.size() - 1));
        setUpPrinting(book, sheet.get(), 0);
        // Wide enough for the shown dates and the bold headings with their
        // filter buttons also where a wider font stands in for the default.
        worksheet_set_column(sheet.get(), 0, 0, kMonthColumnWidth, nullptr);
        worksheet_set_column(sheet.get(), 1, 1, 9, nullptr);
        worksheet_set_column(sheet.get(), 2, 2, nameColumnWidth(widestCompany(figures)), nullptr);
        worksheet_set_column(sheet.get(), 3, 3, kDayColumnWidth, nullptr);
        worksheet_set_column(sheet.get(), 4, 7, 28, nullptr);
        worksheet_set_column(sheet.get(), 8, 8, 16, nullptr);
        worksheet_set_column(sheet.get(), 9, 10, 13, nullptr);
        sheets.push_back(sheet);
    }

    std::size_t written = 0;
    for (const MonthFigures& month : figures.months()) {
        const std::string conteggio = month.arrivals ? "arrivi" : "presenze";
        const long firstSerial = month.first.toSerial() + kExcelEpoch;
        for (const CompanyFigures& company : month.companies) {
            const std::string& ditta = names(company.name);
            lxw_format* dittaFormat = names.format(company.name, nullptr, book.wrapped);
            for (const FigureDay* d = month.begin(company); d != month.end(company); ++d) {
                Sheet& sheet = sheets[written / perSheet];
                const auto row = static_cast<lxw_row_t>(written % perSheet + 1);
                ++written;
                const DayFigures& f = d->figures;
                sheet.number(row, 0, static_cast<double>(firstSerial), book.month);
                sheet.number(row, 1, static_cast<double>(company.hotel));
                sheet.text(row, 2, ditta, dittaFormat);
                sheet.number(row, 3, static_cast<double>(firstSerial + d->day - 1), book.date);
                sheet.number(row, 4, static_cast<double>(f.presCon));
                sheet.number(row, 5, static_cast<double>(f.presOpz));
                sheet.number(row, 6, static_cast<double>(f.camCon));
                sheet.number(row, 7, static_cast<double>(f.camOpz));
                if (month.amounts)
                    sheet.number(row, 8, f.importo.toDouble(), book.money);
                sheet.number(row, 9, month.inMonth(d->day) ? 1 : 0);
                sheet.text(row, 10, conteggio);
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

constexpr lxw_col_t kFirstDayColumn = 3;
constexpr lxw_col_t kTotalColumn = kFirstDayColumn + kFigureDays;

// One month laid out like the report: the day numbers and weekdays on top,
// then per hotel its companies' lines, the hotel's totals, rooms and free
// rooms. The "Totale" column counts the month's own days; the days of the
// next month that close the 31 columns stay visible, greyed, outside it.
// Rows are written in order, one after the other (constant memory).
class MonthSheet {
public:
    MonthSheet(Workbook& book, const ReportFigures& figures, const MonthFigures& month,
               Utf8Names& names, std::size_t sheetRows)
        : m_book(book), m_figures(figures), m_month(month), m_names(names),
          m_sheet(book, book.addSheet(sheetName(month.first))), m_lines(kindLines(figures)),
          m_sheetRows(sheetRows)
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
        lxw_worksheet* sheet = m_sheet.get();
        worksheet_set_column(sheet, 0, 0, 7, nullptr);
        worksheet_set_column(sheet, 1, 1, nameColumnWidth(widest), nullptr);
        worksheet_set_column(sheet, 2, 2, 10, nullptr);
        worksheet_set_column(sheet, kFirstDayColumn, kTotalColumn - 1, 5, nullptr);
        worksheet_set_column(sheet, kTotalColumn, kTotalColumn, 10, nullptr);
        worksheet_freeze_panes(sheet, 2, kFirstDayColumn);
        setUpPrinting(m_book, sheet, 1);

        m_sheet.text(0, 0, "Hotel", m_book.bold);
        m_sheet.text(0, 1, "Ditta", m_book.bold);
        m_sheet.text(0, 2, "Voce", m_book.bold);
        for (int d = 1; d <= kFigureDays; ++d)
            m_sheet.number(0, column(d), m_month.first.addDays(d - 1).day, dayFormat(d));
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
        const std::string& name = m_names(c.name);
        lxw_format* nameFormat = m_names.format(c.name, nullptr, m_book.wrapped);
        for (const Line& line : m_lines) {
            start(c.hotel, name, line.label, nullptr, nameFormat);
            std::int64_t total = 0;
            for (int d = 1; d <= kFigureDays; ++d) {
                const std::int64_t value = days[static_cast<std::size_t>(d - 1)].*line.count;
                if (m_month.inMonth(d))
                    total += value;
                if (value != 0)
                    m_sheet.number(m_row, column(d), static_cast<double>(value), countFormat(d));
            }
            m_sheet.number(m_row++, kTotalColumn, static_cast<double>(total), m_book.bold);
        }
        if (!m_month.amounts)
            return true;
        start(c.hotel, name, "Importo", nullptr, nameFormat);
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
        lxw_format* labelFormat = nameFormat(cp1252, m_book.bold, m_book.boldWrapped);
        for (const Line& line : m_lines) {
            start(h.hotel, label, std::string("TOT ") + line.label, m_book.bold, labelFormat);
            std::int64_t total = 0;
            for (int d = 1; d <= kFigureDays; ++d) {
                const std::int64_t value = h.days[static_cast<std::size_t>(d - 1)].*line.count;
                if (m_month.inMonth(d))
                    total += value;
                m_sheet.number(m_row, column(d), static_cast<double>(value), countFormat(d));
            }
            m_sheet.number(m_row++, kTotalColumn, static_cast<double>(total), m_book.bold);
        }
        start(h.hotel, label, "Camere", m_book.bold, labelFormat);
        m_sheet.number(m_row++, kFirstDayColumn, static_cast<double>(h.rooms));
        start(h.hotel, label, "Libere", m_book.bold, labelFormat);
        for (int d = 1; d <= kFigureDays; ++d) {
            const DayFigures& f = h.days[static_cast<std::size_t>(d - 1)];
            m_sheet.number(m_row, column(d), static_cast<double>(h.rooms - f.camCon - f.camOpz),
                           countFormat(d));
        }
        m_row += 2;
        return true;
    }

    // The first three cells of a line.
    void start(std::int64_t hotel, const std::string& name, const std::string& label,
               lxw_format* format, lxw_format* nameFormat)
    {
        m_sheet.number(m_row, 0, static_cast<double>(hotel), format);
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

    static lxw_col_t column(int day) { return static_cast<lxw_col_t>(kFirstDayColumn + day - 1); }
    lxw_format* dayFormat(int day) const
    {
        return m_month.inMonth(day) ? m_book.day : m_book.nextMonth;
    }
    lxw_format* countFormat(int day) const
    {
        return m_month.inMonth(day) ? nullptr : m_book.nextMonthCount;
    }
    lxw_format* moneyFormat(int day) const
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
    lxw_row_t m_row = 0;
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
    Sheet sheet(book, book.addSheet(kNoDataSheet));
    setUpPrinting(book, sheet.get(), 0);
    worksheet_set_column(sheet.get(), 0, 0, kMonthColumnWidth, nullptr);
    worksheet_set_column(sheet.get(), 1, 1, 20, nullptr);
    sheet.text(0, 0, "Mese", book.bold);
    sheet.text(0, 1, "Nome", book.bold);
    lxw_row_t row = 1;
    for (const MonthFigures* month : empty) {
        sheet.number(row, 0, static_cast<double>(month->first.toSerial() + kExcelEpoch),
                     book.month);
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
                          std::size_t sheetRows)
{
    sheetRows = std::clamp<std::size_t>(sheetRows, 2, kSheetRows);
    AtomicFile file(target);
    bool textsCut = false;
    {
        // The library writes the temporary file by its name.
        Workbook book(file.path(), target);
        Utf8Names names(figures);
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
