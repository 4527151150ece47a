// The other process of the window link tests:
//   WindowLinkPeer send TITLE WORD TEXT   prints the result; exit 1 for none
//   WindowLinkPeer listen TITLE           answers WORD + 1 until sent "quit";
//                                         exit 2 when the title is taken
//   WindowLinkPeer raw PATH WORD TEXT     a frame straight to a socket path;
//                                         exit 0 answered, 3 closed, 4 refused

#include "CWindowLink.h"
#include "WindowLinkFrames.h"

#include <QCoreApplication>

#include <cstdio>

using platform::CWindowLink;

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList words = application.arguments().mid(1);
    if (words.size() == 4 && words[0] == "send") {
        const auto result = CWindowLink::Send(words[1], words[2].toUInt(), words[3].toUtf8());
        if (result) {
            std::printf("%ld\n", *result);
        }
        return result ? 0 : 1;
    }
    if (words.size() == 2 && words[0] == "listen") {
        CWindowLink link;
        const bool listening = link.Listen(words[1], [](uint32_t word, const QByteArray& bytes) {
            if (bytes == "quit") {
                QCoreApplication::quit();
            }
            return long(word) + 1;
        });
        std::printf(listening ? "listening\n" : "taken\n");
        std::fflush(stdout);
        return listening ? application.exec() : 2;
    }
    if (words.size() == 4 && words[0] == "raw") {
        const frames::Reply reply =
            frames::SendRaw(words[1], frames::Message(words[2].toUInt(), words[3].toUtf8()));
        return reply.outcome == frames::Outcome::Answered       ? 0
               : reply.outcome == frames::Outcome::ClosedUnread ? 3
                                                                : 4;
    }
    std::fprintf(stderr, "usage: WindowLinkPeer send|listen|raw ...\n");
    return 64;
}
