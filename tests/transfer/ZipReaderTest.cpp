#include "CCrc32.h"
#include "CFileException.h"
#include "CNameDecoder.h"
#include "CPackageUnpacker.h"
#include "CUnpackBudget.h"
#include "CUnpackRefused.h"
#include "CZipException.h"
#include "CZipReader.h"
#include "TempFolder.h"
#include "ZipBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class ZipReaderTest : public ::testing::Test
{
protected:
    // Writes the package into the test folder and returns its path.
    std::string Package(const ZipLayout& layout, const std::string& name = "package.zip")
    {
        const fs::path path = folder_ / name;
        WriteFile(path, BuildZip(layout));
        return path.string();
    }

    // The cause of the CZipException that unpacking `layout` throws, 0 if none.
    int UnpackCause(const ZipLayout& layout, UnopenablePolicy policy = UnopenablePolicy::Skip)
    {
        try {
            CPackageUnpacker::Unpack(Package(layout), Out(), policy);
        } catch (const CZipException& error) {
            return error.CauseCode();
        }
        return 0;
    }

    fs::path Out() const { return folder_ / "out"; }

    // Every file below the test folder except the packages.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> files;
        for (const auto& item : fs::recursive_directory_iterator(folder_.Path())) {
            if (!item.is_directory() && item.path().extension() != ".zip") {
                files.push_back(fs::relative(item.path(), folder_.Path()).string());
            }
        }
        std::ranges::sort(files);
        return files;
    }

    TempFolder folder_;
};

TEST_F(ZipReaderTest, UnpacksStoredDeflatedAndDescriptorEntriesIntoSubfolders)
{
    const std::string text(100000, 'a');
    const std::string noise = NoiseBytes(70000);
    ZipLayout layout{{{.name = "items/a/b.png", .data = noise, .method = 0},
                      {.name = "readme.txt", .data = text},
                      {.name = "items/c.txt", .data = noise, .descriptor = true},
                      {.name = "empty.txt", .data = ""}}};
    const UnpackReport report =
        CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Fail);
    EXPECT_EQ(report.written.size(), 4u);
    EXPECT_TRUE(report.skipped.empty());
    EXPECT_EQ(ReadFile(Out() / "items/a/b.png"), noise);
    EXPECT_EQ(ReadFile(Out() / "readme.txt"), text);
    EXPECT_EQ(ReadFile(Out() / "items/c.txt"), noise);
    EXPECT_TRUE(fs::is_regular_file(Out() / "empty.txt"));
    EXPECT_EQ(Files(), (std::vector<std::string>{"out/empty.txt", "out/items/a/b.png",
                                                 "out/items/c.txt", "out/readme.txt"}));
}

TEST_F(ZipReaderTest, FindsTheEndRecordBehindAPrefixAndALongComment)
{
    ZipLayout layout{{{.name = "a.txt", .data = "hello"}}};
    layout.prefix = NoiseBytes(5000);
    layout.comment = std::string(65513, 'c');
    CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Fail);
    EXPECT_EQ(ReadFile(Out() / "a.txt"), "hello");

    layout.comment += 'c'; // 65514 bytes: the record lies beyond the search
    EXPECT_EQ(UnpackCause(layout), CZipException::BadArchive);
}

