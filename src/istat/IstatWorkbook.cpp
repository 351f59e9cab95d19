#include "istat/IstatWorkbook.h"

#include "common/KV7Routine.h"
#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"
#include "tally/Saturating.h"

#include <xlsxwriter.h>

namespace presenze {
namespace fs = std::filesystem;
namespace {

// Days from 30/12/1899, Excel's day 0, to 01/01/1970.
constexpr long kExcelEpoch = 25569;
constexpr lxw_row_t kHeadingRow = 2; // the group headings, then the column headings
constexpr lxw_row_t kFirstDayRow = 4;
constexpr std::uint8_t kPaperA4 = 9;

// A Windows-1252 text as a cell takes it (UTF-8, well inside Excel's limit).
std::string cellText(std::string_view text)
{
    return cp1252ToUtf8(text.substr(0, 10000));
}

// The workbook being written, with its formats; every failure of the
// library becomes a DataError naming the file.
class Book {
public:
    Book(const fs::path& file, const fs::path& shownAs) : m_shownAs(shownAs)
    {
        m_book = workbook_new(file.c_str());
        if (!m_book)
            fail("Impossibile creare la cartella di lavoro");
        bold = workbook_add_format(m_book);
        format_set_bold(bold);
        group = workbook_add_format(m_book);
        format_set_bold(group);
        format_set_align(group, LXW_ALIGN_CENTER);
        format_set_border(group, LXW_BORDER_THIN);
        heading = workbook_add_format(m_book);
        format_set_bold(heading);
        format_set_text_wrap(heading);
        format_set_align(heading, LXW_ALIGN_CENTER);
        format_set_border(heading, LXW_BORDER_THIN);
        date = workbook_add_format(m_book);
        format_set_num_format(date, "dd/mm/yyyy");
        boldNumber = workbook_add_format(m_book);
        format_set_bold(boldNumber);
    }
    ~Book()
    {
        if (m_book)
            lxw_workbook_free(m_book);
    }
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

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
    lxw_format* group = nullptr;
    lxw_format* heading = nullptr;
    lxw_format* date = nullptr;
    lxw_format* boldNumber = nullptr;

private:
    lxw_workbook* m_book = nullptr;
    fs::path m_shownAs;
};

// One hotel's sheet.
class HotelSheet {
public:
    HotelSheet(Book& book, const MonthMovement& month, const HotelMovement& hotel)
        : m_book(book), m_month(month), m_hotel(hotel),
          m_sheet(book.addSheet(movementSheetName(hotel)))
    {}

    void write()
    {
        const std::string title =
            "Movimento clienti - " +
            std::string(trimBlanks(MonthNames[static_cast<std::size_t>(m_month.first.month)])) +
            " " + std::to_string(m_month.first.year) + " - " + m_hotel.caption();
        text(0, 0, title, m_book.bold);
        headings();
        days();
        const lxw_row_t end = summary(kFirstDayRow + static_cast<lxw_row_t>(m_month.days) + 2);
        excluded(end + 1);
        printSetup();
    }

private:
    static constexpr lxw_col_t kTotalColumns = 5;
    static constexpr lxw_col_t kNationColumns = 4;

    lxw_col_t nationColumn(std::size_t n) const
    {
        return static_cast<lxw_col_t>(1 + kTotalColumns + n * kNationColumns);
    }
    lxw_col_t lastColumn() const { return nationColumn(m_hotel.nationalities.size()) - 1; }

    void text(lxw_row_t row, lxw_col_t col, std::string_view value, lxw_format* f = nullptr)
    {
        if (!value.empty())
            m_book.check(worksheet_write_string(m_sheet, row, col, cellText(value).c_str(), f));
    }
    void number(lxw_row_t row, lxw_col_t col, std::int64_t value, lxw_format* f = nullptr)
    {
        m_book.check(worksheet_write_number(m_sheet, row, col, static_cast<double>(value), f));
    }
    void group(lxw_col_t first, lxw_col_t last, std::string_view caption)
    {
        m_book.check(worksheet_merge_range(m_sheet, kHeadingRow, first, kHeadingRow, last,
                                           cellText(caption).c_str(), m_book.group));
    }

