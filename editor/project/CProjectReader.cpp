#include "CProjectReader.h"

#include "CBitmap.h"
#include "CPictureItem.h"
#include "CProjectManifest.h"
#include "CZipReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <map>

namespace {

const char* const kManifestName = "manifest.json";
constexpr int kAllocationLimitMb = int(CBitmap::kMaxDecodePixels * 4 / (1024 * 1024));
// A PNG's signature and its header chunk, which holds the picture's size.
constexpr int kPngHeadBytes = 8 + 8 + 13;

struct Refusal
{
    QString reason;
};

QString Damaged()
{
    return QStringLiteral("프로젝트 파일이 손상되었거나 Pixvel 프로젝트가 아닙니다.");
}

[[noreturn]] void RefuseOverBudget(const QString& detail)
{
    throw Refusal{CProjectManifest::OverBudget() + QLatin1Char('\n') + detail};
}

// Where an entry of interest sits in the package, and the size it declares.
struct EntryPlace
{
    int index = 0;
    qint64 size = 0;
};

// Walks the entries of one package in order; going back starts again from
// the first.
class CEntryCursor
{
public:
    explicit CEntryCursor(const QString& path)
    {
        reader_.OpenArchive(QFile::encodeName(path).toStdString());
    }

    // The manifest and the bitmap entries, by name; a name given twice
    // would let the second entry hide the first.
    std::map<std::string, EntryPlace> Directory()
    {
        std::map<std::string, EntryPlace> places;
        GoTo(0);
        for (bool more = reader_.HasEntry(); more; more = Next()) {
            const std::string name = reader_.EntryName();
            if (name != kManifestName && name.rfind("bitmaps/", 0) != 0) {
                continue;
            }
            ZipEntryInfo info;
            reader_.GetEntryInfo(&info);
            if (!places.emplace(name, EntryPlace{at_, qint64(info.uncompressedSize)}).second) {
                throw Refusal{Damaged()};
            }
        }
        return places;
    }

    // Up to `limit` bytes of an entry: the whole entry, or its first bytes.
    QByteArray Read(const EntryPlace& place, qint64 limit)
    {
        GoTo(place.index);
        const qint64 wanted = std::min(place.size, limit);
        QByteArray bytes(qsizetype(wanted), Qt::Uninitialized);
        reader_.OpenEntry();
        qint64 got = 0;
        while (got < wanted) {
            const size_t read = reader_.ReadEntry(bytes.data() + got, size_t(wanted - got));
            if (read == 0) {
                throw Refusal{Damaged()};
            }
            got += qint64(read);
        }
        reader_.CloseEntry(); // checks the CRC-32 of a whole entry
        return bytes;
    }

private:
    void GoTo(int index)
    {
        if (index < at_ || !reader_.HasEntry()) {
            reader_.GoToFirstEntry();
            at_ = 0;
        }
        while (at_ < index && Next()) {
        }
    }

    bool Next()
    {
        const bool more = reader_.GoToNextEntry();
        at_ += more ? 1 : 0;
        return more;
    }

    CZipReader reader_;
    int at_ = 0;
};

// The size a PNG's header announces; empty when it is no PNG.
QSize PngSize(const QByteArray& head)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (head.size() < kPngHeadBytes || !head.startsWith(signature) ||
        head.mid(12, 4) != QByteArrayLiteral("IHDR")) {
        return {};
    }
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    const quint32 width = qFromBigEndian<quint32>(bytes + 16);
    const quint32 height = qFromBigEndian<quint32>(bytes + 20);
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX) {
        return {};
    }
    return QSize(int(width), int(height));
}

QString Unreadable(const QString& name)
{
    return QStringLiteral("프로젝트의 그림 파일(%1)을 읽을 수 없습니다.").arg(name);
}

// One bitmap the manifest names: its entry and the size its header announces.
struct NamedBitmap
{
    EntryPlace place;
    QSize size;
};

