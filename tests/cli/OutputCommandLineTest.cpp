#include "cli/CommandLine.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(OutputCommandLine, PrintOptions)
{
    const auto r = parsePrintOptions({"--destination", "PDF Ufficio", "--compressed", "--duplex",
                                      "--landscape", "--printer", "Laser 2", "--data-dir", "/d",
                                      "--station", "07"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->choices.destination, "PDF Ufficio");
    EXPECT_EQ(r.options->choices.printer, "Laser 2");
    EXPECT_TRUE(r.options->choices.compressed && r.options->choices.duplex &&
                r.options->choices.landscape);
    EXPECT_EQ(r.options->dataDir, "/d");
    EXPECT_EQ(r.options->station, "07");
    // The destination comes as UTF-8 from the terminal and is kept as Windows-1252.
    EXPECT_EQ(parsePrintOptions({"--destination", "Citt\xC3\xA0"}).options->choices.destination,
              "Citt\xE0");
}

TEST(OutputCommandLine, MistakesAreNamed)
{
    EXPECT_NE(parsePrintOptions({}).error.find("--destination"), std::string::npos);
    EXPECT_NE(parsePrintOptions({"--destination"}).error.find("Manca il valore"),
              std::string::npos);
    EXPECT_NE(parsePrintOptions({"--destination", "a", "--colour"}).error.find("--colour"),
              std::string::npos);
    EXPECT_NE(parseCsvOptions({"--compressed"}).error.find("--compressed"), std::string::npos);
    EXPECT_NE(parseCsvOptions({"fd7"}).error.find("fd7"), std::string::npos);
    EXPECT_TRUE(parseCsvOptions({}).options);
}
