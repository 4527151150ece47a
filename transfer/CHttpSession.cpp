#include "CHttpSession.h"

#include "CInternetException.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <memory>
#include <type_traits>

namespace {

constexpr const char* kUserAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 5.5; Windows NT "
                                   "5.0; YComp 5.0.0.0; .NET CLR 1.0.3705)";
// libcurl hands the body over in pieces of up to this size.
constexpr long kReceiveBuffer = 128 * 1024;

struct GlobalInit
{
    GlobalInit() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

void EnsureGlobalInit()
{
    static GlobalInit once;
}

std::string Lower(std::string text)
{
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::string UrlPart(CURLU* url, CURLUPart part)
{
    char* value = nullptr;
    if (curl_url_get(url, part, &value, 0) != CURLUE_OK || value == nullptr) {
        return {};
    }
    std::string text = value;
    curl_free(value);
    return text;
}

struct SlistDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

CHttpSession::CHttpSession(const TransferLimits& limits)
    : limits_(limits),
      deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(limits.totalSeconds))
{
    EnsureGlobalInit();
    curl_ = curl_easy_init();
    if (curl_ == nullptr) {
        throw CInternetException("cannot start an internet session");
    }
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, limits.minBytesPerSecond);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(curl_, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, &CHttpSession::OnHeaderLine);
    curl_easy_setopt(curl_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &CHttpSession::OnBodyData);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &CHttpSession::OnTransferInfo);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
}

CHttpSession::~CHttpSession()
{
    curl_easy_cleanup(curl_);
}

ParsedUrl CHttpSession::Parse(const std::string& url)
{
    EnsureGlobalInit();
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> handle(curl_url(), &curl_url_cleanup);
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        throw CInternetException("not a valid address: " + url);
    }
    ParsedUrl parsed{Lower(UrlPart(handle.get(), CURLUPART_SCHEME)),
                     UrlPart(handle.get(), CURLUPART_HOST), UrlPart(handle.get(), CURLUPART_PORT)};
    if ((parsed.scheme != "http" && parsed.scheme != "https") || parsed.host.empty()) {
        throw CInternetException("only http and https addresses are fetched: " + url);
    }
    return parsed;
}

std::string CHttpSession::EncodeUrl(const std::string& url)
{
    const size_t scheme = url.find("://");
    const size_t path = url.find_first_of("/?#", scheme == std::string::npos ? 0 : scheme + 3);
    if (path == std::string::npos) {
        return url;
    }
    std::string encoded = url.substr(0, path);
    encoded.reserve(url.size() + 16);
    for (size_t i = path; i < url.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        const bool escape =
            c == '%' && i + 2 < url.size() && IsHex(url[i + 1]) && IsHex(url[i + 2]);
        if (c > ' ' && c < 0x7f && c != '"' && c != '<' && c != '>' && c != '^' && c != '`' &&
            c != '{' && c != '|' && c != '}' && (c != '%' || escape)) {
            encoded += char(c);
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xf];
        }
    }
    return encoded;
}

int64_t CHttpSession::ParseContentLength(const std::string& text)
{
    const std::string trimmed = Trim(text);
    int64_t value = 0;
    const auto [end, error] =
        std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    return error == std::errc() && value > 0 ? value : 0;
}

void CHttpSession::ApplyDeadline(const std::string& url)
{
    if (limits_.totalSeconds <= 0) {
        return;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline_ - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        throw CInternetException("out of time: " + url);
    }
    curl_easy_setopt(curl_, CURLOPT_TIMEOUT_MS, long(left.count()));
}

ResponseFacts CHttpSession::Request(const std::string& given, const HeadersHook& onHeaders,
                                    const BodyHook& onBody)
{
    const std::string url = EncodeUrl(given);
    const ParsedUrl parsed = Parse(url);
    ApplyDeadline(url);
    // The header block goes out as its two lines; caches on the way are
    // told to fetch from the server.
    std::unique_ptr<curl_slist, SlistDeleter> headers;
    for (const std::string& line :
         {std::string(kUserAgent), "Host:" + parsed.host, std::string("Pragma: no-cache"),
          std::string("Cache-Control: no-cache")}) {
        curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
        if (grown == nullptr) {
            throw CInternetException("out of memory");
        }
        headers.release();
        headers.reset(grown);
    }
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers.get());

    Reset();
    onHeaders_ = &onHeaders;
    onBody_ = &onBody;
    const CURLcode result = curl_easy_perform(curl_);
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, nullptr);
    onHeaders_ = nullptr;
    onBody_ = nullptr;

    if (hookError_) {
        std::rethrow_exception(hookError_);
    }
    if (result != CURLE_OK && !stopped_) {
        throw CInternetException(std::string(curl_easy_strerror(result)) + ": " + url);
    }
    return facts_;
}

void CHttpSession::Reset()
{
    facts_ = {};
    stopped_ = false;
    hookError_ = nullptr;
    lastTick_ = std::chrono::steady_clock::now();
}

size_t CHttpSession::OnHeaderLine(char* data, size_t size, size_t count, void* self)
{
    auto* session = static_cast<CHttpSession*>(self);
    const std::string_view line(data, size * count);
    const std::string trimmed = Trim(line);
    ResponseFacts& facts = session->facts_;
    if (line.starts_with("HTTP/")) {
        facts = {}; // a new response (after an informational one)
        return line.size();
    }
    if (trimmed.empty()) {
        long status = 0;
        curl_easy_getinfo(session->curl_, CURLINFO_RESPONSE_CODE, &status);
        facts.status = uint32_t(status);
        if (status < 200) {
            return line.size(); // informational: the real response follows
        }
        try {
            if ((*session->onHeaders_)(facts)) {
                return line.size();
            }
        } catch (...) {
            session->hookError_ = std::current_exception();
        }
        session->stopped_ = true;
        return 0;
    }
    const size_t colon = trimmed.find(':');
    if (colon == std::string::npos) {
        return line.size();
    }
    const std::string name = Lower(trimmed.substr(0, colon));
    const std::string value = Trim(std::string_view(trimmed).substr(colon + 1));
    if (name == "location" && facts.location.empty()) {
        facts.location = value;
    } else if (name == "content-type") {
        facts.hasContentType = true;
    } else if (name == "content-length") {
        facts.contentLength = ParseContentLength(value);
    }
    return line.size();
}

size_t CHttpSession::OnBodyData(char* data, size_t size, size_t count, void* self)
{
    auto* session = static_cast<CHttpSession*>(self);
    try {
        (*session->onBody_)(data, size * count);
        return size * count;
    } catch (...) {
        session->hookError_ = std::current_exception();
        session->stopped_ = true;
        return 0;
    }
}

static_assert(std::is_same_v<curl_off_t, int64_t>, "the transfer-info callback's types");

int CHttpSession::OnTransferInfo(void* self, int64_t, int64_t, int64_t, int64_t)
{
    auto* session = static_cast<CHttpSession*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (!session->tick_ || now - session->lastTick_ < kTickInterval) {
        return 0;
    }
    session->lastTick_ = now;
    try {
        session->tick_();
        return 0;
    } catch (...) {
        session->hookError_ = std::current_exception();
        session->stopped_ = true;
        return 1; // curl ends the transfer; Request rethrows
    }
}