    void headings()
    {
        static const char* const guests[] = {"Presenti notte precedente", "Arrivi", "Partenze",
                                             "Presenti"};
        m_book.check(worksheet_merge_range(m_sheet, kHeadingRow, 0, kHeadingRow + 1, 0, "Giorno",
                                           m_book.heading));
        group(1, kTotalColumns, "Totale");
        for (lxw_col_t c = 0; c < 4; ++c)
            text(kHeadingRow + 1, 1 + c, guests[c], m_book.heading);
        text(kHeadingRow + 1, kTotalColumns, "Camere occupate", m_book.heading);
        for (std::size_t n = 0; n < m_hotel.nationalities.size(); ++n) {
            const lxw_col_t first = nationColumn(n);
            group(first, first + kNationColumns - 1,
                  nationalityCaption(m_hotel.nationalities[n].nazione));
            for (lxw_col_t c = 0; c < kNationColumns; ++c)
                text(kHeadingRow + 1, first + c, guests[c], m_book.heading);
        }
        worksheet_set_row(m_sheet, kHeadingRow + 1, 45, nullptr);
        worksheet_set_column(m_sheet, 0, 0, 12, nullptr);
        worksheet_set_column(m_sheet, 1, lastColumn(), 10, nullptr);
        worksheet_freeze_panes(m_sheet, kFirstDayRow, 1);
    }

    void guests(lxw_row_t row, lxw_col_t first, const GuestDay& d)
    {
        number(row, first, d.presentiNottePrecedente);
        number(row, first + 1, d.arrivi);
        number(row, first + 2, d.partenze);
        number(row, first + 3, d.presenti);
    }

    void days()
    {
        const long firstSerial = m_month.first.toSerial() + kExcelEpoch;
        for (int d = 0; d < m_month.days; ++d) {
            const lxw_row_t row = kFirstDayRow + static_cast<lxw_row_t>(d);
            const auto i = static_cast<std::size_t>(d);
            m_book.check(worksheet_write_number(m_sheet, row, 0,
                                                static_cast<double>(firstSerial + d), m_book.date));
            guests(row, 1, m_hotel.totals[i]);
            number(row, kTotalColumns, m_hotel.camereOccupate[i]);
            for (std::size_t n = 0; n < m_hotel.nationalities.size(); ++n)
                guests(row, nationColumn(n), m_hotel.nationalities[n].days[i]);
        }
        // The month: arrivals, departures, presences and room-nights.
        const lxw_row_t row = kFirstDayRow + static_cast<lxw_row_t>(m_month.days);
        text(row, 0, "Mese", m_book.bold);
        const auto sums = [&](lxw_col_t first, const std::vector<GuestDay>& days) {
            std::int64_t arrivals = 0, departures = 0, presences = 0;
            for (const GuestDay& d : days) {
                addSaturating(arrivals, d.arrivi);
                addSaturating(departures, d.partenze);
                addSaturating(presences, d.presenti);
            }
            number(row, first + 1, arrivals, m_book.boldNumber);
            number(row, first + 2, departures, m_book.boldNumber);
            number(row, first + 3, presences, m_book.boldNumber);
        };
        sums(1, m_hotel.totals);
        std::int64_t roomNights = 0;
        for (const std::int64_t r : m_hotel.camereOccupate)
            addSaturating(roomNights, r);
        number(row, kTotalColumns, roomNights, m_book.boldNumber);
        for (std::size_t n = 0; n < m_hotel.nationalities.size(); ++n)
            sums(nationColumn(n), m_hotel.nationalities[n].days);
    }

