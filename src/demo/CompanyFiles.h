#pragma once
// The regular companies of a group: their names, towns and hotels, the
// companies file and the company list (ElencoDitte.txt).

#include "demo/GroupGenerator.h"
#include "demo/GroupModel.h"

#include <filesystem>
#include <string>
#include <vector>

namespace presenze::demo {

// Companies coded 1..m, each with its town and the hotel it books most.
std::vector<Company> makeCompanies(const GroupOptions& group);

// The companies file, DitteAbituali.
void writeCompanies(const std::filesystem::path& dir, const std::vector<Company>& companies);

// Companies with bookings in the reference month: first the fixed names
// (apostrophes, accents) up to half of the list, then the busiest; written in
// code order, one line each (data/CompanyListLine.h), CR LF.
std::vector<std::string> writeCompanyList(const std::filesystem::path& dir,
                                          const std::vector<Company>& companies,
                                          const ReferenceCounts& counts, int size);

} // namespace presenze::demo
