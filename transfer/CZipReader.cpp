#include "CZipReader.h"

#include "CAtomicFile.h"
#include "CCrc32.h"
#include "CFileException.h"
#include "CZipException.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The reader's own failure codes; CZipException maps them onto causes.
constexpr int kBadCall = -102;
constexpr int kBadArchive = -103;
constexpr int kBadCrc = -105;

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kTextsReadAhead = 466;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint64_t kMaxSearchBack = 0xffff;
constexpr size_t kSearchStep = 1024;
constexpr uint16_t kEncryptedFlag = 0x0001;
constexpr uint16_t kDescriptorFlag = 0x0008;
constexpr uint16_t kZip64ExtraId = 0x0001;
constexpr uint32_t kZip64Marker = 0xffffffff;
constexpr unsigned kUnixHost = 3;
constexpr uint32_t kDosReadOnly = 0x01;

// The process's file creation mask, read once without changing it.
mode_t ReadUmask()
{
    std::FILE* status = std::fopen("/proc/self/status", "re");
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (status != nullptr && !found && std::fgets(line, sizeof line, status) != nullptr) {
        found = std::sscanf(line, "Umask: %o", &mask) == 1;
    }
    if (status != nullptr) {
        std::fclose(status);
    }
    if (!found) {
        mask = umask(022); // no /proc: the two calls race only at start-up
        umask(mode_t(mask));
    }
    return mode_t(mask & 0777);
}

bool HasUnixMode(const ZipEntryInfo& info)
{
    return (info.versionMadeBy >> 8) == kUnixHost && (info.externalAttributes >> 16) != 0;
}

mode_t ProcessUmask()
{
    static const mode_t mask = ReadUmask();
    return mask;
}

// Little-endian fields of a record, read in order.
class CFieldReader
{
public:
    explicit CFieldReader(const unsigned char* data) : data_(data) {}
    uint16_t U16()
    {
        const uint16_t value = uint16_t(data_[0] | data_[1] << 8);
        data_ += 2;
        return value;
    }
    uint32_t U32()
    {
        const uint32_t value = uint32_t(data_[0]) | uint32_t(data_[1]) << 8 |
                               uint32_t(data_[2]) << 16 | uint32_t(data_[3]) << 24;
        data_ += 4;
        return value;
    }

private:
    const unsigned char* data_;
};

void CopyField(const std::string& field, char* buffer, size_t size)
{
    if (buffer == nullptr || size == 0) {
        return;
    }
    const size_t count = std::min(size, field.size());
    std::memcpy(buffer, field.data(), count);
    if (field.size() < size) {
        buffer[field.size()] = '\0';
    }
}

bool HasZip64Extra(const std::string& extra)
{
    for (size_t at = 0; at + 4 <= extra.size();) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(extra.data() + at);
        CFieldReader fields(bytes);
        const uint16_t id = fields.U16();
        const uint16_t size = fields.U16();
        if (id == kZip64ExtraId) {
            return true;
        }
        at += 4 + size_t(size);
    }
    return false;
}

} // namespace

CZipReader::~CZipReader()
{
    EndEntry();
    if (fd_ >= 0) {
        close(fd_);
    }
    for (void* block : blocks_) {
        std::free(block);
    }
}

void CZipReader::Fail(int code, const std::string& detail) const
{
    throw CZipException(CZipException::CauseFromCode(code), path_, detail);
}

void CZipReader::ReadAt(uint64_t position, void* buffer, size_t size) const
{
    if (position > fileSize_ || size > fileSize_ - position) {
        Fail(kBadArchive, "record outside the file");
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        const ssize_t got = pread(fd_, bytes, size, off_t(position));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            Fail(kBadArchive, "read failed");
        }
        bytes += got;
        position += uint64_t(got);
        size -= size_t(got);
    }
}

