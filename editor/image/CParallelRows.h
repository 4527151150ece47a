#pragma once

#include <functional>
#include <vector>

// Splits the rows of a picture into one contiguous band per core and runs
// each band on its own thread; small pictures stay on the calling thread,
// where starting threads would cost more than it saves. When the work throws
// (a band's buffer cannot be allocated), every band still ends before the
// first exception is thrown again on the calling thread.
class CParallelRows
{
public:
    // Pictures below this many pixels are not split.
    static constexpr long long kMinPixelsToSplit = 256 * 1024;

    // The first row of each band, followed by `rows`.
    static std::vector<int> Bands(int rows, int width);
    // Calls work(firstRow, endRow) for each band on its own thread and returns
    // when all are done.
    static void RunBands(const std::vector<int>& bands, const std::function<void(int, int)>& work);
    // Both together: work(firstRow, endRow) over [0, rows).
    static void Run(int rows, int width, const std::function<void(int, int)>& work)
    {
        RunBands(Bands(rows, width), work);
    }
};
