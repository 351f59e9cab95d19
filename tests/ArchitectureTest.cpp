// The layout of src/ is the architecture: one folder, one library; the core
// folders include each other in one direction only, only src/gui and
// src/render may include Qt (src/render and presenze-cli-full without its
// widgets), only src/store talks to PostgreSQL, and files are replaced one
// way only (data/AtomicFile).

#include "support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

// The library of a file: its first folder under src/.
std::string libraryOf(const fs::path& relative)
{
    return relative.begin()->string();
}

// Each folder's quoted includes of other folders, with one file that does it.
std::map<std::string, std::map<std::string, std::string>> folderIncludes()
{
    const fs::path src = PRESENZE_SOURCE_DIR;
    const std::regex quoted(R"(^\s*#\s*include\s+"([^/"]+)/[^"]*")");
    std::map<std::string, std::map<std::string, std::string>> uses;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const auto ext = entry.path().extension();
        if (ext != ".h" && ext != ".cpp")
            continue;
        const fs::path relative = fs::relative(entry.path(), src);
        const std::string from = libraryOf(relative);
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            std::smatch m;
            if (std::regex_search(line, m, quoted) && m[1] != from)
                uses[from].try_emplace(m[1], relative.string());
        }
    }
    return uses;
}

} // namespace

TEST(Architecture, FoldersIncludeEachOtherInOneDirectionOnly)
{
    // Lower layers first; a folder may include only folders before it.
    const std::map<std::string, int> layer = {
        {"data", 0},    {"jet", 1},    {"demo", 1},    {"common", 1},     {"tally", 2},
        {"reports", 3}, {"istat", 3},  {"request", 4}, {"indicators", 5}, {"output", 6},
        {"store", 7},   {"render", 7}, {"gui", 8},     {"cli", 8},
    };
    for (const auto& [from, targets] : folderIncludes()) {
        ASSERT_TRUE(layer.count(from)) << "src/" << from << " has no place among the layers";
        for (const auto& [to, file] : targets) {
            ASSERT_TRUE(layer.count(to)) << file << " includes the unknown folder " << to;
            EXPECT_LT(layer.at(to), layer.at(from))
                << file << " (" << from << ") includes " << to << ", a folder above or beside it";
        }
    }
    // jet and demo stand beside the core: nothing of the core includes them.
    for (const auto& [from, targets] : folderIncludes())
        for (const char* aside : {"jet", "demo"})
            EXPECT_FALSE(targets.count(aside) && from != "gui" && from != "cli")
                << targets.at(aside) << " includes src/" << aside;
}

TEST(Architecture, OnlyTheGuiAndRenderFoldersIncludeQt)
{
    const fs::path src = PRESENZE_SOURCE_DIR;
    const std::regex qt(R"(^\s*#\s*include\s*<Q)");
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const fs::path relative = fs::relative(entry.path(), src);
        const std::string library = libraryOf(relative);
        if (!entry.is_regular_file() || library == "gui" || library == "render")
            continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);)
            EXPECT_FALSE(std::regex_search(line, qt)) << relative << ": " << line;
    }
    // What the core libraries link, as the build generated it.
    const std::string links = presenze::test::readFile(PRESENZE_CORE_LINKS);
    ASSERT_NE(links.find("presenze_data"), std::string::npos);
    EXPECT_EQ(links.find("Qt"), std::string::npos) << links;
}

TEST(Architecture, TheDrawingLibraryAndTheCommandLineLinkNoWidgets)
{
    const std::string links = presenze::test::readFile(PRESENZE_DRAWING_LINKS);
    ASSERT_NE(links.find("Qt6::Gui"), std::string::npos) << links;
    ASSERT_NE(links.find("presenze_render"), std::string::npos) << links;
    for (const char* widgets : {"Widgets", "Charts", "presenze_gui"})
        EXPECT_EQ(links.find(widgets), std::string::npos) << widgets << " in " << links;
}

TEST(Architecture, OnlyAtomicFileMakesTemporaryFilesOrTouchesTheUmask)
{
    // A temporary file made another way, or a umask set and put back, races
    // with the other threads and leaves files with the wrong permissions.
    const fs::path root = fs::path(PRESENZE_SOURCE_DIR).parent_path();
    const std::regex forbidden(R"((\bmkstemp\s*\(|\bumask\s*\(|\bQSaveFile\b))");
    for (const char* folder : {"src", "app"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const fs::path relative = fs::relative(entry.path(), root);
            const bool atomicFile =
                relative.parent_path() == "src/data" && relative.stem() == "AtomicFile";
            if (!entry.is_regular_file() || atomicFile)
                continue;
            std::ifstream in(entry.path());
            for (std::string line; std::getline(in, line);)
                EXPECT_FALSE(std::regex_search(line, forbidden)) << relative << ": " << line;
        }
    }
}

TEST(Architecture, OnlyTheStoreFolderTalksToPostgres)
{
    const fs::path src = PRESENZE_SOURCE_DIR;
    const std::regex libpq(R"(^\s*#\s*include\s*<(libpq|pqxx|postgres))");
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const fs::path relative = fs::relative(entry.path(), src);
        if (!entry.is_regular_file() || libraryOf(relative) == "store")
            continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);)
            EXPECT_FALSE(std::regex_search(line, libpq)) << relative << ": " << line;
    }
}