void CZipReader::OpenArchive(const std::string& path)
{
    CloseArchive();
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status
    {
    };
    if (fd_ < 0 || fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
        const std::string reason = fd_ < 0 ? std::strerror(errno) : "not a file";
        CloseArchive();
        throw CFileException("cannot open the package (" + reason + ")", path);
    }
    path_ = path;
    fileSize_ = uint64_t(status.st_size);

    // The end record lies within the last 65535 bytes; scan backwards in
    // 1028-byte blocks that overlap by 4 bytes, nearest the end first.
    const uint64_t maxBack = std::min(kMaxSearchBack, fileSize_);
    unsigned char block[kSearchStep + 4];
    uint64_t found = 0;
    for (uint64_t back = 4; back < maxBack && found == 0;) {
        back = std::min(back + kSearchStep, maxBack);
        const uint64_t start = fileSize_ - back;
        const size_t size = size_t(std::min<uint64_t>(kSearchStep + 4, fileSize_ - start));
        ReadAt(start, block, size);
        for (size_t i = size - 3; i-- > 0;) {
            if (CFieldReader(block + i).U32() == kEndSignature) {
                found = start + i;
                break;
            }
        }
    }
    if (found == 0) {
        Fail(kBadArchive, "no end of central directory");
    }
    unsigned char record[kEndRecordSize];
    ReadAt(found, record, sizeof record);
    CFieldReader fields(record + 4);
    const uint16_t thisDisk = fields.U16();
    const uint16_t centralDisk = fields.U16();
    const uint16_t entriesHere = fields.U16();
    entryCount_ = fields.U16();
    centralSize_ = fields.U32();
    centralOffset_ = fields.U32();
    if (entryCount_ != entriesHere || thisDisk != 0 || centralDisk != 0) {
        Fail(kBadArchive, "multi-disk archive");
    }
    if (found < uint64_t(centralOffset_) + centralSize_) {
        Fail(kBadArchive, "central directory after its end record");
    }
    endRecordPosition_ = found;
    bytesBefore_ = found - (uint64_t(centralOffset_) + centralSize_);
    GoToFirstEntry();
    CheckLayout();
    GoToFirstEntry();
}

void CZipReader::CheckLayout()
{
    // Each entry takes at least its local header, its name and its data;
    // sorted by where they begin, each must end before the next begins and
    // the last before the central directory. Without this check, entries
    // that share their data would unpack one small package many times over.
    struct Span
    {
        uint64_t start;
        uint64_t end;
        uint16_t index;
    };
    std::vector<Span> spans;
    spans.reserve(entryCount_);
    for (bool more = selected_; more; more = GoToNextEntry()) {
        const uint64_t start = bytesBefore_ + localHeaderOffset_;
        spans.push_back({start,
                         start + kLocalHeaderSize + info_.fileNameLength + info_.compressedSize,
                         index_});
    }
    std::ranges::sort(spans, {}, &Span::start);
    const uint64_t centralStart = bytesBefore_ + centralOffset_;
    limits_.assign(entryCount_, centralStart);
    for (size_t i = 0; i < spans.size(); ++i) {
        const uint64_t limit = i + 1 < spans.size() ? spans[i + 1].start : centralStart;
        if (spans[i].end > limit) {
            Fail(kBadArchive, "entries overlap each other or the central directory");
        }
        limits_[spans[i].index] = limit;
    }
}

void CZipReader::GoToFirstEntry()
{
    if (fd_ < 0) {
        Fail(kBadCall);
    }
    EndEntry();
    selected_ = false;
    index_ = 0;
    centralHeaderPosition_ = bytesBefore_ + centralOffset_;
    if (entryCount_ == 0) {
        return;
    }
    ReadCentralHeader();
    selected_ = true;
}

bool CZipReader::GoToNextEntry()
{
    if (!selected_ || index_ + 1 >= entryCount_) {
        return false;
    }
    EndEntry();
    selected_ = false;
    centralHeaderPosition_ +=
        kCentralHeaderSize + info_.fileNameLength + info_.extraFieldLength + info_.commentLength;
    ++index_;
    ReadCentralHeader();
    selected_ = true;
    return true;
}

