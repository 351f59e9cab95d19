#pragma once
// Helpers of the widget tests: scripted answers for every question of the
// desktop program, and data folders to open it on.

#include "data/Text1252.h"
#include "gui/desk/DeskPrompts.h"
#include "output/Handover.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QString>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace presenze::test {

// Answers from queues (questions: Yes when empty; input boxes: Cancel when
// empty; lists: the first row when empty) and records everything shown, as
// UTF-8 "title: text".
class ScriptedPrompts final : public DeskPrompts {
public:
    std::deque<int> answers;
    std::deque<std::optional<std::string>> inputs; // Windows-1252
    std::vector<std::string> questions;
    std::vector<std::string> warnings;
    std::vector<std::string> informations;
    std::vector<std::pair<std::string, std::string>> prompts; // prompt, proposed
    std::deque<std::optional<std::size_t>> choices;
    std::vector<std::string> lists;                 // "title: heading"
    std::vector<std::vector<std::string>> listRows; // first column of each row
    // Called before each question is answered (for looking at the window meanwhile).
    std::function<void(const std::string&)> onAsk;

    int ask(std::string_view title, std::string_view text, bool) override
    {
        questions.push_back(show(title, text));
        if (onAsk)
            onAsk(questions.back());
        if (answers.empty())
            return AnswerYes;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void warn(std::string_view title, std::string_view text) override
    {
        warnings.push_back(show(title, text));
    }
    void inform(std::string_view title, std::string_view text) override
    {
        informations.push_back(show(title, text));
    }
    std::optional<std::string> input(std::string_view title, std::string_view prompt,
                                     std::string_view proposed) override
    {
        prompts.emplace_back(show(title, prompt), cp1252ToUtf8(proposed));
        if (inputs.empty())
            return std::nullopt;
        auto answer = inputs.front();
        inputs.pop_front();
        return answer;
    }

    std::optional<std::size_t> choose(std::string_view title, std::string_view heading,
                                      const std::vector<std::string>&,
                                      const std::vector<std::vector<std::string>>& rows) override
    {
        lists.push_back(show(title, heading));
        listRows.emplace_back();
        for (const auto& row : rows)
            listRows.back().push_back(row.empty() ? std::string() : cp1252ToUtf8(row.front()));
        if (choices.empty())
            return rows.empty() ? std::nullopt : std::optional<std::size_t>(0);
        auto choice = choices.front();
        choices.pop_front();
        return choice;
    }

    static std::string show(std::string_view title, std::string_view text)
    {
        return cp1252ToUtf8(title) + ": " + cp1252ToUtf8(text);
    }
};

// The windows' own settings (QSettings) go to a temporary folder while the
// object lives, never to the user's home.
class TemporarySettings {
public:
    TemporarySettings()
    {
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, QString::fromStdString(m_dir.path()));
    }
    const std::filesystem::path& path() const { return m_dir.path(); }

private:
    TempDir m_dir;
};

inline bool contains(const std::vector<std::string>& texts, std::string_view part)
{
    for (const auto& t : texts) {
        if (t.find(part) != std::string::npos)
            return true;
    }
    return false;
}

// What the desktop's opener says when it has opened a file.
inline Handover openedWell()
{
    Handover opened;
    opened.program = "xdg-open";
    opened.outcome = ChildOutcome{ChildOutcome::End::Exited, 0};
    return opened;
}

inline QString q(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// Replaces the hotel registry of a folder with `count` hotels numbered 1..count.
inline void writeRegistry(const std::filesystem::path& dir, int count)
{
    std::filesystem::remove(dir / "AnagraficaHotels.mdb");
    std::string sql = "CREATE TABLE AnagraficaHotels (Numero INTEGER, NumeroHotel INTEGER, "
                      "RagioneSociale TEXT, CodiceAssistenza TEXT);";
    for (int i = count; i >= 1; --i) // stored backwards: the window sorts them
        sql += "INSERT INTO AnagraficaHotels VALUES(" + std::to_string(i) + "," +
               std::to_string(i) + ",'HOTEL NUMERO " + std::to_string(i) + "','');";
    runSql(dir / "AnagraficaHotels.mdb", sql);
}

} // namespace presenze::test
