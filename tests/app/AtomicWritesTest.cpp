// Every file the program writes is written beside its place under another
// name and renamed over it only when whole: a write that fails half way
// (here: the file size limit of the process, which makes a write fail with
// EFBIG the way a full disk does) leaves the previous file under the real
// name, and no work file behind.

#include "app/BadInput.h"
#include "common/CompanyListFile.h"
#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/CompanyListLine.h"
#include "data/DataError.h"
#include "output/ArchiveCopy.h"
#include "output/MailDispatch.h"
#include "output/ReportPreview.h"
#include "request/PrintRequest.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace presenze;
using test::succeeds;
namespace fs = std::filesystem;

namespace {

// Runs `write` in a child process whose files may not grow beyond `limit`
// bytes. True when it raised DataError, as a failed write must.
bool failsWithin(std::uintmax_t limit, const std::function<void()>& write)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
        try {
            write();
        } catch (const DataError&) {
            ::_exit(1);
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

// Names of work files left in a folder.
std::vector<std::string> workFiles(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".tmp-") != std::string::npos)
            names.push_back(name);
    }
    return names;
}

test::CliResult limitedRun(const std::vector<std::string>& args, const fs::path& dir,
                           std::uintmax_t limit)
{
    test::CliLimits limits;
    limits.fileSizeLimit = limit;
    return test::runCli(args, dir, {}, limits);
}

// A printing that throws at the start of month `failAt`.
class FailingInteraction final : public Interaction {
public:
    explicit FailingInteraction(int failAt) : m_failAt(failAt) {}
    int ask(std::string_view, std::string_view, bool) override { return AnswerYes; }
    void warn(std::string_view, std::string_view) override {}
    void month(int index, int, std::string_view) override
    {
        if (index == m_failAt)
            throw DataError("Interrotto");
    }

private:
    int m_failAt;
};

} // namespace

TEST(AtomicWrites, TheFileHelperReplacesTheFileOnlyAtCommit)
{
    test::TempDir dir;
    const fs::path target = dir / "dati.mdb";
    const std::string big(50000, 'x');
    struct Case {
        const char* what;
        std::function<void()> write;
        bool replaced;
    };
    const Case cases[] = {
        {"stream, disk full",
         [&] {
             AtomicFile file(target);
             file.write(big);
             file.commit();
         },
         false},
        {"stream, no commit",
         [&] {
             AtomicFile file(target);
             file.write("NUOVO");
             throw DataError("Interrotto");
         },
         false},
        {"path, no commit",
         [&] {
             AtomicFile file(target);
             test::writeFile(file.path(), "NUOVO");
             throw DataError("Interrotto");
         },
         false},
        {"path, committed",
         [&] {
             AtomicFile file(target);
             test::writeFile(file.path(), "NUOVO");
             file.commit();
         },
         true},
    };
    for (const Case& c : cases) {
        test::writeFile(target, "PRECEDENTE");
        EXPECT_EQ(failsWithin(20000, c.write), !c.replaced) << c.what;
        EXPECT_EQ(test::readFile(target), c.replaced ? "NUOVO" : "PRECEDENTE") << c.what;
        EXPECT_TRUE(workFiles(dir.path()).empty()) << c.what;
    }
}

