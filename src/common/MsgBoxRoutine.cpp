#include "common/MsgBoxRoutine.h"

#include <algorithm>

namespace presenze {

std::int16_t MsgBoxStile = 0;
std::int16_t MsgBoxRisposta = 0;

namespace {

constexpr int kTwipsPerColumn = 90;
constexpr int kTwipsPerRow = 300;
constexpr int kTextMargin = 180;
constexpr int kButtonGap = 70;

} // namespace

int CalcolaRighe(std::string_view text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\r')) + 2;
}

int CalcolaColonne(std::string_view text)
{
    std::size_t longest = 50;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\r', start);
        const std::size_t length = (end == std::string_view::npos ? text.size() : end) - start;
        longest = std::max(longest, length);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return static_cast<int>(longest) + 1;
}

int buttonsOfStyle(int style)
{
    if (style == 0 || style == 48)
        return 1;
    if (style == 4 || style == 36 || (style >= 200 && style <= 400))
        return 2;
    if (style == 35 || style == 51)
        return 3;
    return 0;
}

MsgBoxLayout layoutMsgBox(std::string_view text, int style, const MsgBoxMetrics& m)
{
    MsgBoxLayout l;
    l.rows = CalcolaRighe(text);
    l.columns = CalcolaColonne(text);
    l.formWidth = l.columns * kTwipsPerColumn;
    l.textWidth = l.formWidth - kTextMargin;
    l.textHeight = l.rows * kTwipsPerRow;
    l.formHeight = l.textHeight + m.labelHeight + m.buttonHeight + 300;
    l.buttonTop = m.textTop + l.textHeight + 100;

    const int w = m.buttonWidth;
    const int buttons = buttonsOfStyle(style);
    if (buttons == 0)
        return l;
    const int row = buttons * w + (buttons - 1) * kButtonGap;
    const int first = (l.formWidth - row) / 2;
    for (int i = 0; i < buttons; ++i)
        l.buttonLeft[static_cast<std::size_t>(i)] = first + i * (w + kButtonGap);
    l.focusFirst = style == 4 || style == 36 || style == 35 || style == 51;
    return l;
}

std::int16_t msgBoxAnswer(int index, std::string_view caption0, std::int16_t previous)
{
    switch (index) {
    case 0:
        if (caption0 == "Ok")
            return 0;
        if (caption0 == "Si")
            return 6;
        return previous;
    case 1:
        return 7;
    case 2:
        return 2;
    default:
        return previous;
    }
}

} // namespace presenze
