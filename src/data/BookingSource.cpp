#include "data/BookingSource.h"

#include "data/Schema.h"

namespace presenze {

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
