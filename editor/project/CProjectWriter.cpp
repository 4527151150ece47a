#include "CProjectWriter.h"

#include "CPictureItem.h"
#include "CPngBatch.h"
#include "CProjectManifest.h"
#include "CZipWriter.h"

#include <QCryptographicHash>
#include <QSaveFile>

#include <map>
#include <new>
#include <stdexcept>

namespace {

void SetError(QString* error, const QString& text)
{
    if (error != nullptr) {
        *error = text;
    }
}

// The distinct bitmaps of the items (a bitmap shared by several items once),
// and for each item the index of its bitmap (−1 for text).
std::vector<QImage> DistinctBitmaps(const ProjectContent& content, std::vector<int>& itemBitmap)
{
    std::vector<QImage> bitmaps;
    std::map<qint64, int> byKey;
    for (const auto& item : content.items) {
        const auto* picture = dynamic_cast<const CPictureItem*>(item.get());
        if (picture == nullptr) {
            itemBitmap.push_back(-1);
            continue;
        }
        const auto [found, added] =
            byKey.emplace(picture->Bitmap().cacheKey(), int(bitmaps.size()));
        if (added) {
            bitmaps.push_back(picture->Bitmap());
        }
        itemBitmap.push_back(found->second);
    }
    return bitmaps;
}

QString EntryName(const QByteArray& png)
{
    return QStringLiteral("bitmaps/%1.png")
        .arg(QString::fromLatin1(
            QCryptographicHash::hash(png, QCryptographicHash::Blake2b_256).toHex()));
}

} // namespace

bool CProjectWriter::Pack(const ProjectContent& content, Package* package, QString* error)
{
    // Never a project that could not be opened again.
    if (content.items.empty() || content.items.front()->GetKind() != CItem::Picture) {
        SetError(error, QStringLiteral("저장할 그림이 없습니다."));
        return false;
    }
    std::vector<int> itemBitmap;
    const std::vector<QImage> bitmaps = DistinctBitmaps(content, itemBitmap);
    const std::vector<QByteArray> pngs =
        CPngBatch::EncodeAll(bitmaps.size(), [&bitmaps](size_t i) { return bitmaps[i]; });
    QStringList names;
    std::map<QString, bool> written;
    for (const int index : itemBitmap) {
        if (index < 0) {
            names.append(QString());
            continue;
        }
        const QByteArray& png = pngs[size_t(index)];
        if (png.isEmpty()) {
            SetError(error, QStringLiteral("그림을 PNG로 만들 수 없습니다 (메모리 부족)."));
            return false;
        }
        const QString name = EntryName(png);
        names.append(name);
        // Equal pictures in different bitmaps make equal files: kept once.
        if (written.emplace(name, true).second) {
            package->bitmaps.emplace_back(name, png);
        }
    }
    package->manifest = CProjectManifest::Write(content, names);
    return true;
}

bool CProjectWriter::Write(const Package& package, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    try {
        CZipWriter zip([&file](const char* data, size_t size) {
            if (file.write(data, qint64(size)) != qint64(size)) {
                throw std::runtime_error(file.errorString().toStdString());
            }
        });
        zip.AddDeflated("manifest.json", package.manifest.constData(),
                        size_t(package.manifest.size()));
        for (const auto& [name, png] : package.bitmaps) {
            zip.AddStored(name.toStdString(), png.constData(), size_t(png.size()));
        }
        zip.Finish();
    } catch (const std::exception& failure) {
        file.cancelWriting();
        SetError(error, QString::fromStdString(failure.what()));
        return false;
    }
    if (!file.commit()) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}

bool CProjectWriter::Save(const ProjectContent& content, const QString& path, QString* error)
{
    try {
        Package package;
        return Pack(content, &package, error) && Write(package, path, error);
    } catch (const std::bad_alloc&) {
        // The manifest or the package's buffers: the old file stays.
        SetError(error, QStringLiteral("메모리가 부족합니다."));
        return false;
    }
}
