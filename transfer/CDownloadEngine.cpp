#include "CDownloadEngine.h"

#include "CAtomicFile.h"
#include "CHttpStatusException.h"
#include "CPartialFiles.h"
#include "CSafePath.h"

#include <algorithm>
#include <cctype>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsRedirect(uint32_t status)
{
    return status == 301 || status == 302 || status == 303;
}

bool IsSuccess(uint32_t status)
{
    return status >= 200 && status <= 299;
}

// The scheme a Location names ("ftp" for "ftp://x"), empty when it names none.
std::string NamedScheme(const std::string& location)
{
    if (location.empty() || !std::isalpha(static_cast<unsigned char>(location[0]))) {
        return {};
    }
    for (size_t i = 1; i < location.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(location[i]);
        if (c == ':') {
            std::string scheme = location.substr(0, i);
            std::ranges::transform(scheme, scheme.begin(),
                                   [](unsigned char s) { return char(std::tolower(s)); });
            return scheme;
        }
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') {
            break;
        }
    }
    return {};
}

} // namespace

std::string CDownloadEngine::RedirectTarget(const std::string& location,
                                            const std::string& requested)
{
    if (location.empty()) {
        throw CInternetException("redirect without a Location from " + requested);
    }
    const std::string scheme = NamedScheme(location);
    if (!scheme.empty() && scheme != "http" && scheme != "https") {
        throw CInternetException("refused redirect to " + location);
    }
    const ParsedUrl from = CHttpSession::Parse(requested);
    if (location.starts_with("http")) {
        // Program files never leave an encrypted connection for a plain one.
        if (from.scheme == "https" && scheme == "http") {
            throw CInternetException("refused redirect from https to " + location);
        }
        return location;
    }
    // Made absolute as the servers of the item service expect it: the host
    // just requested, then "/" and the Location as it stands (so "/a" gives
    // two slashes). A port the request named is kept.
    const std::string port = from.port.empty() ? std::string() : ":" + from.port;
    return (from.scheme == "http" ? "http://" : "https://") + from.host + port + "/" + location;
}

ResponseFacts CDownloadEngine::OpenResource(CHttpSession& session, const std::string& url,
                                            const CHttpSession::HeadersHook& onHeaders,
                                            const CHttpSession::BodyHook& onBody)
{
    const bool anyStatus = session.Limits().acceptAnyStatus;
    std::string current = url;
    for (int redirects = 0;; ++redirects) {
        bool redirected = false;
        bool refused = false;
        const CHttpSession::HeadersHook judge = [&](const ResponseFacts& facts) {
            redirected = IsRedirect(facts.status);
            refused = !redirected && !anyStatus && !IsSuccess(facts.status);
            return !redirected && !refused && onHeaders(facts);
        };
        const ResponseFacts facts = session.Request(current, judge, onBody);
        if (refused) {
            throw CHttpStatusException(facts.status, current);
        }
        if (!redirected) {
            return facts;
        }
        if (redirects == kMaxRedirects) {
            throw CInternetException("more than " + std::to_string(kMaxRedirects) +
                                     " redirects from " + url);
        }
        current = RedirectTarget(facts.location, current);
    }
}

DownloadResult CDownloadEngine::DownloadToFile(const std::string& url, const std::string& localPath,
                                               const ProgressHook& progress,
                                               const UnpackStep& unpack,
                                               const TransferLimits& limits)
{
    CHttpSession session(limits);
    CAtomicFile file;
    const std::string target = CSafePath::Native(localPath);
    DownloadResult result = DownloadResult::NoContentType;
    int64_t total = 0;
    uint64_t received = 0;
    const auto onHeaders = [&](const ResponseFacts& facts) {
        if (!facts.hasContentType) {
            return false;
        }
        total = facts.contentLength;
        MakeFolders(CSafePath::FolderPart(localPath));
        CPartialFiles::RemoveStale(CSafePath::ParentFolder(target));
        result = file.Open(target) ? DownloadResult::Written : DownloadResult::NotWritable;
        if (result == DownloadResult::Written && progress) {
            progress(0, total); // the amount shown before the first piece
        }
        return result == DownloadResult::Written;
    };
    const auto onBody = [&](const char* data, size_t size) {
        file.Write(data, size);
        received += size;
        if (progress) {
            progress(received, total);
        }
    };
    // While the server sends nothing the hook still runs, with the same
    // figures, so that it can end the transfer.
    session.SetTick([&] {
        if (result == DownloadResult::Written && progress) {
            progress(received, total);
        }
    });
    OpenResource(session, url, onHeaders, onBody);
    if (result != DownloadResult::Written) {
        return result;
    }
    file.Commit();
    if (IsPackage(localPath) && unpack) {
        struct RemovePackage
        {
            const std::string& path;
            ~RemovePackage() { unlink(path.c_str()); }
        } removeAfterwards{target};
        unpack(target);
    }
    return result;
}

std::string CDownloadEngine::ReadText(const std::string& url, const TransferLimits& limits)
{
    return Lines(ReadBytes(url, kMaxTextBytes, limits));
}

std::string CDownloadEngine::ReadBytes(const std::string& url, size_t maxBytes,
                                       const TransferLimits& limits)
{
    CHttpSession session(limits);
    std::string body;
    const auto onHeaders = [](const ResponseFacts& facts) { return facts.hasContentType; };
    const auto onBody = [&](const char* data, size_t size) {
        if (body.size() + size > maxBytes) {
            throw CInternetException("the text is too long: " + url);
        }
        body.append(data, size);
    };
    OpenResource(session, url, onHeaders, onBody);
    return body;
}

// Splits a body into lines at LF, drops a CR before each LF and ends every
// line with CR LF; a last line without LF counts as a line.
std::string CDownloadEngine::Lines(const std::string& body)
{
    std::string text;
    text.reserve(body.size() + body.size() / 16);
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find('\n', start);
        const size_t next = end == std::string::npos ? body.size() : end + 1;
        end = end == std::string::npos ? body.size() : end;
        if (end > start && body[end - 1] == '\r') {
            --end;
        }
        text.append(body, start, end - start);
        text += "\r\n";
        start = next;
    }
    return text;
}

std::string CDownloadEngine::FetchText(const std::string& url,
                                       const TransferLimits& limits) noexcept
{
    try {
        return ReadText(url, limits);
    } catch (...) {
        return {};
    }
}

bool CDownloadEngine::MakeFolders(std::string_view folder)
{
    const std::string native = CSafePath::Native(folder);
    for (size_t i = 1; i < native.size(); ++i) {
        if (native[i] == '/') {
            mkdir(native.substr(0, i).c_str(), 0777);
        }
    }
    return !native.empty() && mkdir(native.c_str(), 0777) == 0;
}

bool CDownloadEngine::IsPackage(std::string_view localPath)
{
    return CSafePath::UpperExtension(localPath) == "ZIP";
}
