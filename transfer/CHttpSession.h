#pragma once

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

// How long a transfer may wait on a server before it fails.
struct TransferLimits
{
    long connectSeconds = 30; // to establish the connection
    long stallSeconds = 60;   // fail when less than 1 byte/s arrives for this long
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

    explicit CHttpSession(const TransferLimits& limits = {});
    ~CHttpSession();
    CHttpSession(const CHttpSession&) = delete;
    CHttpSession& operator=(const CHttpSession&) = delete;

    // GETs `url` with the engine's header block. Once the headers are in,
    // `onHeaders` decides whether the body is read; a false answer aborts
    // the response and is no failure. Body pieces go to `onBody`. Throws
    // CInternetException when the transfer fails, and rethrows whatever a
    // hook threw.
    ResponseFacts Request(const std::string& url, const HeadersHook& onHeaders,
                          const BodyHook& onBody);

    // Splits an http or https URL; throws CInternetException otherwise.
    static ParsedUrl Parse(const std::string& url);
    // "User-Agent: ...\r\nHost:" + host, the block every request carries.
    static std::string HeaderBlock(const std::string& host);
    // The leading decimal digits of a Content-Length value; 0 otherwise.
    static int64_t ParseContentLength(const std::string& text);

private:
    static size_t OnHeaderLine(char* data, size_t size, size_t count, void* self);
    static size_t OnBodyData(char* data, size_t size, size_t count, void* self);
    void Reset();

    CURL* curl_ = nullptr;
    ResponseFacts facts_;
    const HeadersHook* onHeaders_ = nullptr;
    const BodyHook* onBody_ = nullptr;
    bool stopped_ = false;
    std::exception_ptr hookError_;
};