TEST(AtomicWrites, OnlyAFileIsReplacedALinkNeverWrittenThroughANewNameNeverReplaces)
{
    test::TempDir dir, outside;
    // A folder, a named pipe, a socket (and, as root, a device) are refused
    // before anything is written beside them.
    fs::create_directory(dir / "cartella");
    ASSERT_EQ(::mkfifo((dir / "coda").c_str(), 0600), 0);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (dir / "presa").string();
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::vector<std::string> refused = {"cartella", "coda", "presa"};
    if (::geteuid() == 0 && ::mknod((dir / "pieno").c_str(), S_IFCHR | 0600, ::makedev(1, 7)) == 0)
        refused.push_back("pieno");
    for (const auto& name : refused) {
        EXPECT_THROW(writeFileAtomically(dir / name, "x"), DataError) << name;
        EXPECT_FALSE(fs::is_regular_file(dir / name)) << name;
    }
    ::close(socket);
    EXPECT_TRUE(workFiles(dir.path()).empty());

    // A link is replaced by the new file; what it pointed to stays.
    test::writeFile(outside / "altrove", "ALTROVE");
    fs::create_symlink(outside / "altrove", dir / "link.png");
    writeFileAtomically(dir / "link.png", "PNG");
    EXPECT_FALSE(fs::is_symlink(dir / "link.png"));
    EXPECT_EQ(test::readFile(dir / "link.png"), "PNG");
    EXPECT_EQ(test::readFile(outside / "altrove"), "ALTROVE");

    // New names: eight writers at once under one name each get one of their
    // own, and none replaces another.
    std::vector<pid_t> writers;
    for (int i = 0; i < 8; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            AtomicFile file(dir / "fd3202612081400.pdf");
            file.write(std::to_string(i));
            file.commitAsNew();
            ::_exit(0);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers)
        ::waitpid(pid, nullptr, 0);
    std::set<std::string> contents;
    for (int n = 1; n <= 8; ++n) {
        const std::string name =
            n == 1 ? "fd3202612081400.pdf" : "fd3202612081400-" + std::to_string(n) + ".pdf";
        ASSERT_TRUE(fs::exists(dir / name)) << name;
        contents.insert(test::readFile(dir / name));
    }
    EXPECT_EQ(contents.size(), 8u);
    EXPECT_TRUE(workFiles(dir.path()).empty());
}

TEST(AtomicWrites, NewFilesTakeTheUmaskWithoutChangingIt)
{
    test::TempDir dir;
    const mode_t previous = ::umask(027);
    writeFileAtomically(dir / "condiviso", "a");
    writeFileAtomically(dir / "privato", "b", FileAccess::Private);
    EXPECT_EQ(::umask(previous), 027);
    const auto mode = [&](const char* name) {
        return fs::status(dir / name).permissions() & fs::perms::all;
    };
    EXPECT_EQ(mode("condiviso"), static_cast<fs::perms>(0640));
    EXPECT_EQ(mode("privato"), static_cast<fs::perms>(0600));
}

TEST(AtomicWrites, TheReportFileOfAFailedRequestIsThePreviousOne)
{
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), {"--detail", "--kind", "all"})));
    const std::string previous = test::readFile(dir / "fd3");
    ASSERT_GT(previous.size(), 60000u);
    // Type 2 writes only the report file: cut it short at 30 kB.
    const auto cut = limitedRun({"report", "--type", "2", "--from", test::kDemoMonth, "--to",
                                 "04/2026", "--station", test::kTag, "--detail"},
                                dir.path(), 30000);
    EXPECT_TRUE(test::failsNaming(cut, {"fd3"}));
    EXPECT_TRUE(test::readFile(dir / "fd3") == previous);
    EXPECT_TRUE(workFiles(dir.path()).empty());

    // A request that stops in its second month, in the core.
    for (const ReportKind kind : {ReportKind::Type1, ReportKind::Type2}) {
        FailingInteraction ui(2);
        const FixedClock clock = test::fixedClock();
        ReportContext context{DataFolder(dir.path()), test::kTag, clock, ui};
        Selection selection;
        EXPECT_THROW(runPrintRequest(kind, {1, 2026, 3, 2026}, selection, context), DataError);
        EXPECT_TRUE(test::readFile(dir / "fd3") == previous);
        EXPECT_TRUE(workFiles(dir.path()).empty());
    }
}

