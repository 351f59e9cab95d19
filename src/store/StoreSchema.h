#pragma once
// The tables of schema "presenze" on the chain's server, one set for every
// group: the booking tables of each season, the hotel registry, the room
// types, the regular companies and the company list as the reports read them
// (each row with its group, its season where it has one and its place in its
// file, `riga`), the groups and their seasons, and the daily snapshots of the
// books. A table of its own holds the version of the layout.
//
// Every row also carries the number of the sync that wrote it
// (`sincronizzazione`, the group's count of syncs); only the latest sync's
// rows are there once it has committed. The booking tables and the snapshots,
// by far the largest, have no B-tree index to keep up to date row by row: a
// sync appends a group's rows together, season after season, and a block
// range index (BRIN) on the group, the sync and the season (on the day, for
// the snapshots) leads a read to them. The readers put the rows in file order themselves (`riga`).
//
// A snapshot row holds a run of nights (`dal` to `al`) of one booking with
// the same rooms, persons and revenue on each night; the view
// `istantanea_notti` gives one row per night.

namespace presenze {

class PgConnection;

// The layout this program writes and reads.
inline constexpr int kStoreVersion = 1;

// Inside a writing transaction: creates the schema and its tables when they
// are missing, and raises StoreError when the server holds another version.
void prepareStoreSchema(PgConnection& connection);

// Raises StoreError when the server has no schema of this version.
void requireStoreSchema(PgConnection& connection);

} // namespace presenze
