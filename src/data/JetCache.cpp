#include "data/JetCache.h"

#include "data/AtomicFile.h"
#include "data/CacheFolder.h"
#include "data/ChildProcess.h"
#include "data/ContentHash.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Sqlite.h"
#include "data/SystemErrors.h"
#include "data/Text1252.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace presenze {
namespace {
namespace fs = std::filesystem;

constexpr double kDefaultLimitSeconds = 60.0;
constexpr std::string_view kCopySuffix = ".sqlite";
constexpr std::string_view kWorkMarker = ".tmp-";
// Work files older than this were left by a program that died.
constexpr auto kAbandonedAfter = std::chrono::hours(1);
constexpr auto kUnusedAfter = std::chrono::hours(24 * 30);
constexpr int kAttempts = 3;

// One state of an Access file, as the file system tells it: the content
// read while it holds is one content.
struct SourceState {
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const SourceState&, const SourceState&) = default;
};

[[noreturn]] void unreadable(const fs::path& file, std::string_view reason)
{
    throw DataError("File illeggibile: " + std::string(reason), displayName(file));
}

SourceState stateOf(const fs::path& source, const fs::path& shown)
{
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0) {
        if (errno == ENOENT)
            throw DataError("File non trovato", displayName(shown));
        unreadable(shown, systemErrorText(errno));
    }
    return {static_cast<std::uintmax_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec,
            static_cast<std::uint64_t>(st.st_ino)};
}

std::string hex(std::uint64_t value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (int shift = 60; shift >= 0; shift -= 4)
        text += kHex[(value >> shift) & 0xF];
    return text;
}

// The content of the file as a 128-bit XXH3 hash: a file replaced by
// another of the same size and times still gets a copy of its own.
std::string contentDigest(const fs::path& source, const fs::path& shown)
{
    auto hash = contentHash(source);
    if (!hash)
        unreadable(shown, "errore di lettura");
    return std::move(*hash);
}

// FNV-1a: a short, stable name for a path.
std::string pathDigest(std::string_view path)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : path) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hex(hash);
}

std::string copyName(std::string_view pathDigest, std::string_view content)
{
    return std::string(pathDigest) + "-" + std::string(content) + std::string(kCopySuffix);
}

