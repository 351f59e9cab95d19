#pragma once
// Opening a hotel data file. A file may be an SQLite 3 database or a real
// Access (Jet 3, Jet 4, ACE) file; the first bytes tell which. Access files
// are read through an SQLite copy (see JetCache.h), so the same queries run
// over both.
//
// Hotel data files are only ever read, and nothing is created beside them,
// whatever their journal mode and whatever the rights of the user (a
// journal or WAL file left by a reader who may not write would stop the
// front office):
//   - an SQLite file is opened as immutable, where it lies: SQLite takes no
//     lock and never looks for, creates or removes a journal, WAL or shared
//     memory file beside it. The reading waits while another program holds
//     the lock under which it writes pages into the file (they may not be
//     committed yet), takes none of its own (the front office never waits
//     for a report), and readHotelFile makes sure the file stayed still;
//   - an SQLite file with a WAL file that holds changes is copied, together
//     with the WAL file, into a private folder; the copy takes in the
//     committed changes there and is read in their place;
//   - an SQLite file with a hot rollback journal (a change of the front
//     office cut short) is refused, naming the file: only the front office
//     can put it right.

#include "data/DataFolder.h"
#include "data/FileWatch.h"
#include "data/Sqlite.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

enum class FileFormat { Sqlite, Jet, Empty, Unknown };

FileFormat detectFormat(const std::filesystem::path& file);

// Opens the data file `name` of the folder, read-only. Raises DataError for a
// missing, empty, unknown or unreadable file.
Database openHotelFile(const DataFolder& folder, std::string_view name);
Database openHotelFile(const std::filesystem::path& file);

// Makes ahead, in one helper process, the copies of the folder's Access files
// among `names` (see prepareJetCopies); the other names are left alone.
void prepareHotelFiles(const DataFolder& folder, const std::vector<std::string>& names);

// The result of read(db) over the data file `name` of the folder, from a
// read during which the file stayed the same, once it has been still
// (readSteadily; the folder's WaitNotice is told of a wait).
template <typename Read>
auto readHotelFile(const DataFolder& folder, std::string_view name, Read&& read)
{
    const std::filesystem::path file = folder.locate(name);
    return readSteadily(
        file, [&] { return read(openHotelFile(file)); }, kDataFileStillness, folder.waitNotice());
}

} // namespace presenze
