#include "jet/JetValues.h"

#include <gtest/gtest.h>
#include <limits>

using namespace presenze;

TEST(JetValues, DatesCountFromDecember1899WithTheTimeAsFraction)
{
    EXPECT_EQ(jetDateText(0.0), "1899-12-30 00:00:00");
    EXPECT_EQ(jetDateText(0.5), "1899-12-30 12:00:00");
    EXPECT_EQ(jetDateText(27349.0), "1974-11-16 00:00:00");
    // Before 1899 the day counts back but the time still counts forward.
    EXPECT_EQ(jetDateText(-1.25), "1899-12-29 06:00:00");
    EXPECT_EQ(jetDateText(-0.5), "1899-12-30 12:00:00");
    // Seconds round; a time that rounds to midnight is the next day.
    EXPECT_EQ(jetDateText(1.0 + 86399.6 / 86400), "1900-01-01 00:00:00");
    EXPECT_EQ(jetDateText(-1.0 - 86399.6 / 86400), "1899-12-30 00:00:00");
    // The range Access allows, and nothing beyond it.
    EXPECT_EQ(jetDateText(-657434.0), "0100-01-01 00:00:00");
    EXPECT_EQ(jetDateText(2958465.5), "9999-12-31 12:00:00");
    EXPECT_EQ(jetDateText(2958466.0), std::nullopt);
    EXPECT_EQ(jetDateText(-657435.0), std::nullopt);
    EXPECT_EQ(jetDateText(1e300), std::nullopt);
    EXPECT_EQ(jetDateText(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(JetValues, ReplicationIdsReadLikeGuids)
{
    const unsigned char bytes[16] = {0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0x78, 0x56,
                                     0x9A, 0xBC, 0xDE, 0xF0, 0x01, 0x23, 0x45, 0x67};
    EXPECT_EQ(jetGuidText(bytes), "{12345678-1234-5678-9ABCDEF001234567}");
}
