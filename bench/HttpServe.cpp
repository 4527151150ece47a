// bench_http_serve FILE: serves FILE at /file from 127.0.0.1 with sendfile,
// prints the address, and runs until it gets SIGINT or SIGTERM. The download
// benchmark fetches from it with pixvel-tool and with curl in turn.

#include "CLocalHttpServer.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void ServeFile(const char* path, CHttpConnection& connection)
{
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    struct stat info
    {
    };
    if (fd < 0 || fstat(fd, &info) != 0) {
        connection.Respond(404, {{"Content-Type", "text/plain"}}, "no file\n");
        return;
    }
    connection.Send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                    "Content-Length: " +
                    std::to_string(info.st_size) + "\r\nConnection: close\r\n\r\n");
    off_t offset = 0;
    while (offset < info.st_size &&
           sendfile(connection.Socket(), fd, &offset, size_t(info.st_size - offset)) > 0) {
    }
    close(fd);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_http_serve FILE\n");
        return 1;
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    CLocalHttpServer server;
    const char* path = argv[1];
    server.Route("/file", [path](const HttpRequest&, CHttpConnection& connection) {
        ServeFile(path, connection);
    });
    std::printf("%s\n", server.Url("/file").c_str());
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    return 0;
}
