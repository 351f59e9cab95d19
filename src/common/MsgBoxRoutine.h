#pragma once
// The module of the program's own message box form: its two shared
// variables and the layout arithmetic of the form, in twips (1/1440 inch,
// 15 twips to a pixel at 96 dots per inch), kept apart from the widgets so
// that it can be checked on its own.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace presenze {

// Button layout code set by the caller before showing the form.
extern std::int16_t MsgBoxStile;
// Answer left by the form: 0 "Ok", 6 "Si", 7 no, 2 cancel.
extern std::int16_t MsgBoxRisposta;

// Lines of the message: the count of CR characters + 2.
int CalcolaRighe(std::string_view text);
// Width in characters: the greatest of 50 and the longest line (characters
// between CRs, a LF counting as a character), plus 1.
int CalcolaColonne(std::string_view text);

// Sizes of the form's parts as designed, in twips.
struct MsgBoxMetrics {
    int labelHeight = 375;  // Label1, the title line
    int textTop = 420;      // Text1, the message
    int buttonWidth = 1215; // T(0), T(1), T(2)
    int buttonHeight = 495;
};

// Where the form puts its parts for a message and a style, in twips.
struct MsgBoxLayout {
    int rows = 0;
    int columns = 0;
    int formWidth = 0;
    int formHeight = 0;
    int textWidth = 0;
    int textHeight = 0;
    int buttonTop = 0;
    // Left of T(0), T(1), T(2); nullopt for a button the style does not place.
    std::array<std::optional<int>, 3> buttonLeft;
    // The style gives T(0) the focus.
    bool focusFirst = false;
};

// The layout of Form_Activate.
MsgBoxLayout layoutMsgBox(std::string_view text, int style, const MsgBoxMetrics& metrics = {});

// The buttons a style shows (1, 2 or 3; 0 for an unknown style).
int buttonsOfStyle(int style);

// MsgBoxRisposta after T_Click(index), T(0) captioned caption0.
std::int16_t msgBoxAnswer(int index, std::string_view caption0, std::int16_t previous);

} // namespace presenze
