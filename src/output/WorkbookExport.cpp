#include "output/WorkbookExport.h"

#include "common/KV7Routine.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace presenze {
namespace fs = std::filesystem;
namespace {

// Days from 30/12/1899, Excel's day 0, to 01/01/1970.
constexpr long kExcelEpoch = 25569;

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

// "MM/YYYY" and "YYYY-MM".
std::string monthText(const Date& first)
{
    return twoDigits(first.month) + "/" + std::to_string(first.year);
}

std::string sheetName(const Date& first)
{
    return std::to_string(first.year) + "-" + twoDigits(first.month);
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
        money = workbook_add_format(m_book);
        format_set_num_format(money, "#,##0.00 [$\xE2\x82\xAC-410];-#,##0.00 [$\xE2\x82\xAC-410]");
        nextMonth = workbook_add_format(m_book);
        format_set_italic(nextMonth);
        format_set_font_color(nextMonth, LXW_COLOR_GRAY);
        format_set_align(nextMonth, LXW_ALIGN_RIGHT);
        day = workbook_add_format(m_book);
        format_set_bold(day);
        format_set_align(day, LXW_ALIGN_RIGHT);
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

    lxw_format* bold = nullptr;
    lxw_format* date = nullptr;
    lxw_format* money = nullptr;
    lxw_format* nextMonth = nullptr;
    lxw_format* day = nullptr;

private:
    lxw_workbook* m_book = nullptr;
    fs::path m_shownAs;
};

// One sheet's cells, written row after row; texts are UTF-8.
class Sheet {
public:
    Sheet(Workbook& book, lxw_worksheet* sheet) : m_book(book), m_sheet(sheet) {}

    void text(lxw_row_t row, lxw_col_t col, const std::string& value, lxw_format* f = nullptr)
    {
        if (!value.empty())
            m_book.check(worksheet_write_string(m_sheet, row, col, value.c_str(), f));
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
        worksheet_set_column(sheet.get(), 0, 1, 8, nullptr);
        worksheet_set_column(sheet.get(), 2, 2, 32, nullptr);
        worksheet_set_column(sheet.get(), 3, 3, 11, nullptr);
        worksheet_set_column(sheet.get(), 4, 7, 19, nullptr);
        worksheet_set_column(sheet.get(), 8, 8, 14, nullptr);
        worksheet_set_column(sheet.get(), 9, 10, 10, nullptr);
        sheets.push_back(sheet);
    }

