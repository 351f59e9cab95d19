#pragma once
// A file opened for reading only, closed with the object. Only a regular
// file opens: a folder, a device, a named pipe or a socket is refused (a
// pipe would block the reader, a device could be anything). The station's
// own files (the report file) are opened without following a symbolic link:
// another user of a shared folder could otherwise plant one that leads the
// program to a file only its user may read and copy it into the folder.

#include <cstdint>
#include <filesystem>
#include <string>

namespace presenze {

enum class Links { Follow, Refuse };

class InputFile {
public:
    // Raises DataError "Impossibile leggere il file" naming the file, with
    // the reason.
    InputFile(std::filesystem::path file, Links links);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;

    // Up to `size` bytes from the current position (0 at the end of the file).
    std::size_t read(char* buffer, std::size_t size);
    // The same from `offset`, leaving the position alone.
    std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const;
    // The size when the file was opened.
    std::uint64_t size() const { return m_size; }
    const std::filesystem::path& path() const { return m_path; }

private:
    [[noreturn]] void failRead(int error) const;

    std::filesystem::path m_path;
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

} // namespace presenze