TEST_F(ZipReaderTest, RefusesBrokenArchivesWithBadArchive)
{
    const ZipEntryLayout good{.name = "a.txt", .data = std::string(5000, 'x')};
    ZipEntryLayout method12 = good;
    method12.method = 12;
    ZipEntryLayout encrypted = good;
    encrypted.flags = 1;
    ZipEntryLayout zip64 = good;
    zip64.extra = std::string("\x01\x00\x00\x00", 4);
    ZipEntryLayout localDiffers = good;
    localDiffers.localSize = 3;
    ZipEntryLayout offsetOutside = good;
    offsetOutside.localOffset = 0x7fffff00;
    ZipEntryLayout dataOutside = good;
    dataOutside.compressedSize = 0x7fff0000;

    for (const ZipEntryLayout& entry :
         {method12, encrypted, zip64, localDiffers, offsetOutside, dataOutside}) {
        EXPECT_EQ(UnpackCause({{entry}}), CZipException::BadArchive) << entry.name;
    }
    ZipLayout multiDisk{{good}};
    multiDisk.disk = 1;
    EXPECT_EQ(UnpackCause(multiDisk), CZipException::BadArchive);

    // Cut off: the end record is gone, or the data it points to is.
    std::string bytes = BuildZip({{good}});
    WriteFile(folder_ / "cut.zip", bytes.substr(0, bytes.size() / 2));
    EXPECT_THROW(
        CPackageUnpacker::Unpack((folder_ / "cut.zip").string(), Out(), UnopenablePolicy::Skip),
        CZipException);
    ZipLayout stretched{{good}};
    stretched.entries[0].localOffset = uint32_t(bytes.size() - 40);
    EXPECT_EQ(UnpackCause(stretched), CZipException::BadArchive);
    EXPECT_TRUE(Files().empty());

    WriteFile(folder_ / "text.zip", "not a package at all");
    EXPECT_THROW(
        CPackageUnpacker::Unpack((folder_ / "text.zip").string(), Out(), UnopenablePolicy::Skip),
        CZipException);
    EXPECT_THROW(
        CPackageUnpacker::Unpack((folder_ / "missing.zip").string(), Out(), UnopenablePolicy::Skip),
        CFileException);
}

TEST_F(ZipReaderTest, RefusesEntriesThatShareOrOverrunTheirBytes)
{
    // Thirty directory entries all pointing at one entry's header and data:
    // a small package that would unpack thirty times over.
    const std::string big(1 << 20, 'z');
    ZipLayout shared{{{.name = "a00.bin", .data = big}}};
    for (int i = 1; i < 30; ++i) {
        ZipEntryLayout copy{.name =
                                "a" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".bin",
                            .data = big,
                            .localOffset = 0};
        copy.localName = "a00.bin";
        shared.entries.push_back(copy);
    }
    EXPECT_EQ(UnpackCause(shared), CZipException::BadArchive);
    // The same with one name: the local name check alone would let it by.
    ZipLayout sameName{{{.name = "a.bin", .data = big}, {.name = "a.bin", .data = big}}};
    sameName.entries[1].localOffset = 0;
    EXPECT_EQ(UnpackCause(sameName), CZipException::BadArchive);

    // A local name that differs from the central one.
    ZipEntryLayout renamed{.name = "good.txt", .data = "x"};
    renamed.localName = "evil.txt";
    EXPECT_EQ(UnpackCause({{renamed}}), CZipException::BadArchive);

    // Data that runs into the central directory, and an entry whose local
    // extra field pushes its data into the next entry.
    const std::string stored = zipbuilder::Deflate("tail");
    ZipEntryLayout intoDirectory{.name = "t.txt", .data = "tail"};
    intoDirectory.compressed = stored + std::string(40, '\0');
    intoDirectory.compressedSize = uint32_t(stored.size() + 80);
    EXPECT_EQ(UnpackCause({{intoDirectory}}), CZipException::BadArchive);
    EXPECT_TRUE(Files().empty());
}

TEST_F(ZipReaderTest, RefusesDeflatedDataThatGrowsPastItsDeclaredSize)
{
    // The recorded size and CRC-32 are those of the first bytes only.
    const std::string whole(300000, 'q');
    ZipEntryLayout grows{.name = "g.bin", .data = whole.substr(0, 1000)};
    grows.compressed = zipbuilder::Deflate(whole);
    EXPECT_EQ(UnpackCause({{grows}}), CZipException::BadArchive);
    ZipEntryLayout empty{.name = "e.bin", .data = ""};
    empty.compressed = zipbuilder::Deflate(whole);
    EXPECT_EQ(UnpackCause({{empty}}), CZipException::BadArchive);
    EXPECT_TRUE(Files().empty());
}

