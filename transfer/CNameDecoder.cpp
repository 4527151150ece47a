#include "CNameDecoder.h"

#include <cerrno>
#include <iconv.h>

namespace {

// The length of the UTF-8 sequence that starts with `lead`, 0 when it is no
// lead byte; overlong forms, surrogates and values past U+10FFFF are caught
// by the second-byte ranges.
int SequenceLength(unsigned char lead, unsigned char& low, unsigned char& high)
{
    low = 0x80;
    high = 0xbf;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xc2 && lead <= 0xdf) {
        return 2;
    }
    if (lead >= 0xe0 && lead <= 0xef) {
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
        return 3;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
        return 4;
    }
    return 0;
}

std::optional<std::string> FromCodePage949(std::string_view bytes)
{
    const iconv_t converter = iconv_open("UTF-8", "CP949");
    if (converter == iconv_t(-1)) {
        return std::nullopt;
    }
    // Two code page 949 bytes become at most three UTF-8 bytes.
    std::string out(bytes.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* to = out.data();
    size_t outLeft = out.size();
    const size_t converted = iconv(converter, &in, &inLeft, &to, &outLeft);
    iconv_close(converter);
    if (converted == size_t(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

bool CNameDecoder::IsValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        unsigned char low = 0;
        unsigned char high = 0;
        const int length = SequenceLength(static_cast<unsigned char>(bytes[i]), low, high);
        if (length == 0 || bytes.size() - i < size_t(length)) {
            return false;
        }
        for (int k = 1; k < length; ++k) {
            const unsigned char c = static_cast<unsigned char>(bytes[i + size_t(k)]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xbf)) {
                return false;
            }
        }
        i += size_t(length);
    }
    return true;
}

std::optional<std::string> CNameDecoder::Decode(std::string_view bytes, bool flaggedUtf8)
{
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    if (flaggedUtf8) {
        return std::nullopt;
    }
    std::optional<std::string> decoded = FromCodePage949(bytes);
    if (decoded && !IsValidUtf8(*decoded)) {
        return std::nullopt;
    }
    return decoded;
}
