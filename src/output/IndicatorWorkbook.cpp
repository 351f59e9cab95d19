#include "output/IndicatorWorkbook.h"

#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"
#include "indicators/IndicatorColumns.h"
#include "output/IndicatorCsv.h"

#include <cstdio>
#include <xlsxwriter.h>

namespace presenze {
namespace fs = std::filesystem;
namespace {

constexpr const char* kSheet = "Indicatori";
constexpr lxw_col_t kFirstFigure = 3; // after Hotel, Nome, Mese (or Ditta)

std::string monthKey(const Date& month)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d", month.year, month.month);
    return text;
}

// The workbook and its formats; a failure of the library becomes a
// DataError naming the file.
class Book {
public:
    Book(const fs::path& file, const fs::path& shownAs) : m_shownAs(shownAs)
    {
        m_book = workbook_new(file.c_str());
        if (!m_book)
            fail("Impossibile creare la cartella di lavoro");
        bold = format("General", true);
        count = format("#,##0", false);
        percent = format("0.0%", false);
        money = format("#,##0.00 [$\xE2\x82\xAC-410];-#,##0.00 [$\xE2\x82\xAC-410]", false);
        number = format("0.00", false);
    }
    ~Book()
    {
        if (m_book)
            lxw_workbook_free(m_book);
    }
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

    lxw_worksheet* sheet(const char* name)
    {
        lxw_worksheet* s = workbook_add_worksheet(m_book, name);
        if (!s)
            fail(std::string("Impossibile aggiungere il foglio ") + name);
        return s;
    }
    lxw_chart* chart(std::uint8_t type)
    {
        lxw_chart* c = workbook_add_chart(m_book, type);
        if (!c)
            fail("Impossibile aggiungere il grafico");
        return c;
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
    lxw_format* formatOf(ColumnUnit unit) const
    {
        switch (unit) {
        case ColumnUnit::Count:
            return count;
        case ColumnUnit::Fraction:
            return percent;
        case ColumnUnit::Euro:
            return money;
        case ColumnUnit::Number:
            return number;
        }
        return nullptr;
    }

    lxw_format* bold = nullptr;
    lxw_format* count = nullptr;
    lxw_format* percent = nullptr;
    lxw_format* money = nullptr;
    lxw_format* number = nullptr;

private:
    lxw_format* format(const char* numbers, bool isBold)
    {
        lxw_format* f = workbook_add_format(m_book);
        format_set_num_format(f, numbers);
        if (isBold)
            format_set_bold(f);
        return f;
    }
    [[noreturn]] void fail(const std::string& what) const
    {
        throw DataError("Errore nella scrittura della cartella di lavoro: " + utf8ToCp1252(what),
                        displayName(m_shownAs));
    }

    lxw_workbook* m_book = nullptr;
    fs::path m_shownAs;
};

// The columns of a chain's sheets begin with the group's: every other
// column lies one further.
lxw_col_t shiftOf(const Indicators& kpi)
{
    return kpi.isChain() ? 1 : 0;
}

// The cells of one sheet, row after row; columns are counted after the
// group's, which only a chain's sheets have.
class Cells {
public:
    Cells(Book& book, lxw_worksheet* sheet, lxw_col_t shift)
        : m_book(book), m_sheet(sheet), m_shift(shift)
    {}

    void text(lxw_col_t col, const std::string& cp1252, lxw_format* f = nullptr)
    {
        write(col + m_shift, cp1252, f);
    }
    // The group's column of a chain's sheet.
    void group(const std::string& cp1252)
    {
        if (m_shift > 0)
            write(0, cp1252, nullptr);
    }
    void number(lxw_col_t col, double value, lxw_format* f = nullptr)
    {
        m_book.check(worksheet_write_number(m_sheet, m_row, col + m_shift, value, f));
    }
    // A value as the CSV rounds it; no cell without a value.
    void value(lxw_col_t col, const Ratio& ratio, ColumnUnit unit, int decimals)
    {
        if (const auto scaled = ratio.scaled(decimals)) {
            double v = static_cast<double>(*scaled);
            for (int i = 0; i < decimals; ++i)
                v /= 10;
            number(col, v, m_book.formatOf(unit));
        }
    }
    void next() { ++m_row; }
    lxw_row_t row() const { return m_row; }
    lxw_worksheet* sheet() const { return m_sheet; }
    lxw_col_t shift() const { return m_shift; }
    // The width of columns first to last.
    void width(lxw_col_t first, lxw_col_t last, double characters)
    {
        worksheet_set_column(m_sheet, first + m_shift, last + m_shift, characters, nullptr);
    }

private:
    void write(lxw_col_t col, const std::string& cp1252, lxw_format* f)
    {
        if (!cp1252.empty())
            m_book.check(
                worksheet_write_string(m_sheet, m_row, col, cp1252ToUtf8(cp1252).c_str(), f));
    }

