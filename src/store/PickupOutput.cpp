#include "store/PickupOutput.h"

#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"

#include <cstdio>
#include <xlsxwriter.h>

namespace presenze {
namespace {

// An amount with two decimals, rounded half away from zero: "-1234.50".
std::string plainAmount(Currency amount)
{
    const std::int64_t units = amount.units;
    const std::int64_t cents = (units >= 0 ? units + 50 : units - 50) / 100;
    const std::int64_t whole = cents / 100;
    const std::int64_t part = cents % 100 < 0 ? -(cents % 100) : cents % 100;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%s%lld.%02lld", cents < 0 && whole == 0 ? "-" : "",
                  static_cast<long long>(whole), static_cast<long long>(part));
    return buffer;
}

// The Italian form for the table: "1.234,50".
std::string italianAmount(Currency amount)
{
    std::string plain = plainAmount(amount);
    const std::size_t point = plain.find('.');
    std::string whole = plain.substr(0, point);
    const std::string cents = plain.substr(point + 1);
    const std::size_t digits0 = whole[0] == '-' ? 1 : 0;
    for (std::size_t at = whole.size(); at > digits0 + 3; at -= 3)
        whole.insert(at - 3, ".");
    return whole + "," + cents;
}

std::string hotelName(const PickupGroup& group, std::int64_t hotel)
{
    for (const auto& [number, name] : group.hotelNames)
        if (number == hotel)
            return name;
    return {};
}

// A field a spreadsheet opens as text: "'" before a leading "=" or "@".
std::string csvField(std::string_view text)
{
    const std::string_view trimmed = trimBlanks(text);
    std::string field = !trimmed.empty() && (trimmed[0] == '=' || trimmed[0] == '@')
                            ? "'" + std::string(text)
                            : std::string(text);
    if (field.find_first_of(",\"") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string padded(std::string text, std::size_t width, bool right)
{
    if (text.size() >= width)
        return text.substr(0, width);
    const std::string fill(width - text.size(), ' ');
    return right ? fill + text : text + fill;
}

} // namespace

std::string pickupTable(const Pickup& pickup)
{
    std::string out;
    for (const PickupGroup& group : pickup.groups) {
        if (!out.empty())
            out += "\n";
        out += "Gruppo \"" + group.group + "\": istantanea del " + group.now.toDisplay() +
               " contro quella del " + group.then.toDisplay() + "\n";
        out += "Hotel                    Notte       Camere  allora Persone  allora       Ricavo"
               "       allora  Nuove Cancellate Confermate\n";
        for (const PickupNight& n : group.nights) {
            out += padded(std::to_string(n.hotel), 3, true) + " " +
                   padded(hotelName(group, n.hotel), 20, false) + " " +
                   Date::fromSerial(n.night).toDisplay() + " " +
                   padded(std::to_string(n.roomsNow), 7, true) + " " +
                   padded(std::to_string(n.roomsThen), 7, true) + " " +
                   padded(std::to_string(n.personsNow), 7, true) + " " +
                   padded(std::to_string(n.personsThen), 7, true) + " " +
                   padded(italianAmount(n.revenueNow), 12, true) + " " +
                   padded(italianAmount(n.revenueThen), 12, true) + " " +
                   padded(std::to_string(n.newRooms), 6, true) + " " +
                   padded(std::to_string(n.lostRooms), 10, true) + " " +
                   padded(std::to_string(n.confirmedRooms), 10, true) + "\n";
        }
    }
    if (!pickup.withoutSnapshots.empty()) {
        out += "\nGruppi senza un'istantanea abbastanza vecchia:";
        for (const std::string& group : pickup.withoutSnapshots)
            out += " \"" + group + "\"";
        out += "\n";
    }
    return out;
}

std::string pickupCsv(const Pickup& pickup)
{
    std::string out = std::string(kPickupCsvHeader) + "\r\n";
    for (const PickupGroup& group : pickup.groups)
        for (const PickupNight& n : group.nights)
            out += csvField(group.group) + "," + std::to_string(n.hotel) + "," +
                   Date::fromSerial(n.night).toDisplay() + "," + std::to_string(n.roomsNow) + "," +
                   std::to_string(n.roomsThen) + "," + std::to_string(n.personsNow) + "," +
                   std::to_string(n.personsThen) + "," + plainAmount(n.revenueNow) + "," +
                   plainAmount(n.revenueThen) + "," + std::to_string(n.newRooms) + "," +
                   std::to_string(n.lostRooms) + "," + std::to_string(n.confirmedRooms) + "\r\n";
    return out;
}

void writePickupCsv(const Pickup& pickup, const std::filesystem::path& target)
{
    writeFileAtomically(target, pickupCsv(pickup));
}

namespace {

class PickupBook {
public:
    PickupBook(const std::filesystem::path& file, const std::filesystem::path& shownAs)
        : m_shownAs(shownAs)
    {
        m_book = workbook_new(file.c_str());
        if (!m_book)
            fail("Impossibile creare la cartella di lavoro");
        m_bold = workbook_add_format(m_book);
        format_set_bold(m_bold);
        m_date = workbook_add_format(m_book);
        format_set_num_format(m_date, "dd/mm/yyyy");
        m_money = workbook_add_format(m_book);
        format_set_num_format(m_money, "#,##0.00");
        m_sheet = workbook_add_worksheet(m_book, "Pickup");
        if (!m_sheet)
            fail("Impossibile aggiungere il foglio Pickup");
    }
    ~PickupBook()
    {
        if (m_book)
            lxw_workbook_free(m_book);
    }
    PickupBook(const PickupBook&) = delete;
    PickupBook& operator=(const PickupBook&) = delete;

    void write(const Pickup& pickup)
    {
        const std::string header = kPickupCsvHeader;
        lxw_col_t col = 0;
        for (std::size_t start = 0; start <= header.size(); ++col) {
            const std::size_t comma = std::min(header.find(',', start), header.size());
            check(worksheet_write_string(m_sheet, 0, col,
                                         header.substr(start, comma - start).c_str(), m_bold));
            start = comma + 1;
        }
        lxw_row_t row = 1;
        for (const PickupGroup& group : pickup.groups) {
            const std::string name = cp1252ToUtf8(group.group);
            for (const PickupNight& n : group.nights)
                writeRow(row++, name, n);
        }
    }

    void close()
    {
        lxw_workbook* book = m_book;
        m_book = nullptr;
        check(workbook_close(book));
    }

private:
    void writeRow(lxw_row_t row, const std::string& group, const PickupNight& n)
    {
        check(worksheet_write_string(m_sheet, row, 0, group.c_str(), nullptr));
        number(row, 1, static_cast<double>(n.hotel));
        const Date night = Date::fromSerial(n.night);
        lxw_datetime when{night.year, night.month, night.day, 0, 0, 0};
        check(worksheet_write_datetime(m_sheet, row, 2, &when, m_date));
        const std::int64_t counts[] = {n.roomsNow, n.roomsThen, n.personsNow, n.personsThen};
        for (lxw_col_t c = 0; c < 4; ++c)
            number(row, 3 + c, static_cast<double>(counts[c]));
        number(row, 7, n.revenueNow.toDouble(), m_money);
        number(row, 8, n.revenueThen.toDouble(), m_money);
        number(row, 9, static_cast<double>(n.newRooms));
        number(row, 10, static_cast<double>(n.lostRooms));
        number(row, 11, static_cast<double>(n.confirmedRooms));
    }
    void number(lxw_row_t row, lxw_col_t col, double value, lxw_format* format = nullptr)
    {
        check(worksheet_write_number(m_sheet, row, col, value, format));
    }
    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            fail(lxw_strerror(error));
    }
    [[noreturn]] void fail(const std::string& what) const
    {
        throw DataError("Errore nella scrittura della cartella di lavoro: " + utf8ToCp1252(what),
                        displayName(m_shownAs));
    }

    std::filesystem::path m_shownAs;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_bold = nullptr;
    lxw_format* m_date = nullptr;
    lxw_format* m_money = nullptr;
};

} // namespace

void writePickupWorkbook(const Pickup& pickup, const std::filesystem::path& target)
{
    AtomicFile file(target);
    {
        PickupBook book(file.path(), target);
        book.write(pickup);
        book.close();
    }
    file.commit();
}

} // namespace presenze
