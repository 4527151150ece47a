#include "CDownloadQueue.h"

bool CDownloadQueue::Append(DownloadRequest request)
{
    std::lock_guard lock(mutex_);
    totals_.announced += request.size;
    requests_.push_back(std::move(request));
    const bool mustStart = !running_;
    running_ = true;
    return mustStart;
}

std::optional<DownloadRequest> CDownloadQueue::TakeFirst(const std::function<void()>& whenEmpty)
{
    std::lock_guard lock(mutex_);
    if (requests_.empty()) {
        running_ = false;
        if (whenEmpty) {
            whenEmpty();
        }
        return std::nullopt;
    }
    DownloadRequest first = std::move(requests_.front());
    requests_.pop_front();
    return first;
}

CDownloadQueue::Totals CDownloadQueue::AddReceived(uint64_t bytes)
{
    std::lock_guard lock(mutex_);
    totals_.received += bytes;
    return totals_;
}

CDownloadQueue::Totals CDownloadQueue::CurrentTotals() const
{
    std::lock_guard lock(mutex_);
    return totals_;
}

bool CDownloadQueue::Running() const
{
    std::lock_guard lock(mutex_);
    return running_;
}

void CDownloadQueue::Clear()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

size_t CDownloadQueue::Size() const
{
    std::lock_guard lock(mutex_);
    return requests_.size();
}
