#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The figures the downloader's window shows during a transfer. Both totals
// are 64-bit, so packages above 4 GiB in all do not wrap, and nothing is
// ever divided by zero.
class CTransferFigures
{
public:
    static constexpr uint64_t kMegabyte = 1048576;

    // Column "크기" before the transfer: "%dMB" of the announced size.
    static std::string SizeText(uint32_t announced);
    // Column "크기" during the transfer: "%dMB(%dMB)", announced and received.
    static std::string TransferText(uint32_t announced, uint64_t received);
    // received × 100 ÷ Content-Length; none while the length is unknown (0).
    static std::optional<int> RowPercent(uint64_t received, int64_t contentLength);
    // received total ÷ (announced total ÷ 100), integer divisions, at most
    // 100; none while the announced total is below 100.
    static std::optional<int> OverallPercent(uint64_t receivedTotal, uint64_t announcedTotal);
    // What a row of unknown length shows instead of a percentage: "%dKB".
    static std::string ReceivedText(uint64_t received);
};
