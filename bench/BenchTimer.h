#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// Runs `work` `runs` times and returns the median wall time in milliseconds.
template <typename Work> double MedianMilliseconds(int runs, Work&& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void PrintFigure(const char* name, double milliseconds)
{
    std::printf("%-40s %9.1f ms\n", name, milliseconds);
}

// The median and the 95th percentile of a set of times.
struct Figures
{
    double median;
    double p95;
};

inline Figures Spread(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 95 / 100)]};
}

inline double Milliseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}