    std::size_t written = 0;
    for (const MonthFigures& month : figures.months()) {
        const std::string mese = monthText(month.first);
        const std::string conteggio = month.arrivals ? "arrivi" : "presenze";
        const long firstSerial = month.first.toSerial() + kExcelEpoch;
        for (const CompanyFigures& company : month.companies) {
            const std::string& ditta = names(company.name);
            for (const FigureDay* d = month.begin(company); d != month.end(company); ++d) {
                Sheet& sheet = sheets[written / perSheet];
                const auto row = static_cast<lxw_row_t>(written % perSheet + 1);
                ++written;
                const DayFigures& f = d->figures;
                sheet.text(row, 0, mese);
                sheet.number(row, 1, static_cast<double>(company.hotel));
                sheet.text(row, 2, ditta);
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
// then per hotel its companies' lines and the hotel's totals and free rooms.
void writeMonth(Workbook& book, const ReportFigures& figures, const MonthFigures& month,
                Utf8Names& names)
{
    Sheet sheet(book, book.addSheet(sheetName(month.first)));
    std::size_t widest = 12;
    for (const CompanyFigures& c : month.companies)
        widest = std::max(widest, names(c.name).size());
    for (const HotelFigures& h : month.hotels)
        widest = std::max(widest, cp1252ToUtf8(figures.hotelLabel(h.hotel)).size());
    worksheet_set_column(sheet.get(), 0, 0, 7, nullptr);
    worksheet_set_column(sheet.get(), 1, 1, static_cast<double>(std::min<std::size_t>(widest, 45)),
                         nullptr);
    worksheet_set_column(sheet.get(), 2, 2, 8, nullptr);
    worksheet_set_column(sheet.get(), kFirstDayColumn, kTotalColumn - 1, 5, nullptr);
    worksheet_set_column(sheet.get(), kTotalColumn, kTotalColumn, 10, nullptr);
    worksheet_freeze_panes(sheet.get(), 2, kFirstDayColumn);

    // Rows are written in order, one after the other (constant memory).
    sheet.text(0, 0, "Hotel", book.bold);
    sheet.text(0, 1, "Ditta", book.bold);
    sheet.text(0, 2, "Voce", book.bold);
    for (int d = 1; d <= kFigureDays; ++d)
        sheet.number(0, static_cast<lxw_col_t>(kFirstDayColumn + d - 1),
                     month.first.addDays(d - 1).day, month.inMonth(d) ? book.day : book.nextMonth);
    sheet.text(0, kTotalColumn, "Totale", book.bold);
    std::string title = cp1252ToUtf8(std::string(trimBlanks(MonthNames[month.first.month]))) + " " +
                        std::to_string(month.first.year);
    if (!figures.type1())
        title += month.arrivals ? " (arrivi)" : " (presenze)";
    sheet.text(1, 1, title);
    for (int d = 1; d <= kFigureDays; ++d)
        sheet.text(1, static_cast<lxw_col_t>(kFirstDayColumn + d - 1),
                   weekday(month.first.addDays(d - 1)),
                   month.inMonth(d) ? book.day : book.nextMonth);

    std::map<std::int64_t, std::vector<const CompanyFigures*>> companiesOf;
    std::map<std::int64_t, const HotelFigures*> hotelOf;
    for (const CompanyFigures& c : month.companies)
        companiesOf[c.hotel].push_back(&c);
    for (const HotelFigures& h : month.hotels) {
        hotelOf[h.hotel] = &h;
        companiesOf[h.hotel];
    }

    const std::vector<Line> lines = kindLines(figures);
    lxw_row_t row = 2;
    for (const auto& [hotel, companies] : companiesOf) {
        for (const CompanyFigures* c : companies) {
            std::array<DayFigures, kFigureDays> days{};
            for (const FigureDay* d = month.begin(*c); d != month.end(*c); ++d)
                days[static_cast<std::size_t>(d->day - 1)] = d->figures;
            for (const Line& line : lines) {
                sheet.number(row, 0, static_cast<double>(hotel));
                sheet.text(row, 1, names(c->name));
                sheet.text(row, 2, line.label);
                std::int64_t total = 0;
                for (int d = 0; d < kFigureDays; ++d) {
                    const std::int64_t value = days[static_cast<std::size_t>(d)].*line.count;
                    total += value;
                    if (value != 0)
                        sheet.number(row, static_cast<lxw_col_t>(kFirstDayColumn + d),
                                     static_cast<double>(value));
                }
                sheet.number(row, kTotalColumn, static_cast<double>(total), book.bold);
                ++row;
            }
            if (month.amounts) {
                sheet.number(row, 0, static_cast<double>(hotel));
                sheet.text(row, 1, names(c->name));
                sheet.text(row, 2, "Importo");
                Currency total;
                for (int d = 0; d < kFigureDays; ++d) {
                    const Currency value = days[static_cast<std::size_t>(d)].importo;
                    total += value;
                    if (value.units != 0)
                        sheet.number(row, static_cast<lxw_col_t>(kFirstDayColumn + d),
                                     value.toDouble(), book.money);
                }
                sheet.number(row, kTotalColumn, total.toDouble(), book.money);
                ++row;
            }
        }
        const auto it = hotelOf.find(hotel);
        if (it == hotelOf.end())
            continue;
        const HotelFigures& h = *it->second;
        const std::string label = cp1252ToUtf8(figures.hotelLabel(hotel));
        for (const Line& line : lines) {
            sheet.number(row, 0, static_cast<double>(hotel), book.bold);
            sheet.text(row, 1, label, book.bold);
            sheet.text(row, 2, std::string("TOT ") + line.label, book.bold);
            std::int64_t total = 0;
            for (int d = 0; d < kFigureDays; ++d) {
                const std::int64_t value = h.days[static_cast<std::size_t>(d)].*line.count;
                total += value;
                sheet.number(row, static_cast<lxw_col_t>(kFirstDayColumn + d),
                             static_cast<double>(value));
            }
            sheet.number(row, kTotalColumn, static_cast<double>(total), book.bold);
            ++row;
        }
        sheet.number(row, 0, static_cast<double>(hotel), book.bold);
        sheet.text(row, 1, label, book.bold);
        sheet.text(row, 2, "Camere", book.bold);
        sheet.number(row, kFirstDayColumn, static_cast<double>(h.rooms));
        ++row;
        sheet.number(row, 0, static_cast<double>(hotel), book.bold);
        sheet.text(row, 1, label, book.bold);
        sheet.text(row, 2, "Libere", book.bold);
        for (int d = 0; d < kFigureDays; ++d) {
            const DayFigures& f = h.days[static_cast<std::size_t>(d)];
            sheet.number(row, static_cast<lxw_col_t>(kFirstDayColumn + d),
                         static_cast<double>(h.rooms - f.camCon - f.camOpz));
        }
        row += 2;
    }
}

// A file name beside the target that no one else uses; removed unless it
// becomes the target.
class TempBeside {
public:
    explicit TempBeside(const fs::path& target)
    {
        std::string pattern =
            (target.parent_path() / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            throw DataError(std::string("Impossibile creare il file: ") +
                                utf8ToCp1252(std::strerror(errno)),
                            displayName(target));
        ::close(fd);
        m_path = pattern;
    }
    ~TempBeside()
    {
        if (!m_path.empty()) {
            std::error_code ec;
            fs::remove(m_path, ec);
        }
    }
    TempBeside(const TempBeside&) = delete;
    TempBeside& operator=(const TempBeside&) = delete;

    const fs::path& path() const { return m_path; }
    void renameTo(const fs::path& target)
    {
        // The permissions of any new file, not those of a temporary one.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(m_path.c_str(), 0666 & ~mask);
        std::error_code ec;
        fs::rename(m_path, target, ec);
        if (ec)
            throw DataError("Impossibile sostituire il file (" + utf8ToCp1252(ec.message()) + ")",
                            displayName(target));
        m_path.clear();
    }

private:
    fs::path m_path;
};

} // namespace

std::string workbookFileName(std::string_view stationTag)
{
    return "fd" + std::string(stationTag) + ".xlsx";
}

void writeWorkbook(const ReportFigures& figures, const fs::path& target, std::size_t sheetRows)
{
    sheetRows = std::clamp<std::size_t>(sheetRows, 2, kSheetRows);
    TempBeside temp(target);
    {
        Workbook book(temp.path(), target);
        Utf8Names names(figures);
        writeData(book, figures, names, sheetRows);
        for (const MonthFigures& month : figures.months())
            writeMonth(book, figures, month, names);
        book.close();
    }
    temp.renameTo(target);
}

} // namespace presenze
