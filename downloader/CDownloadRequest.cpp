#include "CDownloadRequest.h"

std::vector<std::string> CDownloadRequest::Split(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> pieces;
    for (;;) {
        const size_t separator = text.find(kSeparator);
        pieces.emplace_back(text.substr(0, separator));
        if (separator == std::string_view::npos) {
            return pieces;
        }
        text.remove_prefix(separator + kSeparator.size());
    }
}

DownloadRequest CDownloadRequest::Parse(uint32_t dataWord, std::string_view bytes)
{
    DownloadRequest request;
    request.size = dataWord;
    std::vector<std::string> pieces = Split(bytes);
    if (pieces.size() == 3) {
        request.name = std::move(pieces[0]);
        request.address = std::move(pieces[1]);
        request.file = std::move(pieces[2]);
        request.valid = true;
    }
    return request;
}
