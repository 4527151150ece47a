#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

typedef void CURL;

// What the engine reads from a response's headers.
struct ResponseFacts
{
    uint32_t status = 0;
    std::string location;        // the first Location header, empty when none
    bool hasContentType = false; // only its presence matters
    int64_t contentLength = 0;   // 0 when missing, zero, negative or not a number
};

// How long a transfer may wait on a server before it fails, and which
// answers count as a result.
struct TransferLimits
{
    long connectSeconds = 30;      // to establish the connection
    long stallSeconds = 60;        // fail when the average over this long
    long minBytesPerSecond = 1024; // ... falls below this many bytes a second
    long totalSeconds = 0;         // the whole transfer, redirects included; 0: no limit
    // A final status outside 200-299 fails the transfer (CHttpStatusException)
    // unless this is set: then any answer with a Content-Type is the result.
    bool acceptAnyStatus = false;
};

// The parts of a URL the engine uses.
struct ParsedUrl
{
    std::string scheme; // lower case: "http" or "https"
    std::string host;
    std::string port; // empty unless the URL names one
};

// One libcurl easy handle, used for every request of one resource (the
// first one and the redirects the engine follows). libcurl never follows
// redirects itself, only HTTP and HTTPS are spoken, TLS certificates and
// host names are verified.
class CHttpSession
{
public:
    using HeadersHook = std::function<bool(const ResponseFacts& facts)>;
    using BodyHook = std::function<void(const char* data, size_t size)>;
    // Called about every kTickInterval while a request runs, whether bytes
    // arrive or not, so that a caller can end a silent transfer by throwing.
    using TickHook = std::function<void()>;

    static constexpr std::chrono::milliseconds kTickInterval{200};

    explicit CHttpSession(const TransferLimits& limits = {});
    ~CHttpSession();
    CHttpSession(const CHttpSession&) = delete;
    CHttpSession& operator=(const CHttpSession&) = delete;

    // GETs `url` (encoded by EncodeUrl) with the engine's header block. Once the headers are in,
    // `onHeaders` decides whether the body is read; a false answer aborts
    // the response and is no failure. Body pieces go to `onBody`. Throws
    // CInternetException when the transfer fails, and rethrows whatever a
    // hook threw.
    ResponseFacts Request(const std::string& url, const HeadersHook& onHeaders,
                          const BodyHook& onBody);

    const TransferLimits& Limits() const { return limits_; }
    // The hook for every later request; what it throws ends the request and
    // is rethrown by Request.
    void SetTick(TickHook tick) { tick_ = std::move(tick); }

    // Splits an http or https URL; throws CInternetException otherwise.
    static ParsedUrl Parse(const std::string& url);
    // `url` with every byte an address may not carry (a blank, a control
    // character, 8-bit text) percent-encoded after the host; what is already
    // encoded stays as it is.
    static std::string EncodeUrl(const std::string& url);
    // The leading decimal digits of a Content-Length value; 0 otherwise.
    static int64_t ParseContentLength(const std::string& text);

private:
    static size_t OnHeaderLine(char* data, size_t size, size_t count, void* self);
    static size_t OnBodyData(char* data, size_t size, size_t count, void* self);
    static int OnTransferInfo(void* self, int64_t, int64_t, int64_t, int64_t);
    void Reset();
    void ApplyDeadline(const std::string& url);

    CURL* curl_ = nullptr;
    TransferLimits limits_;
    std::chrono::steady_clock::time_point deadline_;
    ResponseFacts facts_;
    const HeadersHook* onHeaders_ = nullptr;
    const BodyHook* onBody_ = nullptr;
    TickHook tick_;
    std::chrono::steady_clock::time_point lastTick_;
    bool stopped_ = false;
    std::exception_ptr hookError_;
};
