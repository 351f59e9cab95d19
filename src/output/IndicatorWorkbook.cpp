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

// The cells of one sheet, row after row.
class Cells {
public:
    Cells(Book& book, lxw_worksheet* sheet) : m_book(book), m_sheet(sheet) {}

    void text(lxw_col_t col, const std::string& cp1252, lxw_format* f = nullptr)
    {
        if (!cp1252.empty())
            m_book.check(
                worksheet_write_string(m_sheet, m_row, col, cp1252ToUtf8(cp1252).c_str(), f));
    }
    void number(lxw_col_t col, double value, lxw_format* f = nullptr)
    {
        m_book.check(worksheet_write_number(m_sheet, m_row, col, value, f));
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

private:
    Book& m_book;
    lxw_worksheet* m_sheet;
    lxw_row_t m_row = 0;
};

template <typename Columns>
void heading(Cells& cells, const char* third, bool compare, const Columns& columns)
{
    cells.text(0, "Hotel", nullptr);
    cells.text(1, "Nome", nullptr);
    cells.text(2, third, nullptr);
    lxw_col_t col = kFirstFigure;
    for (int year = 0; year < (compare ? 2 : 1); ++year)
        for (const auto& c : columns)
            cells.text(col++, std::string(c.name) + (year == 1 ? "AP" : ""), nullptr);
    cells.next();
}

void hotelCells(Cells& cells, std::int64_t hotel, const std::string& name)
{
    if (hotel > 0)
        cells.number(0, static_cast<double>(hotel));
    else
        cells.text(0, "Totale");
    cells.text(1, name);
}

void periodRow(Cells& cells, std::int64_t hotel, const std::string& name, const std::string& month,
               const IndicatorLine& line, const Indicators& kpi)
{
    hotelCells(cells, hotel, name);
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

// Where the group's months lie in "Indicatori", for the charts.
struct GroupRows {
    lxw_row_t first = 0;
    lxw_row_t last = 0;
};

GroupRows writeMonths(Book& book, const Indicators& kpi)
{
    Cells cells(book, book.sheet(kSheet));
    heading(cells, "Mese", kpi.compare, periodColumns());
    worksheet_freeze_panes(cells.sheet(), 1, kFirstFigure);
    worksheet_set_column(cells.sheet(), 0, 0, 7, nullptr);
    worksheet_set_column(cells.sheet(), 1, 1, 30, nullptr);
    worksheet_set_column(cells.sheet(), 2, 2, 9, nullptr);
    worksheet_set_column(cells.sheet(), kFirstFigure, kFirstFigure + 2 * 11 - 1, 14, nullptr);
    for (const HotelIndicators& h : kpi.hotels) {
        for (std::size_t m = 0; m < kpi.months.size(); ++m)
            periodRow(cells, h.hotel, h.name, monthKey(kpi.months[m]), h.months[m], kpi);
        periodRow(cells, h.hotel, h.name, "Totale", h.total, kpi);
    }
    GroupRows group{cells.row(), cells.row()};
    for (std::size_t m = 0; m < kpi.months.size(); ++m)
        periodRow(cells, 0, "Gruppo", monthKey(kpi.months[m]), kpi.groupMonths[m], kpi);
    group.last = cells.row() - 1;
    periodRow(cells, 0, "Gruppo", "Totale", kpi.groupTotal, kpi);
    book.check(worksheet_autofilter(cells.sheet(), 0, 0, cells.row() - 1,
                                    kFirstFigure + (kpi.compare ? 22 : 11) - 1));
    return group;
}

void companyRow(Cells& cells, const HotelIndicators* h, const std::string& name,
                const KindFigures& current, const KindFigures& hotelCurrent,
                const KindFigures* lastYear, const KindFigures* hotelLastYear)
{
    hotelCells(cells, h ? h->hotel : 0, h ? h->name : "Gruppo");
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
    Cells cells(book, book.sheet("Ditte"));
    heading(cells, "Ditta", kpi.compare, companyColumns());
    worksheet_freeze_panes(cells.sheet(), 1, kFirstFigure);
    worksheet_set_column(cells.sheet(), 0, 0, 7, nullptr);
    worksheet_set_column(cells.sheet(), 1, 2, 30, nullptr);
    worksheet_set_column(cells.sheet(), kFirstFigure, kFirstFigure + 2 * 5 - 1, 14, nullptr);
    const auto lastOf = [&](const IndicatorLine& line) {
        const PeriodFigures* f = line.comparable();
        return f ? std::optional<KindFigures>(f->counted(kpi.kind)) : std::nullopt;
    };
    for (const HotelIndicators& h : kpi.hotels) {
        const KindFigures total = h.total.current.counted(kpi.kind);
        const auto last = lastOf(h.total);
        const KindFigures* hotelLast = last ? &*last : nullptr;
        for (const CompanyIndicators& c : h.companies)
            companyRow(cells, &h, c.name, c.current, total, c.lastYear ? &*c.lastYear : nullptr,
                       hotelLast);
        companyRow(cells, &h, "Totale", total, total, hotelLast, hotelLast);
    }
    const KindFigures total = kpi.groupTotal.current.counted(kpi.kind);
    const auto last = lastOf(kpi.groupTotal);
    companyRow(cells, nullptr, "Totale", total, total, last ? &*last : nullptr,
               last ? &*last : nullptr);
}

// One series of a chart from a column of the group's months.
void series(lxw_chart* chart, const GroupRows& rows, lxw_col_t column, const char* name,
            bool lastYear)
{
    lxw_chart_series* s = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(s, kSheet, rows.first, 2, rows.last, 2);
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
    const auto col = static_cast<lxw_col_t>(kFirstFigure + column);
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
    lxw_chart* occupancy = monthChart(book, kpi, rows, columnNamed("Occupazione"),
                                      "Occupazione del gruppo per mese", "0%");
    lxw_chart* adr =
        monthChart(book, kpi, rows, columnNamed("ADR"), "ADR del gruppo per mese (euro)", "#,##0");
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
