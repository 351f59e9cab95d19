#pragma once
// The sync of a group: what its folder holds (GroupData, read as the reports
// read it) replaces what the server held of the group, and the day's snapshot of the books replaces
// that day's snapshot, older ones being kept. It all goes in one
// transaction, the rows by COPY: a reader sees the previous state or the new
// one, never half, and a sync cut short (server down, network lost, program
// killed) leaves the previous state.

#include "common/Clock.h"
#include "data/BookingSource.h"
#include "store/GroupData.h"
#include "store/StoreAddress.h"

#include <cstddef>
#include <string_view>

namespace presenze {

struct SyncSummary {
    std::size_t seasons = 0;
    std::size_t headers = 0;
    std::size_t lines = 0;
    std::size_t snapshotRows = 0;
};

// Writes the data of `folder` as group `group` (a checked name,
// Windows-1252), with the snapshot of `day`; room lines left out for a bad
// date go to `warn` (from another thread). The folder is read while the
// server gets ready. Raises DataError when the folder cannot be read (and
// nothing was written), StoreError when the server fails, whose message
// names the server and the group and says that the server keeps its
// previous state.
SyncSummary syncFolder(const StoreAddress& address, std::string_view group,
                       const BookingSource& folder, const WarningSink& warn, const Date& day);

} // namespace presenze
