#include "support/TestSupport.h"

#include "data/DataError.h"
#include "data/Sqlite.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace presenze::test {
namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "presenze-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Make everything writable again so that read-only cases can be removed.
    for (auto it = fs::recursive_directory_iterator(m_path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

ScopedEnv::ScopedEnv(std::string name, const char* value) : m_name(std::move(name))
{
    if (const char* old = std::getenv(m_name.c_str()))
        m_old = old;
    if (value)
        ::setenv(m_name.c_str(), value, 1);
    else
        ::unsetenv(m_name.c_str());
}

ScopedEnv::~ScopedEnv()
{
    if (m_old)
        ::setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

fs::path fixturesDir()
{
    if (const char* env = std::getenv("PRESENZE_FIXTURES"))
        return env;
    return PRESENZE_FIXTURES_DIR;
}

std::optional<fs::path> jetSample(std::string_view file)
{
    const fs::path kept = fixturesDir() / "jet" / file;
    if (fs::exists(kept))
        return kept;
    if (const char* extra = std::getenv("PRESENZE_EXTRA_FIXTURES"); extra && *extra) {
        const fs::path found = fs::path(extra) / file;
        if (fs::exists(found))
            return found;
    }
    return std::nullopt;
}

std::string missingJetSample(std::string_view file)
{
    return std::string(file) +
           " is not in the repository (no stated licence): set PRESENZE_EXTRA_FIXTURES to a "
           "folder that holds it to run this check";
}

void copyJetSamples(const fs::path& dir)
{
    fs::create_directories(dir);
    for (const char* name : {"jet4_types.mdb", "jet4_unicode.mdb", "jet3_nwind.mdb",
                             "jet4_dates.mdb", "ace12_assets.accdb"}) {
        if (const auto from = jetSample(name)) {
            fs::copy_file(*from, dir / name, fs::copy_options::overwrite_existing);
            fs::permissions(dir / name, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::add);
        }
    }
}

void settle(const fs::path& file)
{
    const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(file, anHourAgo);
    std::error_code ec;
    for (const char* companion : {"-wal", "-journal"})
        fs::last_write_time(fs::path(file.string() + companion), anHourAgo, ec);
}

void copyFixture(std::string_view name, const fs::path& dir)
{
    const fs::path from = fixturesDir() / name;
    fs::create_directories(dir);
    for (const auto& entry : fs::directory_iterator(from)) {
        const fs::path to = dir / entry.path().filename();
        fs::copy_file(entry.path(), to, fs::copy_options::overwrite_existing);
        fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
        settle(to);
    }
}

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& file, std::string_view bytes)
{
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::error_code ec;
    if (fs::is_regular_file(file, ec))
        settle(file);
}

void runSql(const fs::path& file, std::string_view sql)
{
    {
        const Database db(file, Database::Mode::Create);
        db.exec(sql);
    }
    settle(file);
}

FixedClock fixedClock()
{
    return FixedClock(DateTime{{2026, 12, 8}, 14, 0});
}

int ScriptedInteraction::ask(std::string_view title, std::string_view text, bool withCancel)
{
    questions.emplace_back(text);
    if (answers.empty())
        return AnswerYes;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedInteraction::warn(std::string_view title, std::string_view text)
{
    warnings.push_back(std::string(title) + ": " + std::string(text));
}

void ScriptedInteraction::status(std::string_view text)
{
    statuses.emplace_back(text);
}

void FailingSink::write(std::string_view bytes)
{
    if (written.size() + bytes.size() > m_limit)
        throw DataError("Errore di scrittura: dispositivo pieno", "dispositivo di prova");
    written.append(bytes);
}

ChildOutcome runTool(const std::string& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env)
{
    return runChild(program, args,
                    {.limit = std::chrono::minutes(1), .captureOutput = true, .environment = env});
}

RunResult runProgram(std::string_view program, const std::vector<std::string>& args,
                     const fs::path& workdir, const std::vector<std::string>& env,
                     const std::function<void()>& inChild)
{
    return runExecutable(fs::path(PRESENZE_BIN_DIR) / program, args, workdir, env, inChild);
}

RunResult runExecutable(const fs::path& program, const std::vector<std::string>& args,
                        const fs::path& workdir, const std::vector<std::string>& env,
                        const std::function<void()>& inChild)
{
    TempDir scratch;
    const fs::path outFile = scratch / "out", errFile = scratch / "err";
    const std::string exe = program.string();
    // What this process has buffered is written once, not again by the child.
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!workdir.empty() && ::chdir(workdir.c_str()) != 0)
            ::_exit(127);
        if (!std::freopen(outFile.c_str(), "w", stdout) ||
            !std::freopen(errFile.c_str(), "w", stderr))
            ::_exit(127);
        for (const auto& e : env) {
            const auto equals = e.find('=');
            if (equals == std::string::npos)
                ::unsetenv(e.c_str());
            else
                ::setenv(e.substr(0, equals).c_str(), e.substr(equals + 1).c_str(), 1);
        }
        if (inChild)
            inChild();
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(exe.c_str()));
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(exe.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    RunResult result;
    result.signalled = WIFSIGNALED(status);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readFile(outFile);
    result.err = readFile(errFile);
    return result;
}

} // namespace presenze::test
