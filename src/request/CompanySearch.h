#pragma once
// The company search of the main window: the regular companies whose name
// begins with the typed text, offered in one list sorted by name, from which
// the person picks one. "&Stampa" uses it too when the company field does not
// hold the name of a regular company. Texts are Windows-1252.

#include "data/DataFolder.h"
#include "data/Records.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// The companies whose name begins with `prefix`, without regard to case and
// taken literally (an apostrophe is just a character), in table order; only
// those of `hotel` when one is given.
std::vector<CompanyRecord> companiesStartingWith(const std::vector<CompanyRecord>& companies,
                                                 std::string_view prefix,
                                                 std::optional<std::int64_t> hotel = {});

// Sorted by name without regard to case, then by town (equal names keep
// their table order).
void sortByName(std::vector<CompanyRecord>& companies);

// The company whose name is `text`, compared without regard to case as the
// search compares (of `hotel` when given). A name written exactly so wins;
// nullopt when there is none, or several that differ only in case.
std::optional<CompanyRecord> companyNamed(const std::vector<CompanyRecord>& companies,
                                          std::string_view text,
                                          std::optional<std::int64_t> hotel = {});

// Picks one of the matches (sorted by name); nullopt when cancelled.
using CompanyChooser =
    std::function<std::optional<std::size_t>(const std::vector<CompanyRecord>& matches)>;

// Reads "DitteAbituali.mdb" and lets the person choose among the matches of
// the typed text. Nullopt when nothing matched (the chooser is not called)
// or the choice was cancelled. Raises DataError when the file cannot be read.
std::optional<CompanyRecord> findCompany(const DataFolder& folder, std::string_view typed,
                                         std::optional<std::int64_t> hotel,
                                         const CompanyChooser& choose);
// The same among companies read elsewhere (another source of the hotels' data).
std::optional<CompanyRecord> findCompany(const std::vector<CompanyRecord>& companies,
                                         std::string_view typed, std::optional<std::int64_t> hotel,
                                         const CompanyChooser& choose);

} // namespace presenze