// Every budget is held against what the package declares before a single
// bitmap is inflated or decoded: the bytes of the manifest and the named
// bitmaps, the pixels of the named bitmaps, and the base picture's size.
std::map<QString, NamedBitmap> CheckBitmaps(CEntryCursor& cursor,
                                            const CProjectManifest::Parsed& parsed,
                                            const std::map<std::string, EntryPlace>& places,
                                            qint64 manifestBytes)
{
    std::map<QString, NamedBitmap> bitmaps;
    qint64 bytes = manifestBytes;
    for (const QString& name : parsed.bitmapNames) {
        if (name.isEmpty() || bitmaps.count(name) != 0) {
            continue;
        }
        const auto place = places.find(name.toStdString());
        if (place == places.end()) {
            throw Refusal{QStringLiteral("프로젝트에 그림 파일(%1)이 없습니다.").arg(name)};
        }
        bytes += place->second.size;
        bitmaps.emplace(name, NamedBitmap{place->second, {}});
    }
    if (bytes > CProjectReader::kMaxInflatedBytes) {
        RefuseOverBudget(QStringLiteral("풀린 크기가 %1 MB를 넘습니다.")
                             .arg(CProjectReader::kMaxInflatedBytes >> 20));
    }
    qint64 pixels = 0;
    for (auto& [name, bitmap] : bitmaps) {
        bitmap.size = PngSize(cursor.Read(bitmap.place, kPngHeadBytes));
        if (bitmap.size.isEmpty()) {
            throw Refusal{Unreadable(name)};
        }
        pixels += qint64(bitmap.size.width()) * bitmap.size.height();
    }
    if (pixels > CProjectReader::kMaxPixels) {
        RefuseOverBudget(QStringLiteral("그림들의 화소가 모두 %1개를 넘습니다.")
                             .arg(CProjectReader::kMaxPixels));
    }
    const QSize base = bitmaps.at(parsed.bitmapNames.front()).size;
    if (base != QSize(int(parsed.baseSize.width() + 0.5), int(parsed.baseSize.height() + 0.5))) {
        RefuseOverBudget(QStringLiteral("바탕 그림의 크기가 그림 파일의 크기와 다릅니다."));
    }
    return bitmaps;
}

// Decodes the named bitmaps one at a time, so that no more than one PNG's
// bytes are held beside the pixels.
std::map<QString, QImage> DecodeBitmaps(CEntryCursor& cursor,
                                        const std::map<QString, NamedBitmap>& bitmaps)
{
    std::map<QString, QImage> decoded;
    for (const auto& [name, bitmap] : bitmaps) {
        QImage image = CProjectReader::DecodeBitmap(cursor.Read(bitmap.place, bitmap.place.size));
        if (image.size() != bitmap.size) {
            throw Refusal{Unreadable(name)};
        }
        decoded.emplace(name, std::move(image));
    }
    return decoded;
}

ProjectContent Assemble(CProjectManifest::Parsed parsed, const std::map<QString, QImage>& decoded)
{
    for (size_t i = 0; i < parsed.items.size(); ++i) {
        const QString& name = parsed.bitmapNames[qsizetype(i)];
        if (!name.isEmpty()) {
            static_cast<CPictureItem&>(*parsed.items[i]).SetBitmap(decoded.at(name));
        }
    }
    ProjectContent content;
    content.baseSize = parsed.baseSize;
    content.documentPath = parsed.documentPath;
    content.items = std::move(parsed.items);
    return content;
}

} // namespace

bool CProjectReader::IsProjectPath(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("pixvel"), Qt::CaseInsensitive) == 0;
}

QImage CProjectReader::DecodeBitmap(const QByteArray& png)
{
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAllocationLimit(kAllocationLimitMb);
    const QSize size = reader.size();
    if (size.isEmpty() || qint64(size.width()) * size.height() > CBitmap::kMaxDecodePixels) {
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return {};
    }
    // The formats every picture of the editor comes in.
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

std::optional<ProjectContent> CProjectReader::Read(const QString& path, QString* error)
{
    const auto refuse = [error](const QString& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return std::nullopt;
    };
    try {
        // The manifest first; then only the bitmaps it names, each once.
        CEntryCursor cursor(path);
        const std::map<std::string, EntryPlace> places = cursor.Directory();
        const auto manifest = places.find(kManifestName);
        if (manifest == places.end() || manifest->second.size > kMaxManifestBytes) {
            return refuse(Damaged());
        }
        std::optional<CProjectManifest::Parsed> parsed =
            CProjectManifest::Read(cursor.Read(manifest->second, kMaxManifestBytes), error);
        if (!parsed) {
            return std::nullopt;
        }
        const std::map<QString, NamedBitmap> bitmaps =
            CheckBitmaps(cursor, *parsed, places, manifest->second.size);
        return Assemble(std::move(*parsed), DecodeBitmaps(cursor, bitmaps));
    } catch (const Refusal& refusal) {
        return refuse(refusal.reason);
    } catch (const std::bad_alloc&) {
        return refuse(QStringLiteral("프로젝트를 열 메모리가 부족합니다."));
    } catch (const std::exception&) {
        // The ZIP reader's refusals of damaged and hostile packages, and a
        // file that cannot be opened.
        return refuse(Damaged());
    }
}
