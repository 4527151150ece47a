#include "CDownloadQueue.h"
#include "CDownloadRequest.h"
#include "CTransferFigures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using Pieces = std::vector<std::string>;

TEST(DownloadRequestTest, SplitsAtEverySeparatorCountingEmptyPieces)
{
    EXPECT_EQ(CDownloadRequest::Split("a||b||c"), (Pieces{"a", "b", "c"}));
    EXPECT_EQ(CDownloadRequest::Split("||||"), (Pieces{"", "", ""}));
    EXPECT_EQ(CDownloadRequest::Split("a|||b||c"), (Pieces{"a", "|b", "c"}));
    EXPECT_EQ(CDownloadRequest::Split("a||b||"), (Pieces{"a", "b", ""}));
    EXPECT_EQ(CDownloadRequest::Split(""), (Pieces{""}));
    // The byte count includes the NUL; anything after it is not text.
    EXPECT_EQ(CDownloadRequest::Split(std::string_view("a||b||c\0||d", 11)),
              (Pieces{"a", "b", "c"}));
}

TEST(DownloadRequestTest, OnlyThreePiecesMakeAValidRequest)
{
    const DownloadRequest three =
        CDownloadRequest::Parse(3145728, "별||http://h/p.zip||items/p.zip");
    EXPECT_TRUE(three.valid);
    EXPECT_EQ(three.name, "별");
    EXPECT_EQ(three.address, "http://h/p.zip");
    EXPECT_EQ(three.file, "items/p.zip");
    EXPECT_EQ(three.size, 3145728u);

    for (const char* text : {"name||http://h/p.zip", "a||b||c||d", "no separator"}) {
        const DownloadRequest other = CDownloadRequest::Parse(7, text);
        EXPECT_FALSE(other.valid) << text;
        EXPECT_TRUE(other.name.empty() && other.address.empty() && other.file.empty()) << text;
        EXPECT_EQ(other.size, 7u);
    }
}

TEST(TransferFiguresTest, TextsAndPercentagesAsShown)
{
    EXPECT_EQ(CTransferFigures::SizeText(3145728), "3MB");
    EXPECT_EQ(CTransferFigures::SizeText(1048575), "0MB");
    EXPECT_EQ(CTransferFigures::TransferText(3145728, 1048576), "3MB(1MB)");
    EXPECT_EQ(CTransferFigures::RowPercent(1048576, 3145728), 33);
    EXPECT_EQ(CTransferFigures::RowPercent(3145728, 3145728), 100);
    // The overall figure divides by the hundredth first: 1048576 / 31457.
    EXPECT_EQ(CTransferFigures::OverallPercent(1048576, 3145728), 33);
    EXPECT_EQ(CTransferFigures::OverallPercent(314, 31400), 1);
    EXPECT_EQ(CTransferFigures::ReceivedText(5000), "4KB");
}

TEST(TransferFiguresTest, NeverDividesByZeroNorWrapsAbove4GiB)
{
    EXPECT_FALSE(CTransferFigures::RowPercent(5000, 0)); // no Content-Length
    EXPECT_FALSE(CTransferFigures::OverallPercent(5000, 99));
    EXPECT_FALSE(CTransferFigures::OverallPercent(0, 0));
    EXPECT_EQ(CTransferFigures::OverallPercent(50, 100), 50);

    constexpr uint64_t kGiB = 1ULL << 30;
    EXPECT_EQ(CTransferFigures::OverallPercent(9 * kGiB / 2, 5 * kGiB), 90);
    EXPECT_EQ(CTransferFigures::RowPercent(3 * kGiB, int64_t(4 * kGiB)), 75);
    EXPECT_EQ(CTransferFigures::TransferText(4294967295u, 5 * kGiB), "4095MB(5120MB)");
    // More than announced (a sender that understated the size) stays at 100.
    EXPECT_EQ(CTransferFigures::OverallPercent(300, 100), 100);
}

TEST(DownloadQueueTest, StartsOneWorkerAndNeverMissesALateRequest)
{
    CDownloadQueue queue;
    EXPECT_TRUE(queue.Append({.size = 4000000000u}));
    EXPECT_FALSE(queue.Append({.size = 4000000000u})); // the worker runs already
    EXPECT_EQ(queue.CurrentTotals().announced, 8000000000ULL);
    int ended = 0;
    EXPECT_TRUE(queue.TakeFirst([&] { ++ended; }));
    EXPECT_TRUE(queue.TakeFirst([&] { ++ended; }));
    EXPECT_FALSE(queue.TakeFirst([&] { ++ended; }));
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(queue.Running());
    EXPECT_TRUE(queue.Append({})); // a request after the end starts a new worker
    EXPECT_EQ(queue.AddReceived(5000000000ULL).received, 5000000000ULL);

    // A request appended while a worker takes its last one is either taken
    // by that worker or starts a new one, whatever the interleaving.
    CDownloadQueue raced;
    std::atomic<int> taken{0};
    std::atomic<int> starts{0};
    std::vector<std::thread> workers;
    const auto work = [&] {
        while (raced.TakeFirst({})) {
            ++taken;
        }
    };
    for (int i = 0; i < 2000; ++i) {
        if (raced.Append({})) {
            ++starts;
            workers.emplace_back(work);
        }
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(taken, 2000);
    EXPECT_FALSE(raced.Running());
    EXPECT_EQ(raced.Size(), 0u);
}

} // namespace
