#include "store/SentRows.h"

#include "data/Text1252.h"
#include "store/StoreError.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace presenze {
namespace {

// A piece of text holds this many bytes of rows, or one longer row.
constexpr std::size_t kPiece = std::size_t{1} << 20;

} // namespace

void SentRows::add(std::string_view row)
{
    std::int64_t place = 0;
    const std::size_t tab = std::min(row.find('\t'), row.size());
    const auto [end, ec] = std::from_chars(row.data(), row.data() + tab, place);
    if (ec != std::errc() || end != row.data() + tab ||
        row.size() > std::numeric_limits<std::uint32_t>::max())
        throw StoreError("valore inatteso dal server: \"" + utf8ToCp1252(row.substr(0, 40)) + "\"");
    if (m_pieces.empty() || m_pieces.back().capacity() - m_pieces.back().size() < row.size()) {
        m_pieces.emplace_back();
        m_pieces.back().reserve(std::max(kPiece, row.size()));
    }
    std::string& piece = m_pieces.back();
    Row& kept = m_rows.add();
    kept.place = place;
    kept.piece = static_cast<std::uint32_t>(m_pieces.size() - 1);
    kept.offset = static_cast<std::uint32_t>(piece.size());
    kept.size = static_cast<std::uint32_t>(row.size());
    piece.append(row);
    ++m_count;
}

void SentRows::take(const std::function<void(std::string_view row)>& visit)
{
    const std::vector<Row> rows = m_rows.take([](const Row& r) { return r.place; });
    for (const Row& r : rows)
        visit(std::string_view(m_pieces[r.piece]).substr(r.offset, r.size));
    m_pieces.clear();
    m_count = 0;
}

} // namespace presenze
