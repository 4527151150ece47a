#pragma once

#include "CUpdater.h"

#include <QDialog>

#include <atomic>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

// The window "업데이트 마법사": file counter, amount, progress bar, status
// line and the "종료" button. Prepare runs the start steps (the key,
// information file, decision, signature) before the window is shown; the
// transfers, stopping the editor and moving the files into place run on a
// worker thread that reports through queued calls.
class CUpdateDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CUpdateDialog(UpdateArguments arguments, QWidget* parent = nullptr);
    ~CUpdateDialog() override;

    // False when there is nothing to update: the program ends without
    // showing anything.
    bool Prepare();
    bool WorkerRunning() const { return running_; }
    QString StatusText() const;
    QString CounterText() const;
    QString AmountText() const;
    int ProgressPosition() const;
    bool CloseEnabled() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void StartWorker();
    void Finish(bool succeeded);
    void ShowAbout();
    // Runs `change` on the window thread.
    void Post(std::function<void()> change);

    UpdateArguments arguments_;
    UpdateInfo info_;
    QLabel* counter_ = nullptr;
    QLabel* amount_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* close_ = nullptr;
    std::thread worker_;
    std::atomic<bool> running_{false};
};
