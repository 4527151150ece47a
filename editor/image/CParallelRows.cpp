#include "CParallelRows.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The first exception any band threw, to be thrown again on the calling
// thread once every band has ended.
class CFirstFailure
{
public:
    void Run(const std::function<void(int, int)>& work, int firstRow, int endRow) noexcept
    {
        try {
            work(firstRow, endRow);
        } catch (...) {
            const std::scoped_lock guard(lock_);
            if (!failure_) {
                failure_ = std::current_exception();
            }
        }
    }

    void Rethrow() const
    {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

private:
    std::mutex lock_;
    std::exception_ptr failure_;
};

} // namespace

std::vector<int> CParallelRows::Bands(int rows, int width)
{
    const long long pixels = (long long)rows * width;
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int count = pixels < kMinPixelsToSplit ? 1 : std::max(1, std::min(cores, rows));
    std::vector<int> starts;
    for (int band = 0; band <= count; ++band) {
        starts.push_back(int((long long)rows * band / count));
    }
    return starts;
}

void CParallelRows::RunBands(const std::vector<int>& bands,
                             const std::function<void(int, int)>& work)
{
    CFirstFailure failure;
    std::vector<std::thread> threads;
    threads.reserve(bands.size());
    for (size_t band = 1; band + 1 < bands.size(); ++band) {
        try {
            threads.emplace_back(&CFirstFailure::Run, &failure, std::cref(work), bands[band],
                                 bands[band + 1]);
        } catch (...) {
            // No thread to be had (no resources, no memory): this band runs
            // here instead.
            failure.Run(work, bands[band], bands[band + 1]);
        }
    }
    if (bands.size() > 1) {
        failure.Run(work, bands[0], bands[1]);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    failure.Rethrow();
}
