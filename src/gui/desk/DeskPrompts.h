#pragma once
// Every question and message of the windows goes through one interface: the
// core's questions (Interaction) and the windows' own (the company search,
// the report type, the season input box, errors). The program answers with
// message boxes (MessageBoxes); a test hands a window its own answers for the
// next questions, so nothing waits for a person. Texts are Windows-1252.

#include "common/Interaction.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

class DeskPrompts : public Interaction {
public:
    // An input box with a proposed answer; nullopt when cancelled.
    virtual std::optional<std::string> input(std::string_view title, std::string_view prompt,
                                             std::string_view proposed) = 0;
    // A message with an information icon and an OK button.
    void inform(std::string_view title, std::string_view text) override = 0;
    // A list of rows (texts in columns) to pick one from with Enter or a
    // double-click, under `heading`; the row picked, nullopt when cancelled.
    virtual std::optional<std::size_t>
    choose(std::string_view title, std::string_view heading,
           const std::vector<std::string>& columns,
           const std::vector<std::vector<std::string>>& rows) = 0;
};

} // namespace presenze