void CZipReader::ReadCentralHeader()
{
    // The header and, in most packages, its texts in one read.
    unsigned char header[kCentralHeaderSize + kTextsReadAhead];
    const uint64_t position = centralHeaderPosition_;
    if (position > fileSize_) {
        Fail(kBadArchive, "record outside the file");
    }
    const size_t got = size_t(std::min<uint64_t>(sizeof header, fileSize_ - position));
    if (got < kCentralHeaderSize) {
        Fail(kBadArchive, "record outside the file");
    }
    ReadAt(position, header, got);
    CFieldReader fields(header);
    if (fields.U32() != kCentralSignature) {
        Fail(kBadArchive, "bad central header");
    }
    ZipEntryInfo info;
    info.versionMadeBy = fields.U16();
    info.versionNeeded = fields.U16();
    info.flags = fields.U16();
    info.method = fields.U16();
    info.dosDateTime = fields.U32();
    info.crc32 = fields.U32();
    info.compressedSize = fields.U32();
    info.uncompressedSize = fields.U32();
    info.fileNameLength = fields.U16();
    info.extraFieldLength = fields.U16();
    info.commentLength = fields.U16();
    info.diskNumberStart = fields.U16();
    info.internalAttributes = fields.U16();
    info.externalAttributes = fields.U32();
    info.modificationTime = DosToTime(info.dosDateTime);
    localHeaderOffset_ = fields.U32();

    std::string texts(size_t(info.fileNameLength) + info.extraFieldLength + info.commentLength,
                      '\0');
    const size_t ahead = std::min(texts.size(), got - kCentralHeaderSize);
    std::memcpy(texts.data(), header + kCentralHeaderSize, ahead);
    ReadAt(position + kCentralHeaderSize + ahead, texts.data() + ahead, texts.size() - ahead);
    name_ = texts.substr(0, info.fileNameLength);
    extra_ = texts.substr(info.fileNameLength, info.extraFieldLength);
    comment_ = texts.substr(size_t(info.fileNameLength) + info.extraFieldLength);
    info_ = info;
}

void CZipReader::GetEntryInfo(ZipEntryInfo* info, char* name, size_t nameSize, char* extra,
                              size_t extraSize, char* comment, size_t commentSize) const
{
    if (!selected_) {
        Fail(kBadCall);
    }
    if (info != nullptr) {
        *info = info_;
    }
    CopyField(name_, name, nameSize);
    CopyField(extra_, extra, extraSize);
    CopyField(comment_, comment, commentSize);
}

std::string CZipReader::EntryName() const
{
    ZipEntryInfo info;
    GetEntryInfo(&info);
    std::string name(size_t(info.fileNameLength) + 1, '\0');
    GetEntryInfo(nullptr, name.data(), name.size());
    name.resize(info.fileNameLength);
    return name;
}

void CZipReader::RefuseUnsupported() const
{
    if (info_.flags & kEncryptedFlag) {
        Fail(kBadArchive, "encrypted entry");
    }
    if (info_.compressedSize == kZip64Marker || info_.uncompressedSize == kZip64Marker ||
        localHeaderOffset_ == kZip64Marker || HasZip64Extra(extra_)) {
        Fail(kBadArchive, "ZIP64 entry");
    }
    if (info_.method != Z_NO_COMPRESSION && info_.method != Z_DEFLATED) {
        Fail(kBadArchive, "compression method " + std::to_string(info_.method));
    }
    if (info_.method == Z_NO_COMPRESSION && info_.compressedSize != info_.uncompressedSize) {
        Fail(kBadArchive, "stored entry with two sizes");
    }
}

void CZipReader::OpenEntry()
{
    if (!selected_) {
        Fail(kBadCall);
    }
    CloseEntry();
    RefuseUnsupported();

    const uint64_t localPosition = bytesBefore_ + localHeaderOffset_;
    unsigned char header[kLocalHeaderSize];
    ReadAt(localPosition, header, sizeof header);
    CFieldReader fields(header);
    if (fields.U32() != kLocalSignature) {
        Fail(kBadArchive, "bad local header");
    }
    fields.U16(); // version needed
    const uint16_t flags = fields.U16();
    const uint16_t method = fields.U16();
    fields.U32(); // DOS time and date: not compared
    const uint32_t crc = fields.U32();
    const uint32_t compressedSize = fields.U32();
    const uint32_t uncompressedSize = fields.U32();
    const uint16_t nameLength = fields.U16();
    const uint16_t extraLength = fields.U16();
    const bool sizesFollow = (flags & kDescriptorFlag) != 0;
    if (method != info_.method || nameLength != info_.fileNameLength ||
        (!sizesFollow && (crc != info_.crc32 || compressedSize != info_.compressedSize ||
                          uncompressedSize != info_.uncompressedSize))) {
        Fail(kBadArchive, "local header differs from the central one");
    }
    CheckLocalName(localPosition + kLocalHeaderSize);
    dataPosition_ = localPosition + kLocalHeaderSize + nameLength + extraLength;
    const uint64_t limit = limits_[index_];
    if (dataPosition_ > limit || info_.compressedSize > limit - dataPosition_) {
        Fail(kBadArchive, "entry data outside its own part of the file");
    }

    input_.resize(kInputBufferSize); // allocated once, kept for the next entries
    inputStart_ = inputAvailable_ = 0;
    crc_ = 0;
    compressedLeft_ = info_.compressedSize;
    uncompressedLeft_ = info_.uncompressedSize;
    streamEnded_ = false;
    if (info_.method == Z_DEFLATED) {
        stream_ = new z_stream{};
        stream_->zalloc = &CZipReader::Allocate;
        stream_->zfree = &CZipReader::Release;
        stream_->opaque = this;
        const int result = inflateInit2_(stream_, -MAX_WBITS, "1.1.3", int(sizeof(z_stream)));
        if (result != Z_OK) {
            delete stream_;
            stream_ = nullptr;
            Fail(result);
        }
    }
    open_ = true;
}

