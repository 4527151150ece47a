// The parallel rows helper when a thread cannot be had. The global
// allocation functions of this test program can be told to fail: a thread
// whose start-up state cannot be allocated throws std::bad_alloc, not the
// std::system_error of a thread the system refuses.

#include "CParallelRows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations to let through before the next one fails; negative: none fails.
std::atomic<int> allocationsBeforeFailure{-1};

void* Allocate(std::size_t size)
{
    if (allocationsBeforeFailure.load() >= 0 && allocationsBeforeFailure.fetch_sub(1) == 0) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

// The no-throw forms too (Qt's JSON parser uses them), so that every block
// the deletes below free came from malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace {

TEST(ParallelRowsTest, ABandWhoseThreadCannotBeAllocatedRunsOnTheCallingThread)
{
    const std::vector<int> bands = {0, 10, 20, 30};
    std::atomic<int> rows{0};
    const auto work = [&rows](int firstRow, int endRow) { rows += endRow - firstRow; };
    // The first allocation is the list of threads, the second the first
    // thread's state.
    allocationsBeforeFailure = 1;
    EXPECT_NO_THROW(CParallelRows::RunBands(bands, work));
    allocationsBeforeFailure = -1;
    EXPECT_EQ(rows, 30);
}

} // namespace
