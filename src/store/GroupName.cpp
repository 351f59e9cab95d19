#include "store/GroupName.h"

#include "data/Text1252.h"

namespace presenze {
namespace {

bool isLetter(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    // Windows-1252 letters: S, OE, Z with caron or ligature, their small
    // forms, Y with diaeresis, and the accented letters but for x and /.
    switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
        return true;
    default:
        return c >= 0xC0 && c != 0xD7 && c != 0xF7;
    }
}

bool allowed(unsigned char c)
{
    return isLetter(c) || (c >= '0' && c <= '9') || c == ' ' || c == '-' || c == '_' || c == '.';
}

} // namespace

std::optional<std::string> checkGroupName(std::string_view group)
{
    const std::string shown =
        group.size() > 70 ? std::string(group.substr(0, 70)) + "..." : std::string(group);
    if (group.empty())
        return std::string("Nome del gruppo vuoto");
    if (group.size() > kLongestGroupName)
        return "Nome del gruppo troppo lungo (" + std::to_string(group.size()) +
               " caratteri, al massimo " + std::to_string(kLongestGroupName) + "): " + shown;
    for (const char c : group)
        if (!allowed(static_cast<unsigned char>(c)))
            return "Nome del gruppo non valido: \"" + shown +
                   "\" (solo lettere, cifre, spazi, \"-\", \"_\" e \".\")";
    return std::nullopt;
}

std::string folderGroupName(const DataFolder& folder)
{
    std::filesystem::path dir = std::filesystem::absolute(folder.dir()).lexically_normal();
    if (dir.filename().empty())
        dir = dir.parent_path();
    return utf8ToCp1252(dir.filename().string());
}

} // namespace presenze
