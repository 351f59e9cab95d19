#include "output/LineConversion.h"

namespace presenze {

std::string& Converti2(std::string& line)
{
    for (char& c : line) {
        switch (static_cast<unsigned char>(c)) {
        case 180:
            c = '\'';
            break;
        case 192:
            c = '\xE0';
            break;
        case 200:
            c = '\xE8';
            break;
        case 201:
            c = '\xE9';
            break;
        case 204:
            c = '\xEC';
            break;
        case 210:
            c = '\xF2';
            break;
        case 217:
            c = '\xF9';
            break;
        case 179:
        case 183:
        case 186:
        case 195:
            c = '|';
            break;
        case 187:
        case 188:
        case 191:
        case 193:
        case 194:
        case 196:
        case 197:
        case 202:
        case 203:
        case 206:
        case 218:
            c = '-';
            break;
        default:
            break;
        }
    }
    return line;
}

} // namespace presenze
