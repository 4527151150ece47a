#include "CLocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <sstream>
#include <stdexcept>

namespace {

std::string Lower(std::string text)
{
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

// Reads the request head (up to the blank line) and parses it.
bool ReadRequest(int socket, HttpRequest& request)
{
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t got = recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0 || head.size() > 65536) {
            return false;
        }
        head.append(buffer, size_t(got));
    }
    std::istringstream lines(head.substr(0, head.find("\r\n\r\n")));
    std::string line;
    std::getline(lines, line);
    std::istringstream first(line);
    first >> request.method >> request.path;
    request.path = request.path.substr(0, request.path.find('?'));
    while (std::getline(lines, line)) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string value = line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            if (!value.empty() && value.back() == '\r') {
                value.pop_back();
            }
            request.headers[Lower(line.substr(0, colon))] = value;
        }
    }
    return true;
}

} // namespace

bool CHttpConnection::Send(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(size_t(sent));
    }
    return true;
}

void CHttpConnection::Respond(int status,
                              const std::vector<std::pair<std::string, std::string>>& headers,
                              std::string_view body, bool withLength)
{
    std::string head = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
    for (const auto& [name, value] : headers) {
        head += name + ": " + value + "\r\n";
    }
    if (withLength) {
        head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    }
    head += "Connection: close\r\n\r\n";
    if (Send(head)) {
        Send(body);
    }
}

void CHttpConnection::Pause(std::chrono::milliseconds duration)
{
    std::unique_lock lock(server_.mutex_);
    server_.stopped_.wait_for(lock, duration, [this] { return server_.stopping_.load(); });
}

void CHttpConnection::Trickle(int64_t announced, size_t piece, std::chrono::milliseconds every,
                              std::chrono::seconds limit)
{
    std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n";
    if (announced > 0) {
        head += "Content-Length: " + std::to_string(announced) + "\r\n";
    }
    const auto end = std::chrono::steady_clock::now() + limit;
    if (!Send(head + "\r\n")) {
        return;
    }
    while (std::chrono::steady_clock::now() < end && !server_.stopping_ &&
           Send(std::string(piece, 'x'))) {
        Pause(every);
    }
}

CLocalHttpServer::CLocalHttpServer()
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 64) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

CLocalHttpServer::~CLocalHttpServer()
{
    Stop();
}

void CLocalHttpServer::Route(const std::string& path, Handler handler)
{
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(handler);
}

std::string CLocalHttpServer::Url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<HttpRequest> CLocalHttpServer::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void CLocalHttpServer::Stop()
{
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return;
        }
        stopping_ = true;
    }
    stopped_.notify_all();
    acceptor_.join();
    for (std::thread& connection : connections_) {
        connection.join();
    }
    close(listener_);
}

void CLocalHttpServer::AcceptLoop()
{
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0) {
            continue;
        }
        const int socket = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket >= 0) {
            std::lock_guard lock(mutex_);
            connections_.emplace_back([this, socket] { Serve(socket); });
        }
    }
}

void CLocalHttpServer::Serve(int socket)
{
    HttpRequest request;
    if (ReadRequest(socket, request)) {
        Handler handler;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            const auto route = routes_.find(request.path);
            if (route != routes_.end()) {
                handler = route->second;
            }
        }
        CHttpConnection connection(socket, *this);
        if (handler) {
            handler(request, connection);
        } else {
            connection.Respond(404, {{"Content-Type", "text/plain"}}, "not found\n");
        }
    }
    shutdown(socket, SHUT_WR);
    close(socket);
}
