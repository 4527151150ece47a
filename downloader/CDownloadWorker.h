#pragma once

#include "CDownloadQueue.h"
#include "CDownloadRequest.h"

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

enum class DownloadResult;

// The downloader's worker: one thread at a time takes the queued requests
// in order, downloads each into the download folder, unpacks packages into
// their folder (skipping entries that cannot be written) and deletes them.
// It reports through the observer on its own thread; the window turns the
// reports into changes on its thread. A request that cannot be done is
// dropped and its row marked failed; the worker goes on with the next.
class CDownloadWorker
{
public:
    static constexpr const char* kDownloading = " 파일을 내려받는중입니다.";
    static constexpr const char* kUnpacking = " 파일의 압축을 풉니다.";
    static constexpr const char* kComplete = "Complete";
    static constexpr const char* kFailed = "실패";

    // What the worker reports, on the worker thread. Every member is set.
    struct Observer
    {
        std::function<void()> started;  // a worker thread began
        std::function<void()> finished; // the queue is empty, the worker ends
        std::function<void(const std::string& text)> status;
        std::function<void(int row, int position)> rowPosition;
        std::function<void(int row, const std::string& text)> rowText;
        std::function<void(int row, const std::string& text)> sizeText;
        std::function<void(int position)> overall;
    };

    CDownloadWorker(std::filesystem::path downloadFolder, Observer observer);
    ~CDownloadWorker();
    CDownloadWorker(const CDownloadWorker&) = delete;
    CDownloadWorker& operator=(const CDownloadWorker&) = delete;

    // Queues a request and starts a worker thread when none runs.
    void Add(DownloadRequest request);
    bool Running() const { return queue_.Running(); }
    // The worker stops transferring until resumed; it holds no lock the
    // caller needs meanwhile.
    void Pause();
    void Resume();
    // Ends the transfer under way (its partial file is removed), drops the
    // queued requests and joins the worker thread.
    void Stop();
    CDownloadQueue::Totals Totals() const { return queue_.CurrentTotals(); }

private:
    // What the row of the file under way shows, so that only changes are
    // reported.
    struct RowState
    {
        uint64_t received = 0;
        int position = 0;
        std::string barText;
        std::string sizeText;
    };

    void Run();
    void FailQueued();
    void Process(const DownloadRequest& request);
    bool Transfer(const DownloadRequest& request);
    DownloadResult Fetch(const DownloadRequest& request, const std::filesystem::path& target);
    void Unpack(const DownloadRequest& request, const std::filesystem::path& package);
    void OnProgress(const DownloadRequest& request, RowState& row, uint64_t received,
                    int64_t contentLength);
    void ShowRowText(const DownloadRequest& request, RowState& row, const std::string& text);
    void WaitWhilePaused();
    bool Stopping();

    const std::filesystem::path folder_;
    const Observer observer_;
    CDownloadQueue queue_;
    std::thread thread_;
    int overall_ = 0; // the overall position last reported (worker thread only)

    std::mutex pauseMutex_;
    std::condition_variable pauseChanged_;
    bool paused_ = false;
    bool stopping_ = false;
};
