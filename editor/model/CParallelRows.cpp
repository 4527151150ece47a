#include "CParallelRows.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

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
    std::vector<std::thread> threads;
    for (size_t band = 1; band + 1 < bands.size(); ++band) {
        try {
            threads.emplace_back(work, bands[band], bands[band + 1]);
        } catch (const std::system_error&) {
            // No thread to be had: this band runs here instead.
            work(bands[band], bands[band + 1]);
        }
    }
    if (bands.size() > 1) {
        work(bands[0], bands[1]);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}
