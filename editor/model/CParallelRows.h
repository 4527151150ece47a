#pragma once

#include <functional>

// Splits the rows of a picture into one contiguous band per core and runs
// each band on its own thread; small pictures stay on the calling thread,
// where starting threads would cost more than it saves. The work function
// must not throw.
class CParallelRows
{
public:
    // Pictures below this many pixels are not split.
    static constexpr long long kMinPixelsToSplit = 256 * 1024;

    // Calls work(firstRow, endRow) over [0, rows) and returns when all bands
    // are done.
    static void Run(int rows, int width, const std::function<void(int, int)>& work);
};
