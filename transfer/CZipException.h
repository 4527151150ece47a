#pragma once

#include <stdexcept>
#include <string>

// A package that cannot be read. The cause codes keep the numbering the
// programs and their packages were designed with; zlib's and the reader's
// own return values map onto them through FromZlib and FromReader.
class CZipException : public std::runtime_error
{
public:
    enum Cause
    {
        Generic = 1,
        StreamEnd = 2,
        NeedDictionary = 3,
        FileSystem = 4,
        StreamError = 5,
        DataError = 6,
        OutOfMemory = 7,
        BufferError = 8,
        VersionMismatch = 9,
        BadCall = 10,
        BadArchive = 11,
        BadCrc = 12,
    };

    CZipException(int cause, std::string archivePath, const std::string& detail = {});

    int CauseCode() const { return cause_; }
    const std::string& ArchivePath() const { return archivePath_; }

    // zlib's return values 1 .. -6 and the reader's -102, -103, -105.
    static int CauseFromCode(int code);
    static const char* Describe(int cause);

private:
    int cause_;
    std::string archivePath_;
};
