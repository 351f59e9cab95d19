#include "data/BookingSource.h"

#include "data/Schema.h"

namespace presenze {

void BookingSource::bookingHeaders(std::string_view season, BookingFields fields,
                                   RecordSink<BookingHeader>& sink) const
{
    const std::vector<BookingHeader> headers = bookingHeaders(season, fields);
    sink.restart(headers.size());
    for (const BookingHeader& header : headers)
        sink.add(header);
}

void BookingSource::roomLines(std::string_view season, std::string_view firstKey,
                              std::string_view lastKey, const WarningSink& warn,
                              BookingFields fields, RecordSink<RoomLine>& sink,
                              std::vector<RoomLine>* faulty) const
{
    const std::vector<RoomLine> lines = roomLines(season, firstKey, lastKey, warn, fields, faulty);
    sink.restart(lines.size());
    for (const RoomLine& line : lines)
        sink.add(line);
}

std::string FolderSource::identity() const
{
    return displayName(m_folder.dir());
}

std::vector<BookingHeader> FolderSource::bookingHeaders(std::string_view season,
                                                        BookingFields fields) const
{
    return readBookingHeaders(m_folder, season, fields);
}

std::vector<RoomLine> FolderSource::roomLines(std::string_view season, std::string_view firstKey,
                                              std::string_view lastKey, const WarningSink& warn,
                                              BookingFields fields,
                                              std::vector<RoomLine>* faulty) const
{
    return readRoomLines(m_folder, season, firstKey, lastKey, warn, fields, faulty);
}

void FolderSource::bookingHeaders(std::string_view season, BookingFields fields,
                                  RecordSink<BookingHeader>& sink) const
{
    readBookingHeaders(m_folder, season, fields, sink);
}

void FolderSource::roomLines(std::string_view season, std::string_view firstKey,
                             std::string_view lastKey, const WarningSink& warn,
                             BookingFields fields, RecordSink<RoomLine>& sink,
                             std::vector<RoomLine>* faulty) const
{
    readRoomLines(m_folder, season, firstKey, lastKey, warn, fields, sink, faulty);
}

std::vector<HotelRecord> FolderSource::hotelRegistry() const
{
    return readHotelRegistry(m_folder);
}

std::vector<RoomTypeRecord> FolderSource::roomTypes() const
{
    return readRoomTypes(m_folder);
}

std::vector<CompanyRecord> FolderSource::companies() const
{
    return readCompanies(m_folder);
}

std::vector<std::string> FolderSource::companyListLines() const
{
    return readCompanyListLines(m_folder);
}

std::vector<std::string> FolderSource::seasons() const
{
    std::vector<std::string> prefixes;
    const std::size_t suffix = schema::kHeadersFile.size();
    for (const std::string& name : m_folder.namesEndingWith(schema::kHeadersFile))
        prefixes.push_back(name.substr(0, name.size() - suffix));
    return prefixes;
}

} // namespace presenze
