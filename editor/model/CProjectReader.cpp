#include "CProjectReader.h"

#include "CBitmap.h"
#include "CPictureItem.h"
#include "CProjectManifest.h"
#include "CZipReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <map>

namespace {

const char* const kManifestName = "manifest.json";
constexpr int kAllocationLimitMb = int(CBitmap::kMaxDecodePixels * 4 / (1024 * 1024));

struct Refusal
{
    QString reason;
};

QString Damaged()
{
    return QStringLiteral("프로젝트 파일이 손상되었거나 Pixvel 프로젝트가 아닙니다.");
}

// One entry's bytes, refused when it holds more than `limit`.
QByteArray ReadEntry(CZipReader& reader, qint64 limit)
{
    ZipEntryInfo info;
    reader.GetEntryInfo(&info);
    if (qint64(info.uncompressedSize) > limit) {
        throw Refusal{Damaged()};
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(info.uncompressedSize));
    char chunk[64 * 1024];
    reader.OpenEntry();
    for (size_t got = reader.ReadEntry(chunk, sizeof chunk); got > 0;
         got = reader.ReadEntry(chunk, sizeof chunk)) {
        if (bytes.size() + qint64(got) > limit) {
            throw Refusal{Damaged()};
        }
        bytes.append(chunk, qsizetype(got));
    }
    reader.CloseEntry();
    return bytes;
}

// The manifest and the bitmap entries of a package, by name; other entries
// are not read.
std::map<std::string, QByteArray> ReadEntries(const QString& path)
{
    std::map<std::string, QByteArray> entries;
    CZipReader reader;
    reader.OpenArchive(QFile::encodeName(path).toStdString());
    for (bool more = reader.HasEntry(); more; more = reader.GoToNextEntry()) {
        const std::string name = reader.EntryName();
        const bool manifest = name == kManifestName;
        if (!manifest && name.rfind("bitmaps/", 0) != 0) {
            continue;
        }
        // A name given twice would let the second entry hide the first.
        if (entries.count(name) != 0) {
            throw Refusal{Damaged()};
        }
        entries.emplace(name, ReadEntry(reader, manifest ? CProjectReader::kMaxManifestBytes
                                                         : CProjectReader::kMaxBitmapBytes));
    }
    reader.CloseArchive();
    return entries;
}

ProjectContent Assemble(CProjectManifest::Parsed parsed,
                        const std::map<std::string, QByteArray>& entries)
{
    std::map<QString, QImage> decoded;
    for (size_t i = 0; i < parsed.items.size(); ++i) {
        const QString& name = parsed.bitmapNames[qsizetype(i)];
        if (name.isEmpty()) {
            continue;
        }
        auto found = decoded.find(name);
        if (found == decoded.end()) {
            const auto entry = entries.find(name.toStdString());
            if (entry == entries.end()) {
                throw Refusal{QStringLiteral("프로젝트에 그림 파일(%1)이 없습니다.").arg(name)};
            }
            QImage bitmap = CProjectReader::DecodeBitmap(entry->second);
            if (bitmap.isNull()) {
                throw Refusal{
                    QStringLiteral("프로젝트의 그림 파일(%1)을 읽을 수 없습니다.").arg(name)};
            }
            found = decoded.emplace(name, std::move(bitmap)).first;
        }
        static_cast<CPictureItem&>(*parsed.items[i]).SetBitmap(found->second);
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
        const std::map<std::string, QByteArray> entries = ReadEntries(path);
        const auto manifest = entries.find(kManifestName);
        if (manifest == entries.end()) {
            return refuse(Damaged());
        }
        std::optional<CProjectManifest::Parsed> parsed =
            CProjectManifest::Read(manifest->second, error);
        if (!parsed) {
            return std::nullopt;
        }
        return Assemble(std::move(*parsed), entries);
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
