#pragma once
// The tables of schema "presenze" on the chain's server, one set for every
// group: the booking tables of each season, the hotel registry, the room
// types, the regular companies and the company list as the reports read them
// (each row with its group, its season where it has one and its place in its
// file, `riga`), the groups and their seasons, and the daily snapshots of the
// books. A table of its own holds the version of the layout.

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
