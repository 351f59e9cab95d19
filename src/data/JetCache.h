#pragma once
// Access files are read by libmdb in a separate process (the helper program
// presenze-jet), with a time limit: libmdb makes no safety promise on
// malformed files, so a crash or a hang there only makes that file
// unreadable. The helper opens the Access file read-only and writes an
// SQLite copy of every user table:
//   - rows in the file's scan order (rowid = scan order),
//   - numbers (Byte, Integer, Long, Boolean as 0/1) as INTEGER, Single and
//     Double as REAL,
//   - currency as exact decimal TEXT with four decimals ("12.7500"), in a
//     column declared without type so that SQLite keeps the text,
//   - text and memo as UTF-8 TEXT (an empty text stays apart from null),
//   - dates as TEXT "YYYY-MM-DD hh:mm:ss" (a date outside the years 100 to
//     9999 keeps its raw day count as REAL), replication ids as TEXT
//     "{XXXXXXXX-XXXX-XXXX-XXXXXXXXXXXXXXXX}", OLE and binary as BLOB,
//   - a table _jet_columns(tbl, ord, name, type) listing each table's columns
//     in order (ord from 1) with their Access types ("Long", "Text",
//     "Currency", "DateTime", "Memo", ...).
// A file cut short, a page map or long value pointing outside the file, or
// a row that does not decode makes the whole file unreadable: no table is
// ever silently shortened.
//
// Copies are cached in the user's own folder (see CacheFolder.h; a folder
// that is not trusted is never read), named after the file's absolute path
// and a hash of its whole content, so a long report reads each file once and
// a file replaced by another of the same size and times is copied again. A
// copy found there is checked as a new one is, and made again when it fails;
// a new copy is written to disk before it is renamed into place. The copy of
// an older state of the same file is removed when a new one is made. The
// helper is $PRESENZE_JET_HELPER, else presenze-jet beside the running
// program, else the one of the build tree;
// its time limit is 60 s ($PRESENZE_JET_TIMEOUT seconds).

#include <filesystem>
#include <vector>

namespace presenze {

// The SQLite copy of an Access file, made or found in the cache. Raises
// DataError "File illeggibile: ..." naming the file when it cannot be read.
std::filesystem::path jetCopy(const std::filesystem::path& accessFile);

// Makes ahead the copies of the Access files a request is about to read
// that the cache lacks, all in one helper process (one process each costs
// more than a small file's copy). Never raises: a file this does not copy,
// also one on which the helper failed, crashed or ran out of time (the
// whole batch has one file's time limit), is copied by jetCopy alone when
// it is read, and its fault told there, naming it.
void prepareJetCopies(const std::vector<std::filesystem::path>& accessFiles);

} // namespace presenze
