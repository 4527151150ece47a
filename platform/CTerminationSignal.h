#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace platform {

// Turns SIGTERM (the request to end that a session's log-out or the updater
// sends) into a call on the thread that made the object, from its event
// loop, so that a program can keep its work before it ends. One object at a
// time; its end restores the signal's default action.
class CTerminationSignal : public QObject
{
public:
    explicit CTerminationSignal(std::function<void()> onSignal);
    ~CTerminationSignal() override;

private:
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace platform
