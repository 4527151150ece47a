// Stands in for the editor in the updater's tests: records its process id in
// started.txt beside itself, then waits to be ended (60 s at most). Asked to
// end (SIGTERM), it records its process id in ended.txt and ends; with the
// file ignore-term.txt beside it, it ignores the request.

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string g_ended;   // the path of ended.txt
std::string g_pidLine; // this process's id and a line end

void Ended(int)
{
    const int fd = open(g_ended.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    [[maybe_unused]] const ssize_t written = write(fd, g_pidLine.data(), g_pidLine.size());
    _exit(0);
}

} // namespace

int main(int, char** argv)
{
    std::string folder = argv[0];
    folder = folder.substr(0, folder.find_last_of('/') + 1);
    g_ended = folder + "ended.txt";
    g_pidLine = std::to_string(getpid()) + "\n";
    const bool ignore = std::ifstream(folder + "ignore-term.txt").good();
    signal(SIGTERM, ignore ? SIG_IGN : &Ended);
    std::ofstream(folder + "started.txt", std::ios::app) << g_pidLine;
    sleep(60);
    return 0;
}