void CZipReader::CheckLocalName(uint64_t namePosition) const
{
    std::string local(name_.size(), '\0');
    ReadAt(namePosition, local.data(), local.size());
    if (local != name_) {
        Fail(kBadArchive, "local name differs from the central one");
    }
}

void CZipReader::FillInput()
{
    if (inputAvailable_ == 0 && compressedLeft_ > 0) {
        const size_t size = size_t(std::min<uint64_t>(compressedLeft_, input_.size()));
        ReadAt(dataPosition_, input_.data(), size);
        dataPosition_ += size;
        compressedLeft_ -= size;
        inputStart_ = 0;
        inputAvailable_ = size;
    }
}

size_t CZipReader::ReadEntry(char* buffer, size_t size)
{
    if (!open_) {
        Fail(kBadCall);
    }
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    size = size_t(std::min<uint64_t>(size, uncompressedLeft_));
    const size_t produced =
        info_.method == Z_DEFLATED ? ReadDeflated(buffer, size) : ReadStored(buffer, size);
    crc_ = CCrc32::Update(crc_, buffer, produced);
    uncompressedLeft_ -= produced;
    if (uncompressedLeft_ == 0 && info_.method == Z_DEFLATED && !streamEnded_) {
        CheckNothingBeyond();
    }
    return produced;
}

void CZipReader::CheckNothingBeyond()
{
    // One byte more than the directory records is enough to refuse the
    // entry: a package must not unpack to more than it declares.
    unsigned char spare = 0;
    for (;;) {
        FillInput();
        stream_->next_in = input_.data() + inputStart_;
        stream_->avail_in = unsigned(inputAvailable_);
        stream_->next_out = &spare;
        stream_->avail_out = 1;
        const int result = inflate(stream_, Z_SYNC_FLUSH);
        const size_t consumed = inputAvailable_ - stream_->avail_in;
        inputStart_ += consumed;
        inputAvailable_ -= consumed;
        if (stream_->avail_out == 0) {
            Fail(kBadArchive, "entry larger than its recorded size");
        }
        if (result == Z_STREAM_END) {
            streamEnded_ = true;
            return;
        }
        if (result == Z_BUF_ERROR) {
            return; // the data ends without an end block: nothing more comes out
        }
        if (result != Z_OK) {
            Fail(result);
        }
    }
}

size_t CZipReader::ReadStored(char* buffer, size_t size)
{
    size_t produced = 0;
    while (produced < size) {
        FillInput();
        const size_t count = std::min(size - produced, inputAvailable_);
        if (count == 0) {
            Fail(kBadArchive, "stored data shorter than the entry");
        }
        std::memcpy(buffer + produced, input_.data() + inputStart_, count);
        inputStart_ += count;
        inputAvailable_ -= count;
        produced += count;
    }
    return produced;
}

size_t CZipReader::ReadDeflated(char* buffer, size_t size)
{
    size_t produced = 0;
    while (produced < size) {
        if (streamEnded_) {
            // The data ended before the size the directory records.
            Fail(kBadArchive, "compressed data shorter than the entry");
        }
        FillInput();
        stream_->next_in = input_.data() + inputStart_;
        stream_->avail_in = unsigned(inputAvailable_);
        stream_->next_out = reinterpret_cast<Bytef*>(buffer + produced);
        stream_->avail_out = unsigned(size - produced);
        // When the rest of the entry is in the buffer and the caller takes
        // all of its bytes, inflate finishes in this call and keeps no
        // window: no 32 KiB copy of the output per call.
        const bool whole = compressedLeft_ == 0 && size == uncompressedLeft_;
        const int result = inflate(stream_, whole ? Z_FINISH : Z_SYNC_FLUSH);
        const size_t consumed = inputAvailable_ - stream_->avail_in;
        inputStart_ += consumed;
        inputAvailable_ -= consumed;
        produced = size - stream_->avail_out;
        if (result == Z_STREAM_END) {
            streamEnded_ = true;
            break;
        }
        // A full output buffer is no error: the entry holds more than its
        // recorded size, which the CRC check then finds.
        if (result != Z_OK && result != Z_NEED_DICT &&
            !(result == Z_BUF_ERROR && produced == size)) {
            Fail(result);
        }
    }
    return produced;
}

