#pragma once
// What the core asks of the person at the station: questions, warnings and
// progress. The window answers with message boxes, the command line from its
// options, tests with scripted answers; nothing in the core waits for a
// person directly. Texts are Windows-1252.

#include <string_view>

namespace presenze {

// Answers, with the values of the platform's message boxes.
enum Answer : int { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

class Interaction {
public:
    virtual ~Interaction() = default;

    // A Yes/No question (Yes/No/Cancel when withCancel); returns 6, 7 or 2.
    virtual int ask(std::string_view title, std::string_view text, bool withCancel = false) = 0;
    // A warning or error that does not stop the work (OK button only).
    virtual void warn(std::string_view title, std::string_view text) = 0;
    // A message that reports no fault (OK button only); a warning where the
    // person is told both the same way.
    virtual void inform(std::string_view title, std::string_view text) { warn(title, text); }
    // A Yes/No/Cancel question asked at every month of a request, with the
    // check box "Stessa risposta per i mesi seguenti": `sameForRest` tells
    // whether it was ticked. Without a check box, a Yes/No question.
    virtual int askEachMonth(std::string_view title, std::string_view text, bool& sameForRest)
    {
        sameForRest = false;
        return ask(title, text);
    }
    // True once the person has asked to stop the request; the print request
    // looks between months.
    virtual bool stopRequested() { return false; }
    // The status line of the main window (Label2).
    virtual void status(std::string_view text) {}
    // Month `index` (from 1) of `count` is being built; name like "Febbraio 2024".
    virtual void month(int index, int count, std::string_view name) {}
};

} // namespace presenze
