#pragma once

#include "HostCall.h"

#include <QString>

#include <optional>

// A download request as a page addresses it:
// velunar:download?title=T&key=K&program=P&name=N&url=U&file=F&size=S, every
// value percent-encoded UTF-8, each parameter exactly once.
struct VelunarRequest
{
    QString title;
    QString key;
    QString program;
    QString name;
    QString url;
    QString file;
    uint32_t size = 0;
};

class CVelunarAddress
{
public:
    static constexpr const char* kScheme = "velunar";

    // The request, or nothing with the reason in `error`.
    static std::optional<VelunarRequest> Parse(const QString& address, QString& error);
    // DownloaderName(title), RegistryPath(key, program),
    // ClipDownload(name, url, file, size).
    static std::vector<HostCall> Calls(const VelunarRequest& request);
};
