#pragma once
// The rows of a COPY ... TO STDOUT kept as the server sent them, side by side
// in large pieces of text, each with its place in the file (its first field,
// `riga`), and handed over in file order: a reader decodes each row only
// then, into one record it reuses. A row held takes the bytes of its text,
// not those of a record and its strings, and no record is made twice.
//
//   SentRows rows;
//   connection.copyOut(sql, [&](std::string_view text) { rows.add(text); });
//   rows.take([&](std::string_view text) { reader.read(text); ... });

#include "store/FileOrderRows.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

class SentRows {
public:
    // Keeps the row (without its line end). Raises StoreError when its first
    // field is not a place.
    void add(std::string_view row);

    std::size_t size() const { return m_count; }

    // Hands every row to `visit` in the order of its place, then forgets
    // them all.
    void take(const std::function<void(std::string_view row)>& visit);

private:
    struct Row {
        std::int64_t place = 0;
        std::uint32_t piece = 0;
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };

    FileOrderRows<Row> m_rows;
    std::vector<std::string> m_pieces;
    std::size_t m_count = 0;
};

} // namespace presenze
