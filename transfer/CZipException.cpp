#include "CZipException.h"

namespace {

std::string Message(int cause, const std::string& archivePath, const std::string& detail)
{
    std::string text = CZipException::Describe(cause);
    if (!detail.empty()) {
        text += " (" + detail + ")";
    }
    if (!archivePath.empty()) {
        text += ": " + archivePath;
    }
    return text;
}

} // namespace

CZipException::CZipException(int cause, std::string archivePath, const std::string& detail)
    : std::runtime_error(Message(cause, archivePath, detail)), cause_(cause),
      archivePath_(std::move(archivePath))
{}

int CZipException::CauseFromCode(int code)
{
    switch (code) {
    case 1:
        return StreamEnd;
    case 2:
        return NeedDictionary;
    case -1:
        return FileSystem;
    case -2:
        return StreamError;
    case -3:
        return DataError;
    case -4:
        return OutOfMemory;
    case -5:
        return BufferError;
    case -6:
        return VersionMismatch;
    case -102:
        return BadCall;
    case -103:
        return BadArchive;
    case -105:
        return BadCrc;
    default:
        return Generic;
    }
}

const char* CZipException::Describe(int cause)
{
    switch (cause) {
    case StreamEnd:
        return "unexpected end of compressed data";
    case NeedDictionary:
        return "compressed data needs a preset dictionary";
    case FileSystem:
        return "file system error while reading the package";
    case StreamError:
        return "inconsistent compressed stream";
    case DataError:
        return "corrupt compressed data";
    case OutOfMemory:
        return "out of memory";
    case BufferError:
        return "compressed data ends too early";
    case VersionMismatch:
        return "incompatible zlib version";
    case BadCall:
        return "no package entry selected or open";
    case BadArchive:
        return "not a readable ZIP package";
    case BadCrc:
        return "CRC-32 mismatch";
    default:
        return "package error";
    }
}
