#pragma once
// The one way the program replaces a file (report file, CSV, archive copy,
// message file, PDF, working database, Access copies, demo data): the new
// content goes to a temporary file beside the target, is flushed to the disk
// and renamed over the target at commit, and the folder is flushed too. A
// write that fails, or an AtomicFile dropped without commit (an exception on
// the way), leaves the previous file as it was and no temporary file behind.
//
//   AtomicFile file(target);          // as a byte stream
//   file.write(bytes);
//   file.commit();
//
//   AtomicFile file(target);          // as a path, for a writer that opens
//   { Database db(file.path(), ...); } // the file by name (SQLite, a helper
//   file.commit();                     // program, the PDF printer)
//
// The temporary file is created with its final permissions (0666 for a shared
// file, 0600 for a private one, less the process umask, as open(2) applies
// it); the umask is never changed. Writers talk to a ByteSink, so tests can
// put a failing device in its place.
//
// Only a file is ever replaced: a target that is a folder, a device, a named
// pipe or a socket is refused before anything is written, and again just
// before the rename. A symbolic link is replaced by the new file; what it
// points to is never written. commitAsNew() replaces nothing: the file takes
// the first free name of "name.ext", "name-2.ext", "name-3.ext"..., claimed
// in one step, so two programs never take the same one.

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

// Who may read the new file: everyone the umask lets (the files the user
// sees), or the owner only (copies of the hotel data in the cache).
enum class FileAccess { Shared, Private };

class AtomicFile final : public ByteSink {
public:
    // Creates the temporary file; raises DataError when it cannot be
    // created (for example in a read-only folder).
    explicit AtomicFile(std::filesystem::path target, FileAccess access = FileAccess::Shared);
    ~AtomicFile() override;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view bytes) override;
    // Flushes the file to the disk, renames it over the target and flushes
    // the folder. Whatever wrote the file by its path must have closed it.
    // A file that may be made again (a copy in a cache) may leave the
    // folder unflushed: after a crash the target is then the old file or the
    // whole new one, never a part of it.
    enum class Rename { Durable, MayBeLost };
    void commit(Rename rename = Rename::Durable);
    // The same under the first free name (see above); returns it.
    std::filesystem::path commitAsNew();

    const std::filesystem::path& target() const { return m_target; }
    // The temporary file, for a writer that opens it by name.
    const std::filesystem::path& path() const { return m_temp; }

private:
    void flushBuffer();
    void closeFile();
    void syncTemp();
    [[noreturn]] void fail(const std::string& what, int error) const;

    std::filesystem::path m_target;
    std::filesystem::path m_temp;
    int m_fd = -1;
    std::string m_buffer; // bytes not yet handed to the file
    bool m_committed = false;
};

// Writes the whole content atomically.
void writeFileAtomically(const std::filesystem::path& target, std::string_view content,
                         FileAccess access = FileAccess::Shared);

// Raises DataError naming the file when something that is not a file (or a
// symbolic link) lies at `target`.
void checkReplaceable(const std::filesystem::path& target);

} // namespace presenze