TEST_F(ZipReaderTest, RefusesPackagesBeyondTheirBudgetBeforeWritingAnything)
{
    // 65 MiB of zeros packs into about 64 KB: far beyond 64 times its size.
    const ZipLayout bomb{{{.name = "first.txt", .data = "x"},
                          {.name = "zeros.bin", .data = std::string(65 << 20, '\0')}}};
    try {
        CPackageUnpacker::Unpack(Package(bomb), Out(), UnopenablePolicy::Skip);
        ADD_FAILURE() << "unpacked";
    } catch (const CUnpackRefused& refusal) {
        EXPECT_EQ(std::string(refusal.what()).rfind(CUnpackRefused::kPrefix, 0), 0u);
    }
    EXPECT_TRUE(Files().empty());
    EXPECT_FALSE(fs::exists(Out()));

    constexpr uint64_t kMiB = 1 << 20;
    constexpr uint64_t kPlenty = uint64_t(1) << 40;
    EXPECT_NO_THROW(CUnpackBudget::Check(64 * kMiB, 1000, kPlenty));
    EXPECT_THROW(CUnpackBudget::Check(64 * kMiB + 1, 1000, kPlenty), CUnpackRefused);
    EXPECT_NO_THROW(CUnpackBudget::Check(640 * kMiB, 10 * kMiB, kPlenty));
    EXPECT_THROW(CUnpackBudget::Check(640 * kMiB + 1, 10 * kMiB, kPlenty), CUnpackRefused);
    // At least 256 MiB must stay free on the file system.
    EXPECT_NO_THROW(CUnpackBudget::Check(10 * kMiB, kMiB, 266 * kMiB));
    EXPECT_THROW(CUnpackBudget::Check(10 * kMiB + 1, kMiB, 266 * kMiB), CUnpackRefused);
    EXPECT_THROW(CUnpackBudget::Check(0, kMiB, 100 * kMiB), CUnpackRefused);
    EXPECT_GT(CUnpackBudget::FreeBytes(Out() / "not" / "made" / "yet"), 0u);
}

TEST_F(ZipReaderTest, AcceptsDifferingLocalSizesOnlyWithADataDescriptor)
{
    ZipEntryLayout entry{.name = "a.txt", .data = "described", .descriptor = true};
    CPackageUnpacker::Unpack(Package({{entry}}), Out(), UnopenablePolicy::Fail);
    EXPECT_EQ(ReadFile(Out() / "a.txt"), "described");
}

TEST_F(ZipReaderTest, LeavesNoFileBehindForABadCrcOrCorruptData)
{
    WriteFile(Out() / "b.txt", "old contents");
    ZipLayout badCrc{{{.name = "a.txt", .data = "first"},
                      {.name = "b.txt", .data = std::string(9000, 'q'), .crc = 1234}}};
    EXPECT_EQ(UnpackCause(badCrc), CZipException::BadCrc);
    EXPECT_EQ(ReadFile(Out() / "a.txt"), "first");
    EXPECT_EQ(ReadFile(Out() / "b.txt"), "old contents");

    std::string damaged = zipbuilder::Deflate(NoiseBytes(2000) + std::string(9000, 'r'));
    damaged[damaged.size() / 2] ^= 0x55;
    damaged[damaged.size() / 2 + 1] ^= 0x55;
    const ZipLayout corrupt{{{.name = "b.txt",
                              .data = NoiseBytes(2000) + std::string(9000, 'r'),
                              .compressed = damaged}}};
    EXPECT_NE(UnpackCause(corrupt), 0);
    const ZipLayout shortData{{{.name = "b.txt",
                                .data = std::string(9000, 'r'),
                                .compressed = zipbuilder::Deflate("r")}}};
    EXPECT_EQ(UnpackCause(shortData), CZipException::BadArchive);
    EXPECT_EQ(ReadFile(Out() / "b.txt"), "old contents");
    EXPECT_EQ(Files(), (std::vector<std::string>{"out/a.txt", "out/b.txt"}));
}

TEST_F(ZipReaderTest, NeverWritesOutsideTheTargetFolder)
{
    fs::create_directories(Out());
    fs::create_directories(folder_ / "outside");
    fs::create_symlink(folder_ / "outside", Out() / "link");
    ZipLayout hostile;
    for (const char* name : {"../escaped.txt", "/tmp/pixvel-absolute.txt", "C:evil.txt",
                             "c:\\evil.txt", "..\\escaped.txt", "a/../../escaped.txt",
                             "a\\..\\..\\escaped.txt", "link/x.txt", "..", ""}) {
        hostile.entries.push_back({.name = name, .data = "bad"});
    }
    hostile.entries.push_back({.name = std::string("nul\0.txt", 8), .data = "bad"});
    hostile.entries.push_back({.name = "fine/ok.txt", .data = "good"});
    const UnpackReport report =
        CPackageUnpacker::Unpack(Package(hostile), Out(), UnopenablePolicy::Skip);
    EXPECT_EQ(report.skipped.size(), hostile.entries.size() - 1);
    EXPECT_EQ(Files(), (std::vector<std::string>{"out/fine/ok.txt"}));
    EXPECT_FALSE(fs::exists("/tmp/pixvel-absolute.txt"));

    EXPECT_THROW(CPackageUnpacker::Unpack(Package(hostile), Out(), UnopenablePolicy::Fail),
                 CFileException);
}

