#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

// One request as the server read it; header names are lower-cased.
struct HttpRequest
{
    std::string method;
    std::string path;
    std::map<std::string, std::string> headers;
};

class CLocalHttpServer;

// The connection a handler answers on. The server closes it afterwards.
class CHttpConnection
{
public:
    CHttpConnection(int socket, CLocalHttpServer& server) : socket_(socket), server_(server) {}

    int Socket() const { return socket_; }
    // Sends the bytes as they are; false once the peer has gone.
    bool Send(std::string_view bytes);
    // A whole response: status line, the headers given, Content-Length
    // unless `withLength` is false, Connection: close, and the body.
    void Respond(int status, const std::vector<std::pair<std::string, std::string>>& headers,
                 std::string_view body, bool withLength = true);
    // Sleeps up to `duration`, less when the server stops.
    void Pause(std::chrono::milliseconds duration);
    // A slow answer: a 200 with a Content-Type and the Content-Length
    // `announced` (none when 0), then `piece` bytes every `every` until the
    // client goes, the server stops or `limit` has passed.
    void Trickle(int64_t announced, size_t piece, std::chrono::milliseconds every,
                 std::chrono::seconds limit = std::chrono::seconds(30));

private:
    int socket_;
    CLocalHttpServer& server_;
};

// A small HTTP/1.1 server on 127.0.0.1 for tests and benchmarks: it listens
// on a free port, answers each connection on a thread of its own with the
// handler routed to the request's path (404 without one), and closes the
// connection after one response. Stopping (or destroying) it joins every
// thread.
class CLocalHttpServer
{
public:
    using Handler = std::function<void(const HttpRequest&, CHttpConnection&)>;

    CLocalHttpServer();
    ~CLocalHttpServer();
    CLocalHttpServer(const CLocalHttpServer&) = delete;
    CLocalHttpServer& operator=(const CLocalHttpServer&) = delete;

    // Routes an exact path (without the query) to a handler.
    void Route(const std::string& path, Handler handler);
    uint16_t Port() const { return port_; }
    // "http://127.0.0.1:PORT" followed by `path`.
    std::string Url(std::string_view path) const;
    // The requests answered so far, in order of arrival.
    std::vector<HttpRequest> Requests() const;
    void Stop();

private:
    friend class CHttpConnection;
    void AcceptLoop();
    void Serve(int socket);

    int listener_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    std::map<std::string, Handler> routes_;
    std::vector<HttpRequest> requests_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};
