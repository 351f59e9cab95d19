#include "common/MsgBoxRoutine.h"

#include <gtest/gtest.h>
#include <string>

using namespace presenze;

TEST(MsgBoxRoutine, MeasuresLinesAndColumns)
{
    const std::string twenty(20, 'x');
    EXPECT_EQ(CalcolaRighe(twenty), 2);
    EXPECT_EQ(CalcolaColonne(twenty), 51);
    const MsgBoxLayout one = layoutMsgBox(twenty, 0);
    EXPECT_EQ(one.formWidth, 4590);
    EXPECT_EQ(one.textHeight, 600);

    // Three lines; the LF before the longest line counts as one of its 80 characters.
    const std::string text = "abc\r\n" + std::string(79, 'y') + "\r\nz";
    EXPECT_EQ(CalcolaRighe(text), 4);
    EXPECT_EQ(CalcolaColonne(text), 81);
    EXPECT_EQ(layoutMsgBox(text, 0).formWidth, 7290);
    EXPECT_EQ(CalcolaRighe(""), 2);
    EXPECT_EQ(CalcolaColonne(""), 51);
    EXPECT_EQ(CalcolaColonne(std::string(400, 'w')), 401);
}

TEST(MsgBoxRoutine, PlacesTheButtonsByStyle)
{
    const MsgBoxMetrics m; // buttons 1215 twips wide
    const MsgBoxLayout l = layoutMsgBox("Domanda?", 36, m);
    EXPECT_EQ(l.formHeight, l.textHeight + m.labelHeight + m.buttonHeight + 300);
    EXPECT_EQ(l.buttonTop, m.textTop + l.textHeight + 100);
    ASSERT_TRUE(l.buttonLeft[0] && l.buttonLeft[1]);
    EXPECT_EQ(*l.buttonLeft[0], (4590 - (2 * 1215 + 70)) / 2);
    EXPECT_EQ(*l.buttonLeft[1] - *l.buttonLeft[0], 1215 + 70);
    EXPECT_FALSE(l.buttonLeft[2]);
    EXPECT_TRUE(l.focusFirst);

    const MsgBoxLayout ok = layoutMsgBox("Fatto.", 48, m);
    EXPECT_EQ(*ok.buttonLeft[0], (4590 - 1215) / 2);
    EXPECT_FALSE(ok.buttonLeft[1]);
    EXPECT_FALSE(ok.focusFirst);

    const MsgBoxLayout three = layoutMsgBox("Domanda?", 35, m);
    EXPECT_EQ(*three.buttonLeft[0], (4590 - (3 * 1215 + 140)) / 2);
    EXPECT_EQ(*three.buttonLeft[2] - *three.buttonLeft[1], 1215 + 70);
    EXPECT_TRUE(three.focusFirst);

    const MsgBoxLayout range = layoutMsgBox("Domanda?", 300, m);
    EXPECT_TRUE(range.buttonLeft[1]);
    EXPECT_FALSE(range.focusFirst);

    for (const int style : {1, 5, 199, 401, -1}) {
        const MsgBoxLayout none = layoutMsgBox("?", style, m);
        EXPECT_FALSE(none.buttonLeft[0] || none.buttonLeft[1] || none.buttonLeft[2]) << style;
    }
}

TEST(MsgBoxRoutine, AnswersByButtonAndCaption)
{
    EXPECT_EQ(msgBoxAnswer(0, "Ok", 9), 0);
    EXPECT_EQ(msgBoxAnswer(0, "Si", 9), 6);
    EXPECT_EQ(msgBoxAnswer(0, "Altro", 9), 9);
    EXPECT_EQ(msgBoxAnswer(1, "Si", 9), 7);
    EXPECT_EQ(msgBoxAnswer(2, "Si", 9), 2);
}
