#pragma once

#include <filesystem>

// Writes a file that replaces `target` only once it is complete: the bytes
// go to a temporary file beside the target, and Commit renames it over the
// target. A transfer or an unpack that fails part-way therefore never
// destroys the file that was there, and leaves no half-written file behind
// (nor does a program ended by a signal, through CPartialFiles).
class CAtomicFile
{
public:
    CAtomicFile() = default;
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // False when the target could not be opened for writing: it is
    // read-only (no write permission bit, as a read-only attribute maps
    // here), a folder, or its folder does not take new files. An existing
    // target's permission bits carry over to the new file.
    bool Open(const std::filesystem::path& target);
    // Throws CFileException when the bytes cannot be written (disk full).
    void Write(const char* data, size_t size);
    // The open temporary file, for stamping times and attributes.
    int Descriptor() const { return fd_; }
    const std::filesystem::path& Target() const { return target_; }
    // Closes the file and renames it over the target; throws CFileException.
    void Commit();
    // Closes and removes the temporary file; the target stays as it was.
    void Discard();

private:
    void Forget();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    int partialSlot_ = -1; // CPartialFiles' record of the temporary file
};
