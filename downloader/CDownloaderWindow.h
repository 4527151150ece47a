#pragma once

#include "CDownloadWorker.h"
#include "CWindowLink.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTreeWidget;
class CTextProgressBar;

// The window "PixvelDownloader": the list of requests (name, size, a
// progress bar per row, save path), the overall progress bar, the status
// line and the one button ("종료", "중지" while a worker runs, "전송" while
// paused). Requests arrive through the window link under the window's
// title; the worker runs them and reports through queued calls.
class CDownloaderWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = "PixvelDownloader";
    static constexpr const char* kWaiting = "파일 전송 대기 중입니다.";
    static constexpr const char* kFinished = "파일 전송이 끝났습니다.";
    static constexpr const char* kCannotInitialise = "초기화를 할 수 없습니다.";
    static constexpr const char* kCloseText = "종료";
    static constexpr const char* kStopText = "중지";
    static constexpr const char* kTransferText = "전송";
    static constexpr int kSaveFolderColumn = 3;

    explicit CDownloaderWindow(QWidget* parent = nullptr);
    ~CDownloaderWindow() override;

    // The command line: exactly one argument, a settings key below
    // HKEY_CURRENT_USER that names the installation folder (APPS_PATH) and
    // the download folder in it (DOWNLOAD_FOLDER, or any folder when that
    // value is an absolute path). Otherwise the message
    // "초기화를 할 수 없습니다." is shown and the result is false.
    bool Initialise(const QStringList& arguments);
    // Makes the window findable by its title; false when another window
    // already has it.
    bool StartListening();
    // One request as the window link delivers it; returns the message's
    // result (0).
    long OnRequest(uint32_t dataWord, const QByteArray& bytes);

    QString DownloadFolder() const { return downloadFolder_; }
    QString StatusText() const;
    QPushButton* Button() const { return button_; }
    QTreeWidget* List() const { return list_; }
    CTextProgressBar* OverallBar() const { return overall_; }
    CTextProgressBar* RowBar(int row) const;
    bool WorkerRunning() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void done(int result) override;

private:
    void OnButton();
    CDownloadWorker::Observer MakeObserver();
    // Runs `change` on the window thread.
    void Post(std::function<void()> change);
    void ShowAbout();

    QTreeWidget* list_ = nullptr;
    CTextProgressBar* overall_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* button_ = nullptr;
    QString downloadFolder_;
    std::unique_ptr<CDownloadWorker> worker_;
    platform::CWindowLink link_;
};
