#include "output/LineConversion.h"

#include "common/BoxDrawing.h"

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
        case box::code(box::kVertical):
        case box::code(box::kLeftT):
        case 183: // the double-line pieces
        case 186:
            c = '|';
            break;
        case box::code(box::kTopRight):
        case box::code(box::kBottomT):
        case box::code(box::kTopT):
        case box::code(box::kHorizontal):
        case box::code(box::kCross):
        case box::code(box::kTopLeft):
        case 187: // the double-line pieces
        case 188:
        case 202:
        case 203:
        case 206:
            c = '-';
            break;
        default:
            break;
        }
    }
    return line;
}

} // namespace presenze
