// Stands in for the editor in the updater's tests: records its process id in
// started.txt beside itself, then waits to be ended (60 s at most).

#include <fstream>
#include <string>
#include <unistd.h>

int main(int, char** argv)
{
    std::string folder = argv[0];
    folder = folder.substr(0, folder.find_last_of('/') + 1);
    std::ofstream(folder + "started.txt", std::ios::app) << getpid() << "\n";
    sleep(60);
    return 0;
}
