#include "request/SeasonChoice.h"

#include "data/Schema.h"
#include "data/Text1252.h"

namespace presenze {

std::vector<std::string> archivedSeasons(const DataFolder& folder)
{
    std::vector<std::string> seasons;
    const std::size_t suffix = schema::kHeadersFile.size();
    for (const std::string& name : folder.namesEndingWith(schema::kHeadersFile)) {
        seasons.push_back(name.substr(0, name.size() - suffix));
    }
    return seasons;
}

std::string seasonPrompt(const std::vector<std::string>& seasons)
{
    std::string listing;
    for (const std::string& season : seasons)
        listing += season + "\r\n";
    return "Elenco Stagioni Archiviate\r\n\r\n" + listing +
           "\r\n\r\nInserire la stagione da consultare,\r\n(Premere 'Annulla' per la stagione "
           "corrente)";
}

std::string missingSeasonPrompt(std::string_view season, const std::vector<std::string>& seasons)
{
    return "La stagione \"" + std::string(season) + "\" non ha file di prenotazioni (" +
           schema::headersFile(season) + ").\r\n\r\n" + seasonPrompt(seasons);
}

bool seasonExists(const DataFolder& folder, std::string_view season)
{
    for (const char c : season) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F)
            return false;
    }
    return folder.exists(schema::headersFile(season));
}

std::string chooseSeason(const DataFolder& folder, std::string_view current,
                         const SeasonQuestion& ask)
{
    std::vector<std::string> seasons = archivedSeasons(folder);
    std::string prompt = seasonPrompt(seasons);
    std::string proposed(current);
    for (;;) {
        const std::optional<std::string> answer = ask(prompt, proposed);
        if (!answer && !seasonExists(folder, ""))
            return std::string(current);
        const std::string season = answer ? std::string(trimBlanks(*answer)) : std::string();
        if (seasonExists(folder, season))
            return season;
        seasons = archivedSeasons(folder);
        prompt = missingSeasonPrompt(season, seasons);
        proposed = season;
    }
}

std::string chooseSeason(const std::vector<std::string>& seasons, std::string_view current,
                         const SeasonQuestion& ask)
{
    const auto held = [&seasons](std::string_view season) -> const std::string* {
        for (const std::string& stored : seasons)
            if (stored == season)
                return &stored;
        for (const std::string& stored : seasons)
            if (equalText(stored, season))
                return &stored;
        return nullptr;
    };
    std::string prompt = seasonPrompt(seasons);
    std::string proposed(current);
    for (;;) {
        const std::optional<std::string> answer = ask(prompt, proposed);
        if (!answer && !held(""))
            return std::string(current);
        const std::string season = answer ? std::string(trimBlanks(*answer)) : std::string();
        if (const std::string* stored = held(season))
            return *stored;
        prompt = missingSeasonPrompt(season, seasons);
        proposed = season;
    }
}

} // namespace presenze
