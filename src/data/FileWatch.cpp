#include "data/FileWatch.h"

#include "data/ContentHash.h"
#include "data/DataError.h"

#include <algorithm>
#include <sys/stat.h>
#include <thread>

namespace presenze {
namespace fs = std::filesystem;

namespace {

// How often a wait looks at the file again (and lets the notice cancel it).
constexpr auto kPoll = std::chrono::milliseconds(100);

std::int64_t nanoseconds(const timespec& t)
{
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::string secondsText(std::chrono::milliseconds limit)
{
    return std::to_string((limit.count() + 999) / 1000);
}

} // namespace

SteadyRead::SteadyRead(fs::path file, const Stillness& stillness, WaitNotice notice)
    : m_files{file, fs::path(file.string() + "-wal")}, m_stillness(stillness),
      m_notice(std::move(notice)), m_giveUp(std::chrono::steady_clock::now() + stillness.most)
{}

void SteadyRead::begin()
{
    waitUntilStill();
    m_hashes = hashes();
}

bool SteadyRead::unchanged() const
{
    return states() == m_states && hashes() == m_hashes;
}

void SteadyRead::next()
{
    if (m_attempt == kReadAttempts)
        failChanging();
    std::this_thread::sleep_for(std::chrono::milliseconds(20) * m_attempt);
    ++m_attempt;
}

void SteadyRead::waitUntilStill()
{
    bool noticed = false;
    const auto endNotice = [&] {
        if (noticed && m_notice)
            m_notice({});
    };
    for (;;) {
        m_states = states();
        const auto wait = stillFor(m_states);
        if (wait.count() <= 0)
            break;
        if (std::chrono::steady_clock::now() + wait > m_giveUp) {
            endNotice();
            failChanging();
        }
        if (m_notice) {
            noticed = true;
            const std::string text = "Lettura in attesa: attendo che il file " +
                                     displayName(m_files.front()) +
                                     " resti fermo (un altro programma lo sta scrivendo; al "
                                     "massimo " +
                                     secondsText(m_stillness.most) + " secondi)";
            if (!m_notice(text)) {
                endNotice();
                throw DataError("Lettura annullata mentre si attendeva che il file restasse fermo",
                                displayName(m_files.front()));
            }
        }
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(wait, kPoll));
    }
    endNotice();
}

SteadyRead::State SteadyRead::stateOf(const fs::path& file)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return {};
    return {true,
            static_cast<std::uintmax_t>(st.st_size),
            nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim),
            static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino)};
}

std::vector<SteadyRead::State> SteadyRead::states() const
{
    std::vector<State> result;
    result.reserve(m_files.size());
    for (const auto& file : m_files)
        result.push_back(stateOf(file));
    return result;
}

std::vector<std::string> SteadyRead::hashes() const
{
    std::vector<std::string> result;
    result.reserve(m_files.size());
    for (const auto& file : m_files)
        result.push_back(contentHash(file).value_or(std::string()));
    return result;
}

std::chrono::nanoseconds SteadyRead::stillFor(const std::vector<State>& states) const
{
    const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    const std::int64_t still = std::chrono::nanoseconds(m_stillness.still).count();
    std::int64_t wait = 0;
    // A time ahead of this clock (a share whose clock runs ahead) tells
    // nothing: such a file is not waited for.
    for (const State& s : states) {
        const std::int64_t age = now - s.modifiedNs;
        if (s.exists && age >= 0)
            wait = std::max<std::int64_t>(wait, still - age);
    }
    return std::chrono::nanoseconds(wait);
}

void SteadyRead::failChanging() const
{
    throw DataError("File illeggibile: il file cambia mentre viene letto, riprovare",
                    displayName(m_files.front()));
}

} // namespace presenze
