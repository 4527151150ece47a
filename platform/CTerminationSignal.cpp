#include "CTerminationSignal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// The signal handler writes one byte here; the event loop reads it.
int g_pair[2] = {-1, -1};

void Notify(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(g_pair[0], &byte, 1);
    errno = saved;
}

void SetAction(void (*handler)(int))
{
    struct sigaction action
    {
    };
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

CTerminationSignal::CTerminationSignal(std::function<void()> onSignal)
    : onSignal_(std::move(onSignal))
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pair) != 0) {
        return; // the signal keeps its default action
    }
    notifier_ = std::make_unique<QSocketNotifier>(g_pair[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (read(g_pair[1], bytes, sizeof bytes) > 0) {
        }
        onSignal_();
    });
    SetAction(&Notify);
}

CTerminationSignal::~CTerminationSignal()
{
    if (!notifier_) {
        return;
    }
    SetAction(SIG_DFL);
    notifier_.reset();
    close(g_pair[0]);
    close(g_pair[1]);
    g_pair[0] = g_pair[1] = -1;
}

} // namespace platform
