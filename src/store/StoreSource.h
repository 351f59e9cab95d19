#pragma once
// A group's data as a sync left them on the chain's server, read as the
// folder's readers read the folder: the reports over this source are the
// reports over the group's folder, byte for byte. Every read of one source
// sees the same state of the server (one read-only transaction, opened at
// the first read), so a sync that commits meanwhile never mixes into a
// report. Reads from two threads (the headers and the room lines of a
// request) go side by side on two connections, the second one kept only
// when it sees the same sync of the group as the first.

#include "data/BookingSource.h"
#include "store/StoreAddress.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace presenze {

class PgConnection;

class StoreSource final : public BookingSource {
public:
    // `group` is a checked name (Windows-1252).
    StoreSource(StoreAddress address, std::string group);
    ~StoreSource() override;

    const std::string& group() const { return m_group; }

    // Connects and checks that the server holds the group, raising
    // StoreError when not (the reads do it on first use too).
    void open() const;

    std::string identity() const override;
    std::vector<BookingHeader> bookingHeaders(std::string_view season,
                                              BookingFields fields) const override;
    // Lines whose dates make no stay never reach the server (the sync
    // warned about them): `faulty` stays empty.
    std::vector<RoomLine> roomLines(std::string_view season, std::string_view firstKey,
                                    std::string_view lastKey, const WarningSink& warn,
                                    BookingFields fields,
                                    std::vector<RoomLine>* faulty = nullptr) const override;
    // The same handed to a sink, each row decoded as it is handed over.
    void bookingHeaders(std::string_view season, BookingFields fields,
                        RecordSink<BookingHeader>& sink) const override;
    void roomLines(std::string_view season, std::string_view firstKey, std::string_view lastKey,
                   const WarningSink& warn, BookingFields fields, RecordSink<RoomLine>& sink,
                   std::vector<RoomLine>* faulty = nullptr) const override;
    std::vector<HotelRecord> hotelRegistry() const override;
    std::vector<RoomTypeRecord> roomTypes() const override;
    std::vector<CompanyRecord> companies() const override;
    std::vector<std::string> companyListLines() const override;
    std::vector<std::string> seasons() const override;

private:
    struct Session;
    static constexpr std::size_t kSessions = 2;

    // Runs `read` on a connection of its own, naming the server and the
    // group in its failures.
    template <typename Read> auto locked(Read&& read) const;
    Session* acquire() const;
    void release(Session* session, bool failed) const;
    // A new session, or none when it sees another sync than the first.
    std::unique_ptr<Session> openSession() const;
    std::vector<std::string> storedSeasons(PgConnection& connection) const;
    // The stored season the request means: the same prefix, else one that
    // differs only in case (as the folder's file names are matched).
    std::string storedSeason(PgConnection& connection, std::string_view season) const;

    StoreAddress m_address;
    std::string m_group;
    std::string m_groupUtf8;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_freed;
    mutable std::string m_sync; // the number of the sync whose rows are read
    mutable std::vector<std::unique_ptr<Session>> m_sessions;
    mutable std::vector<Session*> m_idle;
    mutable bool m_opening = false;
    mutable bool m_onlyOne = false;
    mutable std::optional<std::vector<std::string>> m_seasons;
};

// The groups the server holds, in the text order of their names (compareText;
// Windows-1252).
// Raises StoreError.
std::vector<std::string> storedGroups(const StoreAddress& address);

} // namespace presenze
