#include "ConsoleInteraction.h"

#include "data/Text1252.h"

#include <iostream>
#include <memory>

namespace presenze {

int ConsoleInteraction::ask(std::string_view title, std::string_view text, bool withCancel)
{
    return AnswerYes;
}

void ConsoleInteraction::warn(std::string_view title, std::string_view text)
{
    std::cerr << cp1252ToUtf8(title) << ": " << cp1252ToUtf8(text) << '\n';
}

void printError(std::string_view cp1252)
{
    std::cerr << cp1252ToUtf8(cp1252) << '\n';
}

WaitNotice consoleWaitNotice()
{
    auto shown = std::make_shared<bool>(false);
    return [shown](std::string_view text) {
        if (text.empty())
            *shown = false;
        else if (!*shown)
            printError("Avviso: " + std::string(text));
        *shown = !text.empty();
        return true;
    };
}

} // namespace presenze
