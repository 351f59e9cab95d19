#pragma once
// The company search of the main window: Enter in the company field offers,
// one after another, the regular companies whose name begins with the typed
// text, until the user answers Yes (that company) or Cancel. Texts are
// Windows-1252.

#include "common/Interaction.h"
#include "data/DataFolder.h"
#include "data/Records.h"

#include <cstdint>
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

// The confirmation text: name, town and the question.
std::string companyQuestion(const CompanyRecord& company);

// Reads "DitteAbituali.mdb" and asks about each match (title "Ditte
// Abituali", Yes/No/Cancel). Returns the company answered Yes; nullopt when
// nothing matched, every match was refused or the user cancelled. Raises
// DataError when the file cannot be read.
std::optional<CompanyRecord> findCompany(const DataFolder& folder, std::string_view typed,
                                         std::optional<std::int64_t> hotel, Interaction& ui);

} // namespace presenze
