#pragma once

#include "CDownloadRequest.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

// The requests waiting for the worker, the running flag and the two
// totals, shared by the window thread (which appends) and the worker (which
// takes the first and adds what it received). One mutex guards them all, so
// that "the queue is empty, the worker ends" and "a request arrives, a
// worker must start" can never both miss each other.
class CDownloadQueue
{
public:
    struct Totals
    {
        uint64_t announced = 0; // sizes of every request since start
        uint64_t received = 0;  // bytes received for every file since start
    };

    // Appends the request and adds its size to the announced total. True
    // when no worker runs: the running flag is raised and the caller must
    // start one.
    bool Append(DownloadRequest request);
    // The first request, removed from the queue. When the queue is empty the
    // running flag is lowered and `whenEmpty` runs under the lock, so that
    // what it reports comes before anything a new worker reports.
    std::optional<DownloadRequest> TakeFirst(const std::function<void()>& whenEmpty);
    // Adds bytes received and returns both totals as they are now.
    Totals AddReceived(uint64_t bytes);
    Totals CurrentTotals() const;
    bool Running() const;
    // Drops every queued request (when the window closes).
    void Clear();
    size_t Size() const;

private:
    mutable std::mutex mutex_;
    std::deque<DownloadRequest> requests_;
    Totals totals_;
    bool running_ = false;
};