const char* environment(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// The folder of the copies; a folder that is not trusted is never read.
fs::path cacheFolder(const fs::path& shown)
{
    const fs::path folder = namedCacheFolder();
    switch (checkCacheFolder(folder, fs::absolute(shown).parent_path())) {
    case CacheFolderState::Trusted:
        return folder;
    case CacheFolderState::Unusable:
        unreadable(shown, "impossibile creare la cartella di lavoro " + displayName(folder));
    case CacheFolderState::NotTrusted:
        break;
    }
    unreadable(shown, "la cartella di lavoro " + displayName(folder) +
                          " non appartiene solo a questo utente, o \xE8 nella cartella dei dati");
}

fs::path helperProgram()
{
    if (const char* helper = environment("PRESENZE_JET_HELPER"))
        return helper;
    if (auto beside = besideThisProgram("presenze-jet"))
        return *beside;
    return PRESENZE_JET_HELPER_BUILD_PATH;
}

std::chrono::milliseconds timeLimit()
{
    double seconds = kDefaultLimitSeconds;
    if (const char* text = environment("PRESENZE_JET_TIMEOUT")) {
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        if (end && *end == '\0' && value > 0 && value < 86400)
            seconds = value;
    }
    return std::chrono::milliseconds(static_cast<long>(seconds * 1000));
}

// The helper's own explanation: the last line it wrote.
std::string lastLine(std::string_view output)
{
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.remove_suffix(1);
    const auto start = output.find_last_of('\n');
    return utf8ToCp1252(start == std::string_view::npos ? output : output.substr(start + 1));
}

std::string secondsText(std::chrono::milliseconds limit)
{
    const auto ms = limit.count();
    if (ms % 1000 == 0)
        return std::to_string(ms / 1000);
    return std::to_string(ms / 1000) + "," + std::to_string(ms % 1000 / 100);
}

[[noreturn]] void helperFailed(const fs::path& shown, const fs::path& helper,
                               const ChildOutcome& outcome, std::chrono::milliseconds limit)
{
    switch (outcome.end) {
    case ChildOutcome::End::NotStarted:
        unreadable(shown, "impossibile avviare il lettore dei file Access " + displayName(helper) +
                              " (" + systemErrorText(outcome.code) + ")");
    case ChildOutcome::End::TimedOut:
        unreadable(shown, "la lettura non \xE8 terminata entro " + secondsText(limit) + " secondi");
    case ChildOutcome::End::Signalled:
        unreadable(shown, "la lettura si \xE8 interrotta per un errore grave (segnale " +
                              std::to_string(outcome.code) + ")");
    case ChildOutcome::End::Exited:
        break;
    }
    std::string reason = lastLine(outcome.errorOutput);
    if (reason.empty())
        reason = "la lettura \xE8 terminata con il codice " + std::to_string(outcome.code);
    unreadable(shown, reason);
}

// A copy, made now or found in the cache, must open as a database that
// lists its columns.
bool copyOpens(const fs::path& copy)
{
    try {
        const Database db(copy, Database::Mode::ReadOnly);
        Statement st = db.prepare("SELECT count(*) FROM _jet_columns");
        st.step();
        return true;
    } catch (const DataError&) {
        return false;
    }
}

// The work file the helper writes the copy into, beside its place in the
// cache; only the owner may read it.
std::optional<AtomicFile> workFile(const fs::path& target)
{
    try {
        return std::optional<AtomicFile>(std::in_place, target, FileAccess::Private);
    } catch (const DataError&) {
        return std::nullopt;
    }
}

// A copy lost in a crash is made again: the folder is not flushed.
bool committed(AtomicFile& work)
{
    try {
        work.commit(AtomicFile::Rename::MayBeLost);
        return true;
    } catch (const DataError&) {
        return false;
    }
}

bool isCacheName(std::string_view name)
{
    constexpr std::size_t kDigest = 16;
    if (name.starts_with('.')) // a work file
        name.remove_prefix(1);
    if (name.size() <= kDigest || name[kDigest] != '-')
        return false;
    for (std::size_t i = 0; i < kDigest; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])))
            return false;
    return name.find(kWorkMarker) != std::string_view::npos || name.ends_with(kCopySuffix);
}

// Removes the copies of older states of the same file, copies not made
// again for a month (their files may be long gone) and work files that a
// program which died left behind.
void tidyCache(const fs::path& folder, std::string_view digest, const fs::path& keep)
{
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    const std::string ownPrefix = std::string(digest) + "-";
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!isCacheName(name) || it->path() == keep)
            continue;
        std::error_code ignored;
        const auto age = now - fs::last_write_time(it->path(), ignored);
        if (ignored)
            continue;
        const bool work = name.find(kWorkMarker) != std::string::npos;
        const bool sameSource = name.starts_with(ownPrefix);
        if (work ? age > kAbandonedAfter : (sameSource || age > kUnusedAfter))
            fs::remove(it->path(), ignored);
    }
}

// The file as the cache names it: the same file reached through another
// folder name or a link is the same source.
fs::path sourcePath(const fs::path& accessFile)
{
    std::error_code ec;
    fs::path source = fs::absolute(accessFile, ec);
    if (ec)
        source = accessFile;
    if (fs::path canonical = fs::weakly_canonical(source, ec); !ec)
        source = std::move(canonical);
    return source;
}

// A copy in the cache that opens; one that does not is removed.
bool cachedCopy(const fs::path& target)
{
    std::error_code ec;
    if (!fs::is_regular_file(target, ec))
        return false;
    if (copyOpens(target))
        return true;
    fs::remove(target, ec);
    return false;
}

// A copy to make ahead of jetCopy, with its work file.
struct PendingCopy {
    fs::path file;
    fs::path source;
    SourceState before;
    std::string digest;
    fs::path target;
    std::unique_ptr<AtomicFile> work;
};