TEST_F(ZipReaderTest, LinksInTheTargetFolderAreReplacedOrMustStayInside)
{
    // A link in place of an entry's file is replaced, never written through;
    // a link to a folder inside the target folder may be passed through.
    fs::create_directories(Out() / "real");
    fs::create_directories(folder_ / "outside");
    WriteFile(folder_ / "outside/target.txt", "keep");
    fs::create_symlink(folder_ / "outside/target.txt", Out() / "planted.txt");
    fs::create_symlink(Out() / "real", Out() / "inner");
    const ZipLayout layout{
        {{.name = "planted.txt", .data = "new"}, {.name = "inner/x.txt", .data = "x"}}};
    const UnpackReport report =
        CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Fail);
    EXPECT_EQ(report.written.size(), 2u);
    EXPECT_EQ(ReadFile(folder_ / "outside/target.txt"), "keep");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Out() / "planted.txt")));
    EXPECT_EQ(ReadFile(Out() / "planted.txt"), "new");
    EXPECT_EQ(ReadFile(Out() / "real/x.txt"), "x");
}

TEST_F(ZipReaderTest, FolderEntriesCreateTheirFolders)
{
    const ZipLayout layout{{{.name = "dir/", .data = ""}, {.name = "dir\\sub\\", .data = ""}}};
    const UnpackReport report =
        CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Fail);
    EXPECT_TRUE(report.written.empty());
    EXPECT_TRUE(fs::is_directory(Out() / "dir/sub"));

    // A folder that cannot be made (a file in the way) is no success.
    const ZipLayout blocked{{{.name = "f", .data = "file"}, {.name = "f/", .data = ""}}};
    EXPECT_EQ(CPackageUnpacker::Unpack(Package(blocked), Out(), UnopenablePolicy::Skip).skipped,
              std::vector<std::string>{"f/"});
    EXPECT_THROW(CPackageUnpacker::Unpack(Package(blocked), Out(), UnopenablePolicy::Fail),
                 CFileException);
}

TEST_F(ZipReaderTest, ReadOnlyOutputIsSkippedOrFailsByPolicy)
{
    WriteFile(Out() / "locked.txt", "keep me");
    fs::permissions(Out() / "locked.txt", fs::perms::owner_read);
    const ZipLayout layout{
        {{.name = "locked.txt", .data = "new"}, {.name = "free.txt", .data = "x"}}};
    const UnpackReport report =
        CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Skip);
    EXPECT_EQ(report.skipped, std::vector<std::string>{"locked.txt"});
    EXPECT_EQ(ReadFile(Out() / "locked.txt"), "keep me");
    EXPECT_EQ(ReadFile(Out() / "free.txt"), "x");
    EXPECT_THROW(CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Fail),
                 CFileException);
    EXPECT_EQ(ReadFile(Out() / "locked.txt"), "keep me");
}

