#include "CVelunarAddress.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <map>

namespace {

const std::array<const char*, 7> kParameters = {"title", "key",  "program", "name",
                                                "url",   "file", "size"};

// Strict percent-decoding: "%" takes two hexadecimal digits, "+" stays "+",
// and the bytes must be UTF-8.
std::optional<QString> Decode(const QString& encoded)
{
    static const QRegularExpression kBadEscape("%(?![0-9A-Fa-f]{2})");
    if (encoded.contains(kBadEscape)) {
        return std::nullopt;
    }
    const QByteArray decoded = QByteArray::fromPercentEncoding(encoded.toUtf8());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(decoded);
    if (utf8.hasError()) {
        return std::nullopt;
    }
    return text;
}

std::optional<uint32_t> Size(const QString& text)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (!ok || value > UINT32_MAX || text.isEmpty() || !text[0].isDigit()) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

} // namespace

std::optional<VelunarRequest> CVelunarAddress::Parse(const QString& address, QString& error)
{
    const QString prefix = QString(kScheme) + ":download?";
    if (!address.startsWith(prefix, Qt::CaseInsensitive)) {
        error = QString("not a download address: it must start with '%1'").arg(prefix);
        return std::nullopt;
    }
    std::map<QString, QString> values;
    for (const QString& pair : address.mid(prefix.size()).split('&')) {
        const qsizetype equals = pair.indexOf('=');
        const QString name = pair.left(equals);
        if (equals < 0 ||
            std::find(kParameters.begin(), kParameters.end(), name) == kParameters.end()) {
            error = QString("unknown parameter '%1'").arg(pair.left(equals));
            return std::nullopt;
        }
        const std::optional<QString> value = Decode(pair.mid(equals + 1));
        if (!value) {
            error = QString("the value of '%1' is not percent-encoded UTF-8").arg(name);
            return std::nullopt;
        }
        if (!values.emplace(name, *value).second) {
            error = QString("the parameter '%1' is given twice").arg(name);
            return std::nullopt;
        }
    }
    for (const char* name : kParameters) {
        if (!values.contains(name)) {
            error = QString("the parameter '%1' is missing").arg(name);
            return std::nullopt;
        }
    }
    const std::optional<uint32_t> size = Size(values["size"]);
    if (!size) {
        error = QString("the size '%1' is not a number of bytes").arg(values["size"]);
        return std::nullopt;
    }
    return VelunarRequest{
        values["title"], values["key"], values["program"], values["name"], values["url"],
        values["file"],  *size};
}

std::vector<HostCall> CVelunarAddress::Calls(const VelunarRequest& request)
{
    return {
        {"DownloaderName", {request.title}},
        {"RegistryPath", {request.key, request.program}},
        {"ClipDownload",
         {request.name, request.url, request.file, static_cast<int32_t>(request.size)}},
    };
}