// Nullopt for a file whose copy is in the cache, or that jetCopy will have
// to tell about (missing, unreadable, changing, no cache folder).
std::optional<PendingCopy> pendingCopy(const fs::path& accessFile)
{
    try {
        const fs::path source = sourcePath(accessFile);
        const fs::path folder = cacheFolder(accessFile);
        const SourceState before = stateOf(source, accessFile);
        const std::string content = contentDigest(source, accessFile);
        if (stateOf(source, accessFile) != before)
            return std::nullopt;
        std::string digest = pathDigest(source.string());
        fs::path target = folder / copyName(digest, content);
        if (cachedCopy(target))
            return std::nullopt;
        auto work = std::make_unique<AtomicFile>(target, FileAccess::Private);
        return PendingCopy{accessFile, source, before, std::move(digest), target, std::move(work)};
    } catch (const DataError&) {
        return std::nullopt;
    }
}

// The copy put in place when it opens and its file did not change meanwhile.
bool keptCopy(PendingCopy& copy)
{
    try {
        return copyOpens(copy.work->path()) && stateOf(copy.source, copy.file) == copy.before &&
               committed(*copy.work);
    } catch (const DataError&) {
        return false; // jetCopy tells it, if the file is read at all
    }
}

// How many pairs the helper says it copied, one number a line in order.
std::size_t copiedPairs(std::string_view output)
{
    std::size_t done = 0;
    while (!output.empty()) {
        const auto end = output.find('\n');
        if (end == std::string_view::npos || output.substr(0, end) != std::to_string(done + 1))
            break;
        ++done;
        output.remove_prefix(end + 1);
    }
    return done;
}

} // namespace

fs::path jetCopy(const fs::path& accessFile)
{
    const fs::path source = sourcePath(accessFile);
    const fs::path folder = cacheFolder(accessFile);
    const std::string digest = pathDigest(source.string());
    const fs::path helper = helperProgram();
    const auto limit = timeLimit();

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const SourceState before = stateOf(source, accessFile);
        const std::string content = contentDigest(source, accessFile);
        if (stateOf(source, accessFile) != before)
            continue;
        const fs::path target = folder / copyName(digest, content);
        if (cachedCopy(target))
            return target;

        auto work = workFile(target);
        if (!work)
            unreadable(accessFile,
                       "impossibile scrivere nella cartella di lavoro " + displayName(folder));
        const ChildOutcome outcome =
            runChild(helper, {source.string(), work->path().string()},
                     {.limit = limit, .captureOutput = false, .environment = {}});
        if (!outcome.succeeded())
            helperFailed(accessFile, helper, outcome, limit);
        if (!copyOpens(work->path()))
            unreadable(accessFile, "la copia dei dati non si apre");
        // A file written while it was read may have given a mixed copy.
        if (stateOf(source, accessFile) != before)
            continue;
        if (!committed(*work))
            unreadable(accessFile,
                       "impossibile scrivere nella cartella di lavoro " + displayName(folder));
        tidyCache(folder, digest, target);
        return target;
    }
    unreadable(accessFile, "il file cambia mentre viene letto, riprovare");
}

void prepareJetCopies(const std::vector<fs::path>& accessFiles)
{
    std::vector<PendingCopy> pending;
    for (const fs::path& file : accessFiles)
        if (auto copy = pendingCopy(file))
            pending.push_back(std::move(*copy));
    // One file is copied as jetCopy asks for it.
    if (pending.size() < 2)
        return;
    std::vector<std::string> args;
    for (const PendingCopy& copy : pending) {
        args.push_back(copy.source.string());
        args.push_back(copy.work->path().string());
    }
    // The helper tells each pair it has copied, by its number, as it goes:
    // the copies made before a failure are kept.
    const ChildOutcome outcome = runChild(
        helperProgram(), args, {.limit = timeLimit(), .captureOutput = true, .environment = {}});
    pending.resize(std::min(copiedPairs(outcome.output), pending.size()));
    // Each copy is flushed to the disk on a thread of its own, so that the
    // file system writes them out together (here, when no thread can be
    // started).
    std::vector<std::future<bool>> commits;
    for (PendingCopy& copy : pending)
        commits.push_back(std::async(std::launch::async | std::launch::deferred,
                                     [&copy] { return keptCopy(copy); }));
    for (std::size_t i = 0; i < pending.size(); ++i)
        if (commits[i].get())
            tidyCache(pending[i].target.parent_path(), pending[i].digest, pending[i].target);
}

} // namespace presenze