TEST_F(ZipReaderTest, StampsTimesAndMapsAttributes)
{
    constexpr uint16_t kUnix = 3 << 8 | 20;
    const ZipLayout layout{{
        {.name = "tool",
         .data = "#!/bin/sh\n",
         .versionMadeBy = kUnix,
         .externalAttributes = (S_IFREG | 04755u) << 16},
        {.name = "readonly.txt", .data = "r", .externalAttributes = 0x01},
        {.name = "hidden.txt", .data = "h", .externalAttributes = 0x02 | 0x20},
        {.name = "link",
         .data = "/etc/passwd",
         .versionMadeBy = kUnix,
         .externalAttributes = (S_IFLNK | 0777u) << 16},
    }};
    CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Fail);
    struct stat info
    {
    };
    ASSERT_EQ(stat((Out() / "tool").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u); // no set-user-id bit
    EXPECT_EQ(info.st_mtime, CZipReader::DosToTime(0x52644567));
    ASSERT_EQ(stat((Out() / "readonly.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0222, 0u);
    ASSERT_EQ(stat((Out() / "hidden.txt").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & 0200, 0u);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Out() / "link")));
    EXPECT_EQ(ReadFile(Out() / "link"), "/etc/passwd");

    std::tm parts{};
    const std::time_t stamped = CZipReader::DosToTime(0x52644567);
    localtime_r(&stamped, &parts);
    EXPECT_EQ(parts.tm_year + 1900, 2021);
    EXPECT_EQ(parts.tm_mon + 1, 3);
    EXPECT_EQ(parts.tm_mday, 4);
    EXPECT_EQ(parts.tm_hour, 8);
    EXPECT_EQ(parts.tm_min, 43);
    EXPECT_EQ(parts.tm_sec, 14);
}

mode_t CurrentUmask()
{
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

TEST_F(ZipReaderTest, StoredModesPassThroughTheUmask)
{
    constexpr uint16_t kUnix = 3 << 8 | 20;
    const auto entry = [](const char* name, uint32_t mode) {
        return ZipEntryLayout{
            .name = name, .data = "x", .versionMadeBy = kUnix, .externalAttributes = mode << 16};
    };
    const ZipLayout layout{{entry("open", S_IFREG | 0777u), entry("plain", S_IFREG | 0666u),
                            entry("private", S_IFREG | 0700u), entry("bare", 0775u),
                            entry("link", S_IFLNK | 0777u), entry("device", S_IFCHR | 0777u)}};
    CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Fail);
    const mode_t mask = CurrentUmask();
    const std::pair<const char*, mode_t> expected[] = {
        {"open", 0777 & ~mask}, {"plain", 0666 & ~mask}, {"private", 0700 & ~mask},
        {"bare", 0775 & ~mask}, {"link", 0666 & ~mask},  {"device", 0666 & ~mask}};
    for (const auto& [name, mode] : expected) {
        struct stat info
        {
        };
        ASSERT_EQ(stat((Out() / name).c_str(), &info), 0) << name;
        EXPECT_EQ(info.st_mode & 07777, mode) << name;
        EXPECT_EQ(info.st_mode & 0022 & mask, 0u) << name; // never writable beyond the umask
    }
}

TEST_F(ZipReaderTest, ItemFilesAreWrittenWithoutExecuteBits)
{
    constexpr uint16_t kUnix = 3 << 8 | 20;
    const ZipLayout layout{{{.name = "sticker.png",
                             .data = "not really a picture",
                             .versionMadeBy = kUnix,
                             .externalAttributes = (S_IFREG | 0777u) << 16}}};
    const mode_t mask = CurrentUmask();
    struct stat info
    {
    };
    CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Skip, EntryModes::NoExecute);
    ASSERT_EQ(stat((Out() / "sticker.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0666 & ~mask);
    CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Skip);
    ASSERT_EQ(stat((Out() / "sticker.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0777 & ~mask);
}

TEST_F(ZipReaderTest, NamesAreDecodedAsTheFlagSaysOrFromCodePage949)
{
    const std::string korean = "하트/별.png";
    const std::string cp949 = "\xc7\xcf\xc6\xae/\xba\xb0.png"; // the same in code page 949
    const std::string neither = "\xff\xfe.png";
    const ZipLayout layout{{{.name = cp949, .data = "made on a Korean system"},
                            {.name = "a/" + korean, .data = "UTF-8 without the flag"},
                            {.name = "b/" + korean, .data = "UTF-8 with the flag", .flags = 0x800},
                            {.name = "c/" + cp949, .data = "flagged, not UTF-8", .flags = 0x800},
                            {.name = neither, .data = "neither"}}};
    const UnpackReport report =
        CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Skip);
    EXPECT_EQ(ReadFile(Out() / korean), "made on a Korean system");
    EXPECT_EQ(ReadFile(Out() / "a" / korean), "UTF-8 without the flag");
    EXPECT_EQ(ReadFile(Out() / "b" / korean), "UTF-8 with the flag");
    EXPECT_EQ(report.skipped, (std::vector<std::string>{"c/" + cp949, neither}));
    for (const auto& item : fs::recursive_directory_iterator(folder_.Path())) {
        EXPECT_TRUE(CNameDecoder::IsValidUtf8(item.path().string())) << item.path();
    }
    EXPECT_THROW(CPackageUnpacker::Unpack(Package({{{.name = neither, .data = "x"}}}, "n.zip"),
                                          Out(), UnopenablePolicy::Fail),
                 CFileException);

    EXPECT_TRUE(CNameDecoder::IsValidUtf8("plain ascii"));
    for (const char* bad :
         {"\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe0\x80\xaf", "\xc3"}) {
        EXPECT_FALSE(CNameDecoder::IsValidUtf8(bad)) << bad; // overlong, surrogate, too high, cut
    }
}

TEST_F(ZipReaderTest, ALargePackageSharedAmongThreadsKeepsPackageOrder)
{
    ZipLayout layout;
    for (int i = 0; i < 40; ++i) {
        layout.entries.push_back(
            {.name = "set" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".bin",
             .data = NoiseBytes(64 * 1024, uint32_t(i + 1)),
             .method = uint16_t(i % 2 == 0 ? 8 : 0)});
    }
    layout.entries.push_back({.name = "../out.bin", .data = "x"});
    const UnpackReport report =
        CPackageUnpacker::Unpack(Package(layout), Out(), UnopenablePolicy::Skip);
    ASSERT_EQ(report.written.size(), 40u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(report.written[size_t(i)], Out() / layout.entries[size_t(i)].name);
        EXPECT_EQ(ReadFile(report.written[size_t(i)]), layout.entries[size_t(i)].data);
    }
    EXPECT_EQ(report.skipped, std::vector<std::string>{"../out.bin"});

    // The first damaged entry in package order is the one reported, and
    // nothing is left half-written.
    layout.entries[30].crc = 1;
    layout.entries[10].compressed = std::string(100, '\xff');
    layout.entries[10].compressedSize = 100;
    fs::remove_all(Out());
    EXPECT_EQ(UnpackCause(layout), 6);
    EXPECT_FALSE(fs::exists(Out() / layout.entries[10].name));
    for (const auto& item : fs::recursive_directory_iterator(Out())) {
        EXPECT_FALSE(item.path().filename().string().starts_with(".pixvel-")) << item.path();
    }
}

TEST(Crc32Test, MatchesZlibAtEveryLengthAndAlignment)
{
    const std::string bytes = NoiseBytes(70000);
    for (size_t size : {0, 1, 63, 255, 256, 257, 1000, 4096, 65536, 69990}) {
        for (size_t start : {0, 1, 7}) {
            const auto* data = reinterpret_cast<const Bytef*>(bytes.data() + start);
            const uint32_t expected = uint32_t(crc32_z(0, data, size));
            EXPECT_EQ(CCrc32::Update(0, data, size), expected) << size << "+" << start;
            EXPECT_EQ(CCrc32::Update(expected, data, 300), uint32_t(crc32_z(expected, data, 300)));
        }
    }
}

TEST_F(ZipReaderTest, ReaderCallsFollowTheEntryProtocol)
{
    CZipReader reader;
    EXPECT_THROW(reader.OpenEntry(), CZipException);
    reader.OpenArchive(Package({{{.name = "first.txt", .data = "one"},
                                 {.name = "second.txt", .data = "two", .method = 0}}}));
    char name[6];
    reader.GetEntryInfo(nullptr, name, sizeof name);
    EXPECT_EQ(std::string(name, sizeof name), "first."); // cut off, no NUL
    EXPECT_THROW(reader.ReadEntry(name, 1), CZipException);
    ASSERT_TRUE(reader.GoToNextEntry());
    EXPECT_EQ(reader.EntryName(), "second.txt");
    reader.OpenEntry();
    char data[8] = {};
    EXPECT_EQ(reader.ReadEntry(data, sizeof data), 3u);
    EXPECT_EQ(reader.ReadEntry(data, sizeof data), 0u);
    EXPECT_FALSE(reader.GoToNextEntry());
    reader.CloseArchive();

    CZipReader empty; // an end record at offset 0 is not taken for one
    EXPECT_THROW(empty.OpenArchive(Package({}, "empty.zip")), CZipException);
    ZipLayout stub;
    stub.prefix = "stub";
    empty.OpenArchive(Package(stub, "stub.zip"));
    EXPECT_FALSE(empty.HasEntry());
    EXPECT_FALSE(empty.GoToNextEntry());
}

} // namespace
