#include "CParallelRows.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

void CParallelRows::Run(int rows, int width, const std::function<void(int, int)>& work)
{
    const long long pixels = (long long)rows * width;
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int bands = pixels < kMinPixelsToSplit ? 1 : std::min(cores, rows);
    if (bands <= 1) {
        work(0, rows);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(bands - 1);
    const auto bandStart = [rows, bands](int band) { return int((long long)rows * band / bands); };
    for (int band = 1; band < bands; ++band) {
        try {
            threads.emplace_back(work, bandStart(band), bandStart(band + 1));
        } catch (const std::system_error&) {
            // No thread to be had: this band runs here instead.
            work(bandStart(band), bandStart(band + 1));
        }
    }
    work(0, bandStart(1));
    for (std::thread& thread : threads) {
        thread.join();
    }
}
