// The Access reader's isolation and cache: damaged files, a helper that
// hangs or crashes, the cache's reuse, and the data files left untouched.

#include "data/JetCache.h"

#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/Records.h"
#include "data/Sqlite.h"
#include "support/TestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

class JetCache : public ::testing::Test {
protected:
    void SetUp() override { test::copyJetSamples(m_data.path()); }

    // The message of the DataError that reading the file raises.
    std::string failure(const fs::path& file)
    {
        try {
            jetCopy(file);
        } catch (const DataError& e) {
            return e.what();
        }
        ADD_FAILURE() << "no error for " << file;
        return {};
    }

    fs::path script(std::string_view name, std::string_view body)
    {
        const fs::path file = m_scripts / name;
        test::writeFile(file, "#!/bin/sh\n" + std::string(body) + "\n");
        fs::permissions(file, fs::perms::owner_all);
        return file;
    }

    test::TempDir m_data;
    test::TempDir m_cache;
    test::TempDir m_scripts;
    test::ScopedEnv m_cacheEnv{"PRESENZE_CACHE_DIR", m_cache.path().c_str()};
};

struct Stamp {
    ino_t inode = 0;
    std::int64_t modifiedNs = 0;
};

Stamp stampOf(const fs::path& file)
{
    struct stat st {};
    EXPECT_EQ(::stat(file.c_str(), &st), 0);
    return {st.st_ino, st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec};
}

std::vector<fs::path> filesIn(const fs::path& dir)
{
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir))
        files.push_back(e.path());
    return files;
}

bool startsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

TEST_F(JetCache, DamagedFilesAreUnreadableNotShortened)
{
    const std::string nwind = test::readFile(m_data / "jet4_types.mdb");

    // Cut in half, and cut at a page boundary so that only whole pages remain.
    test::writeFile(m_data / "half.mdb", nwind.substr(0, nwind.size() / 2));
    test::writeFile(m_data / "pages.mdb", nwind.substr(0, 4096 * 200));
    // A Jet header followed by random bytes.
    std::mt19937 random(7);
    std::string noise = nwind.substr(0, 4096);
    while (noise.size() < 4096 * 64)
        noise += static_cast<char>(random());
    test::writeFile(m_data / "noise.mdb", noise);
    test::writeFile(m_data / "empty.mdb", "");

    for (const char* name : {"half.mdb", "pages.mdb", "noise.mdb", "empty.mdb"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(detectFormat(m_data / "noise.mdb"), FileFormat::Jet);
        const std::string message = failure(m_data / name);
        EXPECT_TRUE(startsWith(message, "File illeggibile")) << message;
        EXPECT_NE(message.find(name), std::string::npos) << message;
    }
    // Through the data engine the empty file is refused before any reading.
    EXPECT_THROW(openHotelFile(m_data / "empty.mdb"), DataError);
    // Nothing half-made is left in the cache.
    for (const auto& file : filesIn(m_cache.path()))
        ADD_FAILURE() << "left in the cache: " << file;
}

TEST_F(JetCache, AHelperThatHangsOrCrashesOnlyMakesTheFileUnreadable)
{
    const fs::path file = m_data / "jet4_types.mdb";
    {
        test::ScopedEnv helper("PRESENZE_JET_HELPER",
                               script("hang", "echo reading >&2; sleep 60; sleep 60").c_str());
        test::ScopedEnv limit("PRESENZE_JET_TIMEOUT", "0.5");
        const auto start = std::chrono::steady_clock::now();
        const std::string message = failure(file);
        // Stopped at the limit, with whatever it started, not after a minute.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_TRUE(startsWith(message, "File illeggibile: la lettura non \xE8 terminata entro "
                                        "0,5 secondi"))
            << message;
        EXPECT_NE(message.find("jet4_types.mdb"), std::string::npos);
    }
    {
        test::ScopedEnv helper("PRESENZE_JET_HELPER", script("crash", "kill -SEGV $$").c_str());
        const std::string message = failure(file);
        EXPECT_TRUE(startsWith(message, "File illeggibile")) << message;
        EXPECT_NE(message.find("segnale 11"), std::string::npos) << message;
    }
    {
        test::ScopedEnv helper(
            "PRESENZE_JET_HELPER",
            script("fails", "echo 'tabella \"X\" illeggibile' >&2; exit 1").c_str());
        EXPECT_TRUE(startsWith(failure(file), "File illeggibile: tabella \"X\" illeggibile"));
    }
    {
        // Claims success but leaves no database.
        test::ScopedEnv helper("PRESENZE_JET_HELPER", script("liar", "echo junk > \"$2\"").c_str());
        EXPECT_TRUE(startsWith(failure(file), "File illeggibile: la copia dei dati non si apre"));
    }
    {
        test::ScopedEnv helper("PRESENZE_JET_HELPER", (m_scripts / "missing").c_str());
        EXPECT_TRUE(startsWith(failure(file), "File illeggibile: impossibile avviare"));
    }
    for (const auto& left : filesIn(m_cache.path()))
        ADD_FAILURE() << "left in the cache: " << left;
    // With the real helper the same file reads.
    EXPECT_NO_THROW(jetCopy(file));
}

