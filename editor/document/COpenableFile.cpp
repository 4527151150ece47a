#include "COpenableFile.h"

#include "CPictureCommands.h"
#include "CPictureReader.h"
#include "CProjectReader.h"

#include <QFileInfo>

const QString COpenableFile::kMissing = QStringLiteral("파일을 찾을 수 없습니다.\n%1");

std::optional<QString> COpenableFile::Refusal(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return kMissing.arg(path);
    }
    // Only the header is read: the picture itself is decoded once, by
    // whoever opens or places it. A folder is no picture either.
    if (!info.isFile() ||
        (!CProjectReader::IsProjectPath(path) && !CPictureReader::Recognises(path))) {
        return CPictureCommands::kUnreadable.arg(path);
    }
    return std::nullopt;
}
