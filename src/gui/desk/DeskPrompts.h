#pragma once
// Every question and message of the windows goes through one interface: the
// core's questions (Interaction) and the windows' own (the company search,
// the report type, the season input box, errors). The program answers with
// message boxes (MessageBoxes); a test hands a window its own answers for the
// next questions, so nothing waits for a person. Texts are Windows-1252.

#include "common/Interaction.h"

#include <optional>
#include <string>
#include <string_view>

namespace presenze {

class DeskPrompts : public Interaction {
public:
    // An input box with a proposed answer; nullopt when cancelled.
    virtual std::optional<std::string> input(std::string_view title, std::string_view prompt,
                                             std::string_view proposed) = 0;
    // A message with an information icon and an OK button.
    virtual void inform(std::string_view title, std::string_view text) = 0;
};

} // namespace presenze
