#include "data/Currency.h"
#include "data/Dates.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(Date, AddsDaysAcrossMonthsAndLeapYears)
{
    EXPECT_EQ(Date({2024, 2, 1}).addDays(31).toKey(), "20240303");
    EXPECT_EQ(Date({2023, 2, 1}).addDays(31).toKey(), "20230304");
    EXPECT_EQ(Date({2024, 12, 1}).addDays(31).toDisplay(), "01/01/2025");
    EXPECT_FALSE(Date::parseKey("20240230"));
    EXPECT_FALSE(Date::parseKey("20260231"));
    EXPECT_TRUE(Date::parseKey("20240229"));
    EXPECT_FALSE(Date::parseKey("21000229"));
    EXPECT_FALSE(Date::parseKey("2024-02-01"));
    EXPECT_FALSE(Date::parseDisplay("1/02/2024"));
    EXPECT_EQ(Date::parseDisplay("01/02/2024")->toKey(), "20240201");
}

TEST(Currency, ParsesRoundsAndPrintsExactly)
{
    Currency c;
    ASSERT_TRUE(Currency::parse("12.7500", c));
    EXPECT_EQ(c.units, 127500);
    ASSERT_TRUE(Currency::parse("-0.00005", c));
    EXPECT_EQ(c.units, -1);
    EXPECT_FALSE(Currency::parse("abc", c));
    EXPECT_FALSE(Currency::parse("1.2.3", c));
    EXPECT_EQ(Currency::fromDouble(191.58).units, 1915800);
    EXPECT_EQ(Currency::fromDouble(0.00005).units, 1); // half away from zero
    EXPECT_EQ(Currency::fromDouble(-0.00005).units, -1);
    EXPECT_EQ(Currency{-5000}.toText(), "-0.5000");
    EXPECT_EQ(Currency{19955000}.toText(), "1995.5000");
}

TEST(Currency, RoundsToEvenForWholeNumbers)
{
    EXPECT_EQ(Currency{105000}.roundToEven(), 10);
    EXPECT_EQ(Currency{115000}.roundToEven(), 12);
    EXPECT_EQ(Currency{205000}.roundToEven(), 20);
    EXPECT_EQ(Currency{-105000}.roundToEven(), -10);
    EXPECT_EQ(Currency{-115000}.roundToEven(), -12);
    EXPECT_EQ(Currency{105001}.roundToEven(), 11);
}
