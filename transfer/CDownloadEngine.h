#pragma once

#include "CHttpSession.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// How a file transfer ended when it did not fail.
enum class DownloadResult
{
    Written,       // the body replaced the local file
    NoContentType, // the answer had no Content-Type: nothing written, not a failure
    NotWritable,   // the local file could not be opened for writing: body not read
};

// Fetches one resource over HTTP or HTTPS, following redirects itself, and
// streams its body into a file or returns it as text. Each call uses its own
// session. Network failures throw CInternetException, a final status outside
// 200-299 CHttpStatusException (unless TransferLimits::acceptAnyStatus), local
// file failures CFileException. A redirect from https to http is refused.
class CDownloadEngine
{
public:
    // Called once the target is open (with 0 received) and after every piece
    // of the body has been written: the bytes received so far and the
    // Content-Length value (0 when unknown; never divide by it unchecked).
    // It is also called about every CHttpSession::kTickInterval with the
    // same figures while no byte arrives; what it throws ends the transfer
    // and reaches the caller.
    using ProgressHook = std::function<void(uint64_t received, int64_t total)>;
    // The caller's unpacking of a downloaded package (its native path).
    using UnpackStep = std::function<void(const std::string& packagePath)>;

    static constexpr int kMaxRedirects = 20;
    // A text fetch is meant for small files; a larger body is a failure.
    static constexpr size_t kMaxTextBytes = 16 * 1024 * 1024;

    // Requests `url` and follows 301, 302 and 303 answers; the final
    // response goes to the hooks as in CHttpSession::Request. Throws
    // CInternetException after kMaxRedirects redirects, for an empty
    // Location, and for a Location that names a scheme other than http or
    // https.
    static ResponseFacts OpenResource(CHttpSession& session, const std::string& url,
                                      const CHttpSession::HeadersHook& onHeaders,
                                      const CHttpSession::BodyHook& onBody);
    // The address a redirect leads to from `requested`.
    static std::string RedirectTarget(const std::string& location, const std::string& requested);

    // Streams the body of `url` into `localPath` (either separator), making
    // its folders first. The file is replaced only by a complete body. When
    // the path's extension is "ZIP" in any case, `unpack` runs on the file,
    // which is deleted afterwards.
    static DownloadResult DownloadToFile(const std::string& url, const std::string& localPath,
                                         const ProgressHook& progress,
                                         const UnpackStep& unpack = {},
                                         const TransferLimits& limits = {});
    // The body with every line ended by CR LF (a CR before the LF dropped);
    // empty text when the answer has no Content-Type. Throws on failure.
    static std::string ReadText(const std::string& url, const TransferLimits& limits = {});
    // The body as it was sent (empty when the answer has no Content-Type);
    // a body over `maxBytes` is a failure. Throws on failure.
    static std::string ReadBytes(const std::string& url, size_t maxBytes,
                                 const TransferLimits& limits = {});
    // A body as ReadText returns it: every line ended by CR LF.
    static std::string Lines(const std::string& body);
    // ReadText, with empty text for any failure.
    static std::string FetchText(const std::string& url,
                                 const TransferLimits& limits = {}) noexcept;
    // Creates every level of `folder` (either separator); true when the
    // last level was created now.
    static bool MakeFolders(std::string_view folder);
    // Whether a downloaded file at `localPath` is a package to unpack.
    static bool IsPackage(std::string_view localPath);
};
