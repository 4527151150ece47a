#include "CDownloadWorker.h"

#include "CDownloadEngine.h"
#include "CPackageUnpacker.h"
#include "CSafePath.h"
#include "CTransferFigures.h"
#include "CUnpackRefused.h"

#include <QByteArrayView>

namespace fs = std::filesystem;

namespace {

// Thrown from the progress hook when the window closes: it ends the
// transfer, and the unwinding removes the partial file.
struct CTransferStopped
{
};

} // namespace

CDownloadWorker::CDownloadWorker(fs::path downloadFolder, Observer observer)
    : folder_(std::move(downloadFolder)), observer_(std::move(observer))
{}

CDownloadWorker::~CDownloadWorker()
{
    Stop();
}

void CDownloadWorker::Add(DownloadRequest request)
{
    if (Stopping() || !queue_.Append(std::move(request))) {
        return;
    }
    if (thread_.joinable()) {
        thread_.join(); // the last worker has reported its end and is leaving
    }
    Resume(); // a pause pressed as the last worker ended does not hold the new one
    try {
        thread_ = std::thread(&CDownloadWorker::Run, this);
    } catch (const std::exception&) {
        FailQueued();
    }
}

void CDownloadWorker::Pause()
{
    std::lock_guard lock(pauseMutex_);
    paused_ = true;
}

void CDownloadWorker::Resume()
{
    {
        std::lock_guard lock(pauseMutex_);
        paused_ = false;
    }
    pauseChanged_.notify_all();
}

void CDownloadWorker::Stop()
{
    {
        std::lock_guard lock(pauseMutex_);
        stopping_ = true;
    }
    pauseChanged_.notify_all();
    queue_.Clear();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool CDownloadWorker::Stopping()
{
    std::lock_guard lock(pauseMutex_);
    return stopping_;
}

void CDownloadWorker::WaitWhilePaused()
{
    std::unique_lock lock(pauseMutex_);
    pauseChanged_.wait(lock, [this] { return !paused_ || stopping_; });
    if (stopping_) {
        throw CTransferStopped();
    }
}

void CDownloadWorker::Run()
{
    observer_.started();
    while (const auto request = queue_.TakeFirst(observer_.finished)) {
        Process(*request);
    }
}

void CDownloadWorker::FailQueued()
{
    while (const auto request = queue_.TakeFirst(observer_.finished)) {
        observer_.rowText(request->row, kFailed);
    }
}

void CDownloadWorker::Process(const DownloadRequest& request)
{
    bool done = false;
    try {
        WaitWhilePaused();
        observer_.status(request.file + kDownloading);
        done = Transfer(request);
    } catch (const CUnpackRefused& refusal) {
        // The row says why; the package stays where it was downloaded.
        observer_.status(refusal.what());
        observer_.rowText(request.row, refusal.what());
        return;
    } catch (...) { // a failed transfer or the window closing: nothing escapes the thread
    }
    if (!done && !Stopping()) {
        observer_.rowText(request.row, kFailed);
    }
}

bool CDownloadWorker::Transfer(const DownloadRequest& request)
{
    if (!request.valid) {
        return false;
    }
    // The file must stay inside the download folder and be named in UTF-8,
    // the names the item library reads (the engine fetches only web addresses).
    const auto target = CSafePath::Resolve(folder_, request.file);
    if (!target || !QByteArrayView(request.file).isValidUtf8()) {
        return false;
    }
    switch (Fetch(request, *target)) {
    case DownloadResult::NotWritable:
        return false;
    case DownloadResult::NoContentType:
        return true; // nothing to write; done as far as the engine goes
    case DownloadResult::Written:
        break;
    }
    if (CDownloadEngine::IsPackage(target->native())) {
        Unpack(request, *target);
    }
    return true;
}

DownloadResult CDownloadWorker::Fetch(const DownloadRequest& request, const fs::path& target)
{
    RowState row;
    row.sizeText = CTransferFigures::SizeText(request.size);
    const auto onProgress = [&](uint64_t received, int64_t total) {
        OnProgress(request, row, received, total);
    };
    // The package is unpacked here, not by the engine, so that one that
    // cannot be read stays in place and its row fails.
    const DownloadResult result =
        CDownloadEngine::DownloadToFile(request.address, target.native(), onProgress);
    if (result == DownloadResult::Written && row.position != 100) {
        // The length was unknown: the end is the end.
        ShowRowText(request, row, kComplete);
        observer_.rowPosition(request.row, 100);
    }
    return result;
}

void CDownloadWorker::Unpack(const DownloadRequest& request, const fs::path& package)
{
    observer_.status(request.file + kUnpacking);
    // A package that cannot be read throws here and is left as it was.
    CPackageUnpacker::Unpack(package.native(), package.parent_path(), UnopenablePolicy::Skip,
                             EntryModes::NoExecute);
    fs::remove(package);
}

void CDownloadWorker::OnProgress(const DownloadRequest& request, RowState& row, uint64_t received,
                                 int64_t contentLength)
{
    WaitWhilePaused();
    const CDownloadQueue::Totals totals = queue_.AddReceived(received - row.received);
    row.received = received;

    if (const auto percent = CTransferFigures::RowPercent(received, contentLength)) {
        if (*percent != row.position) {
            row.position = *percent;
            if (*percent == 100) {
                ShowRowText(request, row, kComplete);
            }
            observer_.rowPosition(request.row, *percent);
        }
    } else {
        ShowRowText(request, row, CTransferFigures::ReceivedText(received));
    }
    const std::string sizeText = CTransferFigures::TransferText(request.size, received);
    if (sizeText != row.sizeText) {
        row.sizeText = sizeText;
        observer_.sizeText(request.row, sizeText);
    }
    const auto overall = CTransferFigures::OverallPercent(totals.received, totals.announced);
    if (overall && *overall != overall_) {
        overall_ = *overall;
        observer_.overall(*overall);
    }
}

void CDownloadWorker::ShowRowText(const DownloadRequest& request, RowState& row,
                                  const std::string& text)
{
    if (text != row.barText) {
        row.barText = text;
        observer_.rowText(request.row, text);
    }
}
