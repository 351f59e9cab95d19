#pragma once
// The two booking files of one season, written booking by booking. Dates
// from firstDay to lastDay are written from a table of their keys.

#include "data/Sqlite.h"
#include "demo/GroupModel.h"
#include "demo/NewDataFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace presenze::demo {

class SeasonFiles {
public:
    SeasonFiles(const std::filesystem::path& dir, const std::string& prefix, long firstDay,
                long lastDay);

    void write(const Booking& b);

    void finish();

private:
    NewDataFile m_headers;
    NewDataFile m_rooms;
    std::optional<Transaction> m_headerTx;
    std::optional<Transaction> m_roomTx;
    std::optional<Statement> m_insertHeader;
    std::optional<Statement> m_insertLine;
    long m_firstDay;
    std::vector<std::string> m_keys;
};

} // namespace presenze::demo
