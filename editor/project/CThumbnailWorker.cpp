#include "CThumbnailWorker.h"

#include "CImagePlugins.h"
#include "CItemFolder.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

struct CThumbnailWorker::State
{
    State(QStringList list, QString text, Sink take)
        : paths(std::move(list)), textPicture(std::move(text)), sink(std::move(take))
    {}

    const QStringList paths;
    const QString textPicture;
    const Sink sink;

    std::atomic<bool> running{true};
    std::atomic<int> next{0};

    std::mutex lock; // guards what follows, and every call of the sink
    std::condition_variable ended;
    int delivered = 0;
    std::map<int, ThumbnailRow> ready; // made, waiting for an earlier row
    int active = 0;

    // Hands over the rows that are next in order. Called with the lock held.
    void Deliver()
    {
        for (auto row = ready.find(delivered); row != ready.end(); row = ready.find(delivered)) {
            sink(std::move(row->second));
            ready.erase(row);
            ++delivered;
        }
    }

    ThumbnailRow Make(int index) const
    {
        ThumbnailRow row;
        row.index = index;
        row.path = paths[index];
        row.name = CItemFolder::RowName(row.path);
        row.thumbnail =
            CThumbnailMaker::Make(row.path == CItemFolder::kTextItem ? textPicture : row.path);
        return row;
    }
};

CThumbnailWorker::CThumbnailWorker(QStringList paths, QString textPicture, Sink sink, int threads)
    : state_(std::make_shared<State>(std::move(paths), std::move(textPicture), std::move(sink))),
      threadCount_(std::max(1, threads))
{}

CThumbnailWorker::~CThumbnailWorker()
{
    RequestStop();
    if (Wait(2000)) {
        return;
    }
    // Left to finish its file on its own; the thread object goes when it ends.
    for (std::unique_ptr<QThread>& thread : threads_) {
        QThread* running = thread.release();
        QObject::connect(running, &QThread::finished, running, &QObject::deleteLater);
        if (running->isFinished()) {
            delete running;
        }
    }
}

int CThumbnailWorker::DefaultThreads()
{
    return std::clamp(QThread::idealThreadCount(), 1, 2);
}

void CThumbnailWorker::Start()
{
    if (!threads_.empty()) {
        return;
    }
    const int count = std::min<int>(threadCount_, int(state_->paths.size()));
    CImagePlugins::Load();
    {
        const std::scoped_lock guard(state_->lock);
        state_->active = count;
    }
    for (int thread = 0; thread < count; ++thread) {
        threads_.emplace_back(QThread::create(&CThumbnailWorker::Run, state_));
        threads_.back()->start();
    }
}

void CThumbnailWorker::RequestStop()
{
    const std::scoped_lock guard(state_->lock);
    state_->running = false;
}

bool CThumbnailWorker::Wait(int milliseconds)
{
    {
        std::unique_lock guard(state_->lock);
        if (!state_->ended.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                    [this] { return state_->active == 0; })) {
            return false;
        }
    }
    for (std::unique_ptr<QThread>& thread : threads_) {
        thread->wait();
    }
    threads_.clear();
    return true;
}

void CThumbnailWorker::Run(const std::shared_ptr<State>& state)
{
    const int count = int(state->paths.size());
    while (state->running) {
        const int index = state->next.fetch_add(1);
        if (index >= count) {
            break;
        }
        ThumbnailRow row = state->Make(index);
        const std::scoped_lock guard(state->lock);
        if (!state->running) {
            break;
        }
        state->ready.emplace(index, std::move(row));
        state->Deliver();
    }
    const std::scoped_lock guard(state->lock);
    --state->active;
    state->ended.notify_all();
}