    // The month summary from `row`; returns the row after it.
    lxw_row_t summary(lxw_row_t row)
    {
        text(row++, 0, "Riepilogo del mese", m_book.bold);
        const auto figure = [&](const char* label, std::optional<std::int64_t> value) {
            text(row, 0, label);
            if (value)
                number(row, 3, *value);
            ++row;
        };
        figure("Camere disponibili (al giorno)", m_hotel.rooms);
        figure("Letti disponibili (al giorno)", m_hotel.beds);
        if (!m_hotel.beds)
            text(row++, 0,
                 m_month.bedsFile ? "LettiHotel.txt non ha una riga per questo hotel: indicare "
                                    "i letti con \"Letti per hotel\"."
                                  : "Manca LettiHotel.txt nella cartella dei dati: indicare i "
                                    "letti con \"Letti per hotel\".");
        figure("Giorni di apertura", m_hotel.daysOpen);
        figure("Giornate letto (letti x giorni)", m_hotel.bedDays());
        ++row;
        text(row, 0, "Nazione", m_book.bold);
        text(row, 1, "Arrivi", m_book.bold);
        text(row++, 2, "Presenze", m_book.bold);
        std::int64_t arrivals = 0, presences = 0;
        for (const NationalityMovement& n : m_hotel.nationalities) {
            text(row, 0, nationalityCaption(n.nazione));
            number(row, 1, n.arrivals());
            number(row++, 2, n.presences());
            addSaturating(arrivals, n.arrivals());
            addSaturating(presences, n.presences());
        }
        text(row, 0, "Totale", m_book.bold);
        number(row, 1, arrivals, m_book.boldNumber);
        number(row++, 2, presences, m_book.boldNumber);
        return row;
    }

    void excluded(lxw_row_t row)
    {
        const char* check = "presenti notte precedente + arrivi - partenze = presenti";
        if (m_hotel.excluded.empty()) {
            text(row, 0, std::string("Controllo (") + check + "): nessuna differenza.");
            return;
        }
        text(row++, 0, std::string("Differenze (") + check + "): righe escluse dai conteggi",
             m_book.bold);
        static const char* const columns[] = {"Giorno", "Nazione",  "Prenotazione", "Persone",
                                              "Arrivo", "Partenza", "Motivo"};
        for (lxw_col_t c = 0; c < 7; ++c)
            text(row, c, columns[c], m_book.bold);
        ++row;
        for (const ExcludedLine& e : m_hotel.excluded) {
            if (e.day)
                m_book.check(worksheet_write_number(
                    m_sheet, row, 0, static_cast<double>(e.day->toSerial() + kExcelEpoch),
                    m_book.date));
            text(row, 1, nationalityCaption(e.nazione));
            number(row, 2, e.booking);
            number(row, 3, e.persons);
            date(row, 4, e.arrival);
            date(row, 5, e.departure);
            text(row++, 6, faultText(e));
        }
    }

    // A date of the file: a real day as a date, anything else as its text.
    void date(lxw_row_t row, lxw_col_t col, const std::string& key)
    {
        if (const auto day = Date::parseKey(key))
            m_book.check(worksheet_write_number(m_sheet, row, col,
                                                static_cast<double>(day->toSerial() + kExcelEpoch),
                                                m_book.date));
        else if (!key.empty())
            text(row, col, key);
    }

    void printSetup()
    {
        worksheet_set_landscape(m_sheet);
        worksheet_set_paper(m_sheet, kPaperA4);
        worksheet_fit_to_pages(m_sheet, 1, 0);
        m_book.check(worksheet_repeat_rows(m_sheet, kHeadingRow, kHeadingRow + 1));
        worksheet_set_margins(m_sheet, 0.4, 0.4, 0.6, 0.6);
        m_book.check(worksheet_set_footer(m_sheet, "&LMovimento clienti&RPagina &P di &N"));
    }

    Book& m_book;
    const MonthMovement& m_month;
    const HotelMovement& m_hotel;
    lxw_worksheet* m_sheet;
};

} // namespace

std::string movementSheetName(const HotelMovement& hotel)
{
    const std::string_view registered = trimBlanks(hotel.name);
    std::string name = registered.empty()
                           ? hotel.caption()
                           : std::to_string(hotel.hotel) + " " + std::string(registered);
    for (char& c : name)
        if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    // 31 characters, each one UTF-16 unit in Excel's count; an apostrophe
    // may not end it (it begins with a digit or "Hotel").
    name = std::string(trimBlanks(name.substr(0, 31)));
    while (!name.empty() && (name.back() == '\'' || name.back() == ' '))
        name.pop_back();
    return cp1252ToUtf8(name);
}

void writeMovementWorkbook(const MonthMovement& month, const fs::path& target)
{
    AtomicFile file(target);
    {
        Book book(file.path(), target);
        for (const HotelMovement& hotel : month.hotels)
            HotelSheet(book, month, hotel).write();
        if (month.hotels.empty())
            book.addSheet("Movimento clienti");
        book.close();
    }
    file.commit();
}

} // namespace presenze