    Book& m_book;
    lxw_worksheet* m_sheet;
    lxw_col_t m_shift;
    lxw_row_t m_row = 0;
};

template <typename Columns>
void heading(Cells& cells, const char* third, bool compare, const Columns& columns)
{
    cells.group("Gruppo");
    cells.text(0, "Hotel", nullptr);
    cells.text(1, "Nome", nullptr);
    cells.text(2, third, nullptr);
    lxw_col_t col = kFirstFigure;
    for (int year = 0; year < (compare ? 2 : 1); ++year)
        for (const auto& c : columns)
            cells.text(col++, std::string(c.name) + (year == 1 ? "AP" : ""), nullptr);
    cells.next();
}

void hotelCells(Cells& cells, const std::string& group, std::int64_t hotel, const std::string& name)
{
    cells.group(group);
    if (hotel > 0)
        cells.number(0, static_cast<double>(hotel));
    else
        cells.text(0, "Totale");
    cells.text(1, name);
}

void periodRow(Cells& cells, const std::string& group, std::int64_t hotel, const std::string& name,
               const std::string& month, const IndicatorLine& line, const Indicators& kpi)
{
    hotelCells(cells, group, hotel, name);
    cells.text(2, month);
    const auto& columns = periodColumns();
    lxw_col_t col = kFirstFigure;
    for (const PeriodColumn& c : columns)
        cells.value(col++, c.value(line.current, kpi.kind), c.unit, c.decimals);
    if (const PeriodFigures* last = line.comparable())
        for (const PeriodColumn& c : columns)
            cells.value(col++, c.value(*last, kpi.kind), c.unit, c.decimals);
    cells.next();
}

// Where the group's (the chain's) months lie in "Indicatori", for the
// charts, and how far the columns lie from their place.
struct GroupRows {
    lxw_row_t first = 0;
    lxw_row_t last = 0;
    lxw_col_t shift = 0;
};

// The caption of the last rows: the group's, or the chain's.
std::string lastName(const Indicators& kpi)
{
    return kpi.isChain() ? "Catena" : "Gruppo";
}

void sheetColumns(Cells& cells, double thirdWidth, std::size_t figures)
{
    if (cells.shift() > 0)
        worksheet_set_column(cells.sheet(), 0, 0, 20, nullptr);
    worksheet_freeze_panes(cells.sheet(), 1, kFirstFigure + cells.shift());
    cells.width(0, 0, 7);
    cells.width(1, 1, 30);
    cells.width(2, 2, thirdWidth);
    cells.width(kFirstFigure, static_cast<lxw_col_t>(kFirstFigure + 2 * figures - 1), 14);
}

GroupRows writeMonths(Book& book, const Indicators& kpi)
{
    Cells cells(book, book.sheet(kSheet), shiftOf(kpi));
    heading(cells, "Mese", kpi.compare, periodColumns());
    sheetColumns(cells, 9, periodColumns().size());
    const auto rows = [&](const std::string& group, std::int64_t hotel, const std::string& name,
                          const std::vector<IndicatorLine>& months, const IndicatorLine& total) {
        for (std::size_t m = 0; m < kpi.months.size(); ++m)
            periodRow(cells, group, hotel, name, monthKey(kpi.months[m]), months[m], kpi);
        periodRow(cells, group, hotel, name, "Totale", total, kpi);
    };
    forEachHotel(
        kpi, [&](const HotelIndicators& h) { rows(h.group, h.hotel, h.name, h.months, h.total); },
        [&](const GroupIndicators& g) { rows(g.name, 0, "Gruppo", g.months, g.total); });
    GroupRows group{cells.row(), cells.row(), cells.shift()};
    rows("", 0, lastName(kpi), kpi.groupMonths, kpi.groupTotal);
    group.last = group.first + static_cast<lxw_row_t>(kpi.months.size()) - 1;
    book.check(worksheet_autofilter(cells.sheet(), 0, 0, cells.row() - 1,
                                    cells.shift() + kFirstFigure + (kpi.compare ? 22 : 11) - 1));
    return group;
}

// A company's row in its hotel (or a total: of a hotel, a group, the chain).
struct CompanyPlace {
    std::string group;
    std::int64_t hotel = 0; // 0: a group's or the chain's
    std::string name;       // the hotel's, "Gruppo" or "Catena"
};

void companyRow(Cells& cells, const CompanyPlace& place, const std::string& name,
                const KindFigures& current, const KindFigures& hotelCurrent,
                const KindFigures* lastYear, const KindFigures* hotelLastYear)
{
    hotelCells(cells, place.group, place.hotel, place.name);
    cells.text(2, name);
    lxw_col_t col = kFirstFigure;
    for (const CompanyColumn& c : companyColumns())
        cells.value(col++, c.value(current, hotelCurrent), c.unit, c.decimals);
    if (lastYear && hotelLastYear)
        for (const CompanyColumn& c : companyColumns())
            cells.value(col++, c.value(*lastYear, *hotelLastYear), c.unit, c.decimals);
    cells.next();
}

void writeCompanies(Book& book, const Indicators& kpi)
{
    Cells cells(book, book.sheet("Ditte"), shiftOf(kpi));
    heading(cells, "Ditta", kpi.compare, companyColumns());
    sheetColumns(cells, 30, companyColumns().size());
    const auto lastOf = [&](const IndicatorLine& line) {
        const PeriodFigures* f = line.comparable();
        return f ? std::optional<KindFigures>(f->counted(kpi.kind)) : std::nullopt;
    };
    const auto totalRow = [&](const CompanyPlace& place, const IndicatorLine& line) {
        const KindFigures total = line.current.counted(kpi.kind);
        const auto last = lastOf(line);
        companyRow(cells, place, "Totale", total, total, last ? &*last : nullptr,
                   last ? &*last : nullptr);
    };
    const auto hotelRows = [&](const HotelIndicators& h) {
        const CompanyPlace place{h.group, h.hotel, h.name};
        const KindFigures total = h.total.current.counted(kpi.kind);
        const auto last = lastOf(h.total);
        const KindFigures* hotelLast = last ? &*last : nullptr;
        for (const CompanyIndicators& c : h.companies)
            companyRow(cells, place, c.name, c.current, total, c.lastYear ? &*c.lastYear : nullptr,
                       hotelLast);
        totalRow(place, h.total);
    };
    forEachHotel(kpi, hotelRows, [&](const GroupIndicators& g) {
        totalRow({g.name, 0, "Gruppo"}, g.total);
    });
    totalRow({"", 0, lastName(kpi)}, kpi.groupTotal);
}

// One series of a chart from a column of the group's months.
void series(lxw_chart* chart, const GroupRows& rows, lxw_col_t column, const char* name,
            bool lastYear)
{
    lxw_chart_series* s = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(s, kSheet, rows.first, 2 + rows.shift, rows.last, 2 + rows.shift);
    chart_series_set_values(s, kSheet, rows.first, column, rows.last, column);
    chart_series_set_name(s, name);
    // Dark for the period, light and hatched for last year: apart in grey
    // print too.
    lxw_chart_line border{};
    border.color = LXW_COLOR_BLACK;
    if (lastYear) {
        lxw_chart_pattern pattern{};
        pattern.type = LXW_CHART_PATTERN_WIDE_UPWARD_DIAGONAL;
        pattern.fg_color = 0x808080;
        pattern.bg_color = LXW_COLOR_WHITE;
        chart_series_set_pattern(s, &pattern);
    } else {
        lxw_chart_fill fill{};
        fill.color = 0x404040;
        chart_series_set_fill(s, &fill);
    }
    chart_series_set_line(s, &border);
}

lxw_chart* monthChart(Book& book, const Indicators& kpi, const GroupRows& rows, std::size_t column,
                      const char* title, const char* axisFormat)
{
    lxw_chart* chart = book.chart(LXW_CHART_COLUMN);
    chart_title_set_name(chart, title);
    const auto col = static_cast<lxw_col_t>(rows.shift + kFirstFigure + column);
    series(chart, rows, col, "Periodo", false);
    if (kpi.compare)
        series(chart, rows, static_cast<lxw_col_t>(col + periodColumns().size()), "Anno precedente",
               true);
    chart_axis_set_num_format(chart->y_axis, axisFormat);
    chart_axis_set_min(chart->y_axis, 0);
    chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
    return chart;
}

std::size_t columnNamed(std::string_view name)
{
    const auto& columns = periodColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name)
            return i;
    return 0;
}

void writeCharts(Book& book, const Indicators& kpi, const GroupRows& rows)
{
    lxw_worksheet* sheet = book.sheet("Grafico");
    const bool chain = kpi.isChain();
    lxw_chart* occupancy = monthChart(
        book, kpi, rows, columnNamed("Occupazione"),
        chain ? "Occupazione della catena per mese" : "Occupazione del gruppo per mese", "0%");
    lxw_chart* adr = monthChart(
        book, kpi, rows, columnNamed("ADR"),
        chain ? "ADR della catena per mese (euro)" : "ADR del gruppo per mese (euro)", "#,##0");
    lxw_chart_options placed{};
    placed.x_scale = 2;
    placed.y_scale = 1.5;
    book.check(worksheet_insert_chart_opt(sheet, 1, 1, occupancy, &placed));
    book.check(worksheet_insert_chart_opt(sheet, 25, 1, adr, &placed));
}

} // namespace

void writeIndicatorWorkbook(const Indicators& indicators, const fs::path& target)
{
    AtomicFile file(target);
    {
        Book book(file.path(), target);
        const GroupRows rows = writeMonths(book, indicators);
        if (indicators.byCompany)
            writeCompanies(book, indicators);
        writeCharts(book, indicators, rows);
        book.close();
    }
    file.commit();
}

} // namespace presenze
