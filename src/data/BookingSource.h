#pragma once
// Where a request takes the hotels' data from: the data folder's files (the
// default, FolderSource) or another place that keeps the same records, such
// as a chain's central server. Every source gives the records exactly as the
// folder's readers give them (Records.h), in the same order, so that a report
// reads the same whatever its source. Texts are Windows-1252.
//
// The station's own files (report file, working database, print settings,
// CSV separators) always stay in the station's folder: a source gives only
// the hotels' data.

#include "data/DataFolder.h"
#include "data/Records.h"

#include <string>
#include <string_view>
#include <vector>

namespace presenze {

class BookingSource {
public:
    virtual ~BookingSource() = default;

    // Tells two sources apart (a request keeps what it read of one source
    // only), and names the source in messages.
    virtual std::string identity() const = 0;

    // As readBookingHeaders and readRoomLines over the season's files.
    virtual std::vector<BookingHeader> bookingHeaders(std::string_view season,
                                                      BookingFields fields) const = 0;
    virtual std::vector<RoomLine> roomLines(std::string_view season, std::string_view firstKey,
                                            std::string_view lastKey, const WarningSink& warn,
                                            BookingFields fields,
                                            std::vector<RoomLine>* faulty = nullptr) const = 0;
    // The same handed to a sink; by default from the vectors above.
    virtual void bookingHeaders(std::string_view season, BookingFields fields,
                                RecordSink<BookingHeader>& sink) const;
    virtual void roomLines(std::string_view season, std::string_view firstKey,
                           std::string_view lastKey, const WarningSink& warn, BookingFields fields,
                           RecordSink<RoomLine>& sink,
                           std::vector<RoomLine>* faulty = nullptr) const;

    // As readHotelRegistry, readRoomTypes, readCompanies, readCompanyListLines.
    virtual std::vector<HotelRecord> hotelRegistry() const = 0;
    virtual std::vector<RoomTypeRecord> roomTypes() const = 0;
    virtual std::vector<CompanyRecord> companies() const = 0;
    virtual std::vector<std::string> companyListLines() const = 0;

    // The seasons there are, as the season choice lists them: the prefixes
    // of the booking header files, the empty one for the current season.
    virtual std::vector<std::string> seasons() const = 0;
};

// The data folder's files, read by the readers of Records.h.
class FolderSource final : public BookingSource {
public:
    explicit FolderSource(DataFolder folder) : m_folder(std::move(folder)) {}

    const DataFolder& folder() const { return m_folder; }

    std::string identity() const override;
    std::vector<BookingHeader> bookingHeaders(std::string_view season,
                                              BookingFields fields) const override;
    std::vector<RoomLine> roomLines(std::string_view season, std::string_view firstKey,
                                    std::string_view lastKey, const WarningSink& warn,
                                    BookingFields fields,
                                    std::vector<RoomLine>* faulty = nullptr) const override;
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
    DataFolder m_folder;
};

} // namespace presenze
