#include "CTransferFigures.h"

#include <algorithm>

std::string CTransferFigures::SizeText(uint32_t announced)
{
    return std::to_string(announced / kMegabyte) + "MB";
}

std::string CTransferFigures::TransferText(uint32_t announced, uint64_t received)
{
    return SizeText(announced) + "(" + std::to_string(received / kMegabyte) + "MB)";
}

std::optional<int> CTransferFigures::RowPercent(uint64_t received, int64_t contentLength)
{
    if (contentLength <= 0) {
        return std::nullopt;
    }
    return int(std::min<uint64_t>(received * 100 / uint64_t(contentLength), 100));
}

std::optional<int> CTransferFigures::OverallPercent(uint64_t receivedTotal, uint64_t announcedTotal)
{
    const uint64_t hundredth = announcedTotal / 100;
    if (hundredth == 0) {
        return std::nullopt;
    }
    return int(std::min<uint64_t>(receivedTotal / hundredth, 100));
}

std::string CTransferFigures::ReceivedText(uint64_t received)
{
    return std::to_string(received / 1024) + "KB";
}
