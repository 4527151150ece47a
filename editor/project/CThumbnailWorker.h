#pragma once

#include "CThumbnailMaker.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QThread;

// One row of the item library as the worker hands it over.
struct ThumbnailRow
{
    int index = 0; // position in the worker's list
    QString path;  // the path as listed ("문자열" for a text item)
    QString name;  // the row's text
    Thumbnail thumbnail;
};

// One pass of thumbnail making over a list of paths, off the calling thread.
// It works on its own copy of the paths and decodes on up to `threads`
// Qt threads (the image plugins are made on the thread that starts it),
// yet hands the rows to the sink one by one in list order, each as
// soon as it and every row before it are made. The sink runs on a worker
// thread (the item library posts the row to its own thread from there).
//
// Stopping: RequestStop() takes effect between two files; once it returns,
// the sink is never called again. Wait() waits a bounded time for the
// threads; a worker destroyed while a thread is still decoding leaves that
// thread to finish its file on its own (it holds what it needs and calls
// nothing when it is done).
class CThumbnailWorker
{
public:
    using Sink = std::function<void(ThumbnailRow)>;

    // `textPicture` is the file shown for text items (installation folder +
    // "text.bmp").
    CThumbnailWorker(QStringList paths, QString textPicture, Sink sink,
                     int threads = DefaultThreads());
    ~CThumbnailWorker();

    CThumbnailWorker(const CThumbnailWorker&) = delete;
    CThumbnailWorker& operator=(const CThumbnailWorker&) = delete;

    void Start();
    void RequestStop();
    // True when every thread has ended within the time (they are joined).
    bool Wait(int milliseconds);

    // Both cores of a small machine, never more than two.
    static int DefaultThreads();

private:
    struct State;

    static void Run(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_;
    int threadCount_;
    std::vector<std::unique_ptr<QThread>> threads_;
};