TEST_F(JetCache, TheCopiesOfARequestAreMadeInOneHelperAndAFailureStaysWithItsFile)
{
    std::vector<fs::path> files;
    for (const char* name : {"TipiCamere.mdb", "AnagraficaHotels.mdb", "DitteAbituali.mdb"}) {
        files.push_back(m_data / name);
        fs::copy_file(test::fixturesDir() / "hotel-jet" / name, files.back());
    }
    const fs::path real = fs::path(PRESENZE_BIN_DIR) / "presenze-jet";
    {
        // Copies the first pair, then crashes.
        test::ScopedEnv helper(
            "PRESENZE_JET_HELPER",
            script("second", "\"" + real.string() + "\" \"$1\" \"$2\" || exit 1; kill -SEGV $$")
                .c_str());
        prepareJetCopies(files);
        ASSERT_EQ(filesIn(m_cache.path()).size(), 1u);
        EXPECT_NO_THROW(jetCopy(files[0]));
        const std::string message = failure(files[1]);
        EXPECT_TRUE(startsWith(message, "File illeggibile")) << message;
        EXPECT_NE(message.find("segnale 11"), std::string::npos) << message;
        EXPECT_NE(message.find("AnagraficaHotels.mdb"), std::string::npos) << message;
    }
    // The real helper makes the two copies left in one run: none is made
    // again after.
    prepareJetCopies(files);
    EXPECT_EQ(filesIn(m_cache.path()).size(), 3u);
    test::ScopedEnv missing("PRESENZE_JET_HELPER", (m_scripts / "missing").c_str());
    for (const fs::path& file : files)
        EXPECT_NO_THROW(jetCopy(file)) << file;
}

TEST_F(JetCache, ACopyIsReusedUntilTheFileChanges)
{
    // Two Access files of the same size with other contents.
    const fs::path file = m_data / "TipiCamere.mdb";
    fs::copy_file(test::fixturesDir() / "hotel-jet" / "TipiCamere.mdb", file);
    const std::string other =
        test::readFile(test::fixturesDir() / "hotel-edge-jet" / "TipiCamere.mdb");
    ASSERT_EQ(other.size(), fs::file_size(file));

    const fs::path first = jetCopy(file);
    const Stamp made = stampOf(first);
    EXPECT_EQ(first.parent_path(), m_cache.path());
    {
        // The helper is not run again: a missing one would fail.
        test::ScopedEnv helper("PRESENZE_JET_HELPER", (m_scripts / "missing").c_str());
        const fs::path again = jetCopy(file);
        EXPECT_EQ(again, first);
        EXPECT_EQ(stampOf(again).inode, made.inode);
        EXPECT_EQ(stampOf(again).modifiedNs, made.modifiedNs);
        // The same file reached by another way is the same source, and a
        // new time over the same content is the same state.
        EXPECT_EQ(jetCopy(m_data / "." / "TipiCamere.mdb"), first);
        fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));
        EXPECT_EQ(jetCopy(file), first);
    }
    // Another content of the same size, written in place with the old time,
    // gets a new copy; the old one goes.
    const auto time = fs::last_write_time(file);
    const ino_t inode = stampOf(file).inode;
    test::writeFile(file, other);
    fs::last_write_time(file, time);
    ASSERT_EQ(stampOf(file).inode, inode);
    const fs::path second = jetCopy(file);
    EXPECT_NE(second, first);
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(filesIn(m_cache.path()).size(), 1u);
    // A copy that does not open is made again.
    test::writeFile(second, "rovinata");
    EXPECT_EQ(jetCopy(file), second);
    EXPECT_NO_THROW(
        Database(second, Database::Mode::ReadOnly).requireColumns("TipiCamere", {"Quantita"}));
    // Another file has its own copy; making it clears copies unused for a
    // month, and nothing that is not a copy.
    const auto monthsAgo = fs::file_time_type::clock::now() - std::chrono::hours(24 * 40);
    for (const char* name : {"0123456789abcdef-1-2-3.sqlite", "notes.txt"}) {
        test::writeFile(m_cache / name, "old");
        fs::last_write_time(m_cache / name, monthsAgo);
    }
    EXPECT_NE(jetCopy(m_data / "jet4_unicode.mdb"), second);
    EXPECT_TRUE(fs::exists(second));
    EXPECT_FALSE(fs::exists(m_cache / "0123456789abcdef-1-2-3.sqlite"));
    EXPECT_TRUE(fs::exists(m_cache / "notes.txt"));
    EXPECT_EQ(filesIn(m_cache.path()).size(), 3u);
}

TEST_F(JetCache, ReadingLeavesTheDataFilesAsTheyWere)
{
    test::TempDir hotel;
    test::copyFixture("hotel-jet", hotel.path());
    struct Before {
        std::string bytes;
        fs::file_time_type modified;
    };
    std::map<fs::path, Before> before;
    for (const auto& file : filesIn(hotel.path())) {
        // Read-only files: the reader never needs more.
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
        before[file] = {test::readFile(file), fs::last_write_time(file)};
    }
    const DataFolder folder(hotel.path());
    readHotelRegistry(folder);
    readRoomTypes(folder);
    readCompanies(folder);
    readBookingHeaders(folder, "2023");
    readRoomLines(folder, "", "20240101", "20240331", [](std::string_view) {});
    for (const auto& [file, was] : before) {
        SCOPED_TRACE(file.string());
        EXPECT_EQ(test::readFile(file), was.bytes);
        EXPECT_EQ(fs::last_write_time(file), was.modified);
    }
    EXPECT_EQ(filesIn(hotel.path()).size(), before.size());
}

TEST_F(JetCache, ErrorsNameTheAccessFileNotItsCopy)
{
    const Database db = openHotelFile(m_data / "jet4_types.mdb");
    try {
        db.requireColumns("Table1", {"A", "Prezzo"});
        FAIL();
    } catch (const DataError& e) {
        EXPECT_NE(std::string(e.what()).find("jet4_types.mdb"), std::string::npos) << e.what();
        EXPECT_EQ(e.field(), "Prezzo");
    }
}
