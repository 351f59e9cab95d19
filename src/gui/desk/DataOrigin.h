#pragma once
// Where the main window reads the hotels' data ("Origine dati"): the data
// folder, as always by default, or a group on a chain's server, as
// `--source CONNESSIONE --group NOME` on the command line. The choice is one
// of the station's settings (QSettings, keys "OrigineDati/..."); the
// station's own files (report file, working database, print settings) stay
// in the data folder whatever the origin.
//
//   const DataOrigin origin = DataOrigin::load();
//   if (auto data = origin.source())   // null: the folder's files
//       context.source = data.get();

#include "data/BookingSource.h"

#include <memory>
#include <optional>
#include <string>

namespace presenze {

class DataOrigin {
public:
    // The data folder.
    DataOrigin() = default;
    // The group `group` (Windows-1252) of the server `conninfo` (UTF-8).
    static DataOrigin server(std::string conninfo, std::string group);

    // The kept choice; the folder when there is none, or when what is kept
    // does not hold (a password in the connection, a bad group name).
    static DataOrigin load();
    // Keeps the choice. A choice that does not hold is never kept.
    void save() const;

    bool isServer() const { return m_server; }
    const std::string& conninfo() const { return m_conninfo; }
    const std::string& group() const { return m_group; }

    // Nullopt when the choice holds; otherwise why not, in Italian
    // (Windows-1252).
    std::optional<std::string> problem() const;
    // How the window names the origin (Windows-1252).
    std::string description() const;

    // A new source over the group on the server (each request reads its
    // own state of the server); null for the folder.
    std::shared_ptr<const BookingSource> source() const;

    friend bool operator==(const DataOrigin&, const DataOrigin&) = default;

private:
    bool m_server = false;
    std::string m_conninfo;
    std::string m_group;
};

} // namespace presenze
