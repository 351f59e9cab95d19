#include "app/BadInput.h"

#include "data/Schema.h"
#include "data/Text1252.h"
#include "demo/DemoData.h"

#include <cerrno>
#include <csignal>
#include <grp.h>
#include <memory>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace presenze::test {
namespace fs = std::filesystem;

namespace {

const fs::path& demoOriginal()
{
    static std::unique_ptr<TempDir> dir;
    static std::once_flag once;
    std::call_once(once, [] {
        dir = std::make_unique<TempDir>();
        DemoOptions options;
        options.seed = 5;
        options.reference = Date{2026, 2, 15};
        writeDemoData(dir->path(), options);
    });
    return dir->path();
}

bool isDataFile(const std::string& name)
{
    const std::string upper = upperCp1252(utf8ToCp1252(name));
    if (upper.size() > 4 && upper.compare(upper.size() - 4, 4, ".MDB") == 0)
        return !upper.starts_with("VALLOMIR");
    for (const auto text : schema::kSettingsFiles)
        if (upper == upperCp1252(text))
            return true;
    return false;
}

} // namespace

DemoCopy::DemoCopy()
{
    for (const auto& entry : fs::directory_iterator(demoOriginal())) {
        fs::copy_file(entry.path(), m_dir / entry.path().filename().string());
        settle(m_dir / entry.path().filename().string());
    }
}

void DemoCopy::sql(std::string_view file, std::string_view statements) const
{
    runSql(m_dir / file, statements);
}

std::optional<fs::path> StagedPrograms::forUser(unsigned user, std::string& why)
{
    static std::unique_ptr<TempDir> dir;
    static std::once_flag once;
    std::call_once(once, [] {
        dir = std::make_unique<TempDir>();
        fs::permissions(dir->path(), fs::perms::owner_all | fs::perms::group_read |
                                         fs::perms::group_exec | fs::perms::others_read |
                                         fs::perms::others_exec);
        for (const char* program : {"presenze-cli", "presenze-cli-full", "presenze-jet"})
            fs::copy_file(fs::path(PRESENZE_BIN_DIR) / program, *dir / program);
    });
    // Whether the user reaches the program there (the temporary folder may
    // itself be out of reach).
    const fs::path cli = *dir / "presenze-cli";
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0)
            ::_exit(2);
        ::_exit(::access(cli.c_str(), X_OK) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return dir->path();
    why = "user " + std::to_string(user) + " cannot run " + cli.string();
    return std::nullopt;
}

CliResult runCli(const std::vector<std::string>& args, const fs::path& workdir,
                 const std::vector<std::string>& env, const CliLimits& limits)
{
    const fs::path program =
        (limits.programs.empty() ? fs::path(PRESENZE_BIN_DIR) : limits.programs) / "presenze-cli";
    RunResult run = runExecutable(program, args, workdir, env, [&limits] {
        if (limits.fileSizeLimit) {
            // Writes beyond the limit fail with EFBIG instead of ending the program.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit size{*limits.fileSizeLimit, *limits.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &size);
        }
        if (limits.memoryLimit) {
            const rlimit memory{*limits.memoryLimit, *limits.memoryLimit};
            ::setrlimit(RLIMIT_AS, &memory);
        }
        if (limits.user && (::setgroups(0, nullptr) != 0 || ::setgid(*limits.user) != 0 ||
                            ::setuid(*limits.user) != 0))
            ::_exit(126);
        // A hang ends with SIGALRM, which the test reports as a signal.
        ::alarm(static_cast<unsigned>(limits.seconds));
    });
    CliResult result;
    result.status = run.status;
    result.signalled = run.signalled;
    result.out = std::move(run.out);
    result.err = std::move(run.err);
    return result;
}

CliResult runReport(int type, const fs::path& dir, const std::vector<std::string>& extra,
                    const std::vector<std::string>& env)
{
    std::vector<std::string> args = {
        "report", "--type", std::to_string(type), "--from", kDemoMonth, "--station", kTag};
    args.insert(args.end(), extra.begin(), extra.end());
    return runCli(args, dir, env);
}

::testing::AssertionResult failsNaming(const CliResult& r, const std::vector<std::string>& names)
{
    if (r.signalled)
        return ::testing::AssertionFailure()
               << "ended by signal " << r.status - 128 << ": " << r.err;
    if (r.status != 1)
        return ::testing::AssertionFailure() << "exit status " << r.status << ": " << r.err;
    if (r.err.find("imprevisto") != std::string::npos)
        return ::testing::AssertionFailure() << "an unexpected error: " << r.err;
    for (const auto& name : names)
        if (r.err.find(name) == std::string::npos)
            return ::testing::AssertionFailure()
                   << "the message does not name " << name << ": " << r.err;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult succeeds(const CliResult& r)
{
    if (r.signalled || r.status != 0)
        return ::testing::AssertionFailure() << "status " << r.status << ": " << r.err;
    return ::testing::AssertionSuccess();
}

std::map<std::string, FileState> folderState(const fs::path& dir)
{
    std::map<std::string, FileState> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        struct stat st {};
        ::stat(entry.path().c_str(), &st);
        files[entry.path().filename().string()] = {
            readFile(entry.path()),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
    }
    return files;
}

std::map<std::string, FileState> dataFileState(const fs::path& dir)
{
    auto files = folderState(dir);
    std::erase_if(files, [](const auto& entry) { return !isDataFile(entry.first); });
    return files;
}

} // namespace presenze::test