void CZipReader::CloseEntry()
{
    if (!open_) {
        return;
    }
    const bool complete = uncompressedLeft_ == 0;
    const bool crcMatches = crc_ == info_.crc32;
    EndEntry();
    if (complete && !crcMatches) {
        Fail(kBadCrc);
    }
}

void CZipReader::EndEntry()
{
    if (stream_ != nullptr) {
        inflateEnd(stream_);
        delete stream_;
        stream_ = nullptr;
    }
    open_ = false;
}

void CZipReader::CloseArchive()
{
    struct CloseFile
    {
        CZipReader& reader;
        ~CloseFile()
        {
            if (reader.fd_ >= 0) {
                close(reader.fd_);
            }
            reader.fd_ = -1;
            reader.selected_ = false;
            reader.path_.clear();
        }
    } closeAfterwards{*this};
    CloseEntry();
}

void* CZipReader::Allocate(void* self, unsigned items, unsigned size) noexcept
{
    if (size != 0 && items > SIZE_MAX / size) {
        return nullptr;
    }
    void* block = std::malloc(size_t(items) * size);
    if (block == nullptr) {
        return nullptr;
    }
    try {
        static_cast<CZipReader*>(self)->blocks_.insert(block);
    } catch (...) { // no room to record it: zlib reports Z_MEM_ERROR
        std::free(block);
        return nullptr;
    }
    return block;
}

void CZipReader::Release(void* self, void* block) noexcept
{
    static_cast<CZipReader*>(self)->blocks_.erase(block);
    std::free(block);
}

std::time_t CZipReader::DosToTime(uint32_t dosDateTime)
{
    // mktime looks at the time zone file on every call; the entries of a
    // package mostly share their time, so the last one is kept per thread.
    thread_local uint32_t lastDosDateTime = 0;
    thread_local std::time_t lastTime = -1;
    if (lastTime != -1 && dosDateTime == lastDosDateTime) {
        return lastTime;
    }
    lastDosDateTime = dosDateTime;
    lastTime = ConvertDosTime(dosDateTime);
    return lastTime;
}

std::time_t CZipReader::ConvertDosTime(uint32_t dosDateTime)
{
    const uint32_t time = dosDateTime & 0xffff;
    const uint32_t date = dosDateTime >> 16;
    std::tm parts{};
    parts.tm_sec = int(time & 0x1f) * 2;
    parts.tm_min = int(time >> 5 & 0x3f);
    parts.tm_hour = int(time >> 11);
    parts.tm_mday = int(date & 0x1f);
    parts.tm_mon = int(date >> 5 & 0x0f) - 1;
    parts.tm_year = int(date >> 9) + 80;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

void CZipReader::SetOutputFileTimes(CAtomicFile& output, const ZipEntryInfo& info)
{
    const int fd = output.Descriptor();
    const timespec times[2] = {{0, UTIME_NOW}, {info.modificationTime, 0}};
    bool done = futimens(fd, times) == 0;
    if (done && !HasUnixMode(info)) {
        // Only a read-only attribute changes what the file has now.
        struct stat status
        {
        };
        done = fstat(fd, &status) == 0 && fchmod(fd, OutputMode(status.st_mode & 0777, info)) == 0;
    } else if (done) {
        done = fchmod(fd, OutputMode(0, info)) == 0;
    }
    if (!done) {
        throw CFileException(std::string("cannot stamp the file (") + std::strerror(errno) + ")",
                             output.Target().string());
    }
}

mode_t CZipReader::OutputMode(mode_t current, const ZipEntryInfo& info)
{
    const uint32_t unixMode = info.externalAttributes >> 16;
    if (HasUnixMode(info)) {
        // The stored bits, but never more than the umask lets through; a
        // link or device entry becomes a plain data file.
        const uint32_t type = unixMode & S_IFMT;
        const mode_t wanted = type == 0 || type == S_IFREG ? mode_t(unixMode & 0777) : 0666;
        return wanted & ~ProcessUmask();
    }
    return info.externalAttributes & kDosReadOnly ? current & ~mode_t(0222) : current;
}
