#include "CFetchCommand.h"

#include "CDownloadEngine.h"
#include "CSafePath.h"
#include "CToolError.h"
#include "CUnpackCommand.h"

#include <chrono>
#include <cstdio>

const char* const CFetchCommand::kOptions =
    "      Without FILE the text is printed with CR LF line ends. FILE is replaced\n"
    "      only by a complete download; a FILE ending in .zip (any case) is\n"
    "      unpacked into its folder and then deleted.\n";

namespace {

// The progress line on standard error, redrawn at most five times a second.
class CProgressLine
{
public:
    void Show(uint64_t received, int64_t total)
    {
        received_ = received;
        total_ = total;
        const auto now = std::chrono::steady_clock::now();
        if (now - shown_ >= std::chrono::milliseconds(200)) {
            shown_ = now;
            Print();
        }
    }
    // The last figures and the end of the line, once.
    void Finish()
    {
        if (!finished_) {
            finished_ = true;
            Print();
            std::fputc('\n', stderr);
        }
    }

private:
    void Print() const
    {
        if (total_ > 0) {
            std::fprintf(stderr, "\r%llu KB / %lld KB (%d%%)", received_ / 1024ULL,
                         static_cast<long long>(total_ / 1024),
                         int(received_ * 100 / uint64_t(total_)));
        } else {
            std::fprintf(stderr, "\r%llu KB", received_ / 1024ULL);
        }
    }

    uint64_t received_ = 0;
    int64_t total_ = 0;
    bool finished_ = false;
    std::chrono::steady_clock::time_point shown_{};
};

int PrintText(const std::string& url)
{
    std::string text;
    try {
        text = CDownloadEngine::ReadText(url);
    } catch (const std::exception& error) {
        throw CToolError(QString("cannot fetch: %1").arg(error.what()));
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

} // namespace

int CFetchCommand::Run(CToolArguments& arguments)
{
    const std::string url =
        arguments.Take("URL (usage: pixvel-tool fetch URL [FILE])").toStdString();
    if (arguments.AtEnd()) {
        return PrintText(url);
    }
    const std::string file = arguments.Take("FILE").toStdString();
    arguments.ExpectEnd();

    CProgressLine progress;
    const auto onProgress = [&progress](uint64_t received, int64_t total) {
        progress.Show(received, total);
    };
    const auto unpack = [&progress](const std::string& package) {
        progress.Finish();
        const std::string folder = CSafePath::FolderPart(package);
        CUnpackCommand::UnpackAndList(package, folder.empty() ? "." : folder);
    };
    DownloadResult result;
    try {
        result = CDownloadEngine::DownloadToFile(url, file, onProgress, unpack);
    } catch (const CToolError&) {
        throw;
    } catch (const std::exception& error) {
        throw CToolError(QString("cannot fetch: %1").arg(error.what()));
    }
    if (result == DownloadResult::NoContentType) {
        throw CToolError("the server's answer has no Content-Type; nothing was written");
    }
    if (result == DownloadResult::NotWritable) {
        throw CToolError(
            QString("cannot write '%1'; nothing was changed").arg(QString::fromStdString(file)));
    }
    progress.Finish();
    return 0;
}