TEST(AtomicWrites, TheWorkingDatabaseOfAFailedMonthIsThePreviousOne)
{
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path(), {"--detail", "--kind", "all"})));
    const std::string previous = test::readFile(dir / "Vallomir3.mdb");
    test::writeFile(dir / "fd3", test::kOldReport);
    const auto cut = limitedRun({"report", "--type", "1", "--from", "05/2026", "--station",
                                 test::kTag, "--detail", "--kind", "all"},
                                dir.path(), 12000);
    EXPECT_TRUE(test::failsNaming(cut, {"Vallomir3.mdb"}));
    EXPECT_TRUE(test::readFile(dir / "Vallomir3.mdb") == previous);
    EXPECT_EQ(test::readFile(dir / "fd3"), test::kOldReport);
    EXPECT_TRUE(workFiles(dir.path()).empty());
}

TEST(AtomicWrites, TheCsvAndThePrintFilesOfAFailedRunAreThePreviousOnes)
{
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), {"--detail", "--kind", "all"})));
    const std::vector<std::string> csv = {"csv", "--station", test::kTag};
    const std::vector<std::string> raw = {"print", "--destination", "Aghi Reception", "--station",
                                          test::kTag};
    const std::vector<std::string> pdf = {"print",     "--destination", "PDF Ufficio", "--printer",
                                          "copia.pdf", "--station",     test::kTag};
    for (const auto& [args, file] : {std::pair{csv, "fd3.csv"}, std::pair{raw, "StampaAghi.prn"},
                                     std::pair{pdf, "copia.pdf"}}) {
        test::writeFile(dir / file, "PRECEDENTE");
        EXPECT_TRUE(test::failsNaming(limitedRun(args, dir.path(), 20000), {file})) << file;
        EXPECT_EQ(test::readFile(dir / file), "PRECEDENTE") << file;
        EXPECT_TRUE(workFiles(dir.path()).empty()) << file;
        // And whole when there is room.
        ASSERT_TRUE(succeeds(test::runCli(args, dir.path()))) << file;
        EXPECT_GT(fs::file_size(dir / file), 20000u) << file;
    }
}

TEST(AtomicWrites, ArchiveCopyMailFilePreviewAndCompanyList)
{
    test::DemoCopy dir;
    const DataFolder folder(dir.path());
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), {"--detail", "--kind", "all"})));
    const std::string report = test::readFile(dir / "fd3");

    const std::string archive = archiveCopyName(test::kTag, DateTime{{2026, 12, 8}, 14, 0});
    fs::create_directories(dir / "doc");
    test::writeFile(dir / archive, "PRECEDENTE");
    EXPECT_TRUE(failsWithin(20000, [&] { makeArchiveCopy(folder, test::kTag, archive); }));
    EXPECT_EQ(test::readFile(dir / archive), "PRECEDENTE");
    // With room, the copy takes the next free name and the older stays.
    EXPECT_EQ(makeArchiveCopy(folder, test::kTag, archive),
              dir / archiveSibling(archive, "-2.doc"));
    EXPECT_EQ(test::readFile(dir / archive), "PRECEDENTE");

    test::writeFile(dir / mailFileName(test::kTag), "PRECEDENTE");
    EXPECT_TRUE(failsWithin(20000, [&] { writeMailFile(folder, test::kTag, report); }));
    EXPECT_EQ(test::readFile(dir / mailFileName(test::kTag)), "PRECEDENTE");

    // The preview saves the whole report again.
    EXPECT_TRUE(failsWithin(20000, [&] {
        ReportPreview preview(dir / "fd3");
        preview.readChunk(kFirstChunk);
        preview.save("RIGA CAMBIATA\r\n");
    }));
    EXPECT_TRUE(test::readFile(dir / "fd3") == report);

    const std::string list = test::readFile(dir / "ElencoDitte.txt");
    std::vector<std::string> items(3000, companyListLine(1, std::string(60, 'D')));
    EXPECT_TRUE(failsWithin(20000, [&] { writeCompanyListFile(folder, items); }));
    EXPECT_EQ(test::readFile(dir / "ElencoDitte.txt"), list);

    EXPECT_TRUE(workFiles(dir.path()).empty());
}
