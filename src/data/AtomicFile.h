#pragma once
// Files the program writes (report file, CSV, archive copy, message file) are
// written to a temporary file beside the target and renamed over it at the
// end, so an interrupted run never leaves a half-written file under the real
// name. Writers talk to a ByteSink, so tests can put a failing device in its
// place.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace presenze {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Raises DataError when the bytes cannot be written.
    virtual void write(std::string_view bytes) = 0;
};

class AtomicFile final : public ByteSink {
public:
    // Raises DataError when the temporary file cannot be created (for
    // example in a read-only folder).
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile() override;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view bytes) override;
    // Flushes and renames the file over the target.
    void commit();

    const std::filesystem::path& target() const { return m_target; }

private:
    [[noreturn]] void fail(const std::string& what) const;

    std::filesystem::path m_target;
    std::filesystem::path m_temp;
    std::FILE* m_file = nullptr;
    bool m_committed = false;
};

// Writes the whole content atomically.
void writeFileAtomically(const std::filesystem::path& target, std::string_view content);

// Reads a whole file; raises DataError when it cannot be read.
std::string readWholeFile(const std::filesystem::path& file);

} // namespace presenze
