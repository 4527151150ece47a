#include "CDownloaderWindow.h"

#include "CRegistry.h"
#include "CSafePath.h"
#include "CTextProgressBar.h"
#include "CTransferFigures.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kColumnWidths[] = {120, 100, 80, 220};
const QColor kRowBarRest(200, 200, 200);
// A registry value longer than this (with its NUL) reads as empty text.
constexpr int kMaxValueBytes = 1024;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// A stored path with `\` or `/` between levels, as a native path.
QString NativePath(const QString& stored)
{
    return Text(CSafePath::Native(stored.toStdString()));
}

// The report list: one row per request, its four columns left-aligned.
QTreeWidget* MakeList(QWidget* parent)
{
    auto* list = new QTreeWidget(parent);
    list->setAccessibleName("전송 목록");
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels({"이름", "크기", "상태", "저장폴더"});
    list->header()->setStretchLastSection(false);
    for (int column = 0; column < 4; ++column) {
        list->header()->resizeSection(column, kColumnWidths[column]);
    }
    return list;
}

} // namespace

CDownloaderWindow::CDownloaderWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(kTitle);
    setFont(QFont("굴림", 9));

    list_ = MakeList(this);

    auto* progressLabel = new QLabel("진행상황", this);
    overall_ = new CTextProgressBar(this);
    overall_->setAccessibleName(progressLabel->text());
    progressLabel->setBuddy(overall_);
    status_ = new QLabel(this);
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status_->setAccessibleName("상태 표시줄");
    button_ = new QPushButton(kCloseText, this);
    button_->setDefault(true);
    connect(button_, &QPushButton::clicked, this, &CDownloaderWindow::OnButton);

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(progressLabel);
    progressRow->addWidget(overall_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(button_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(progressRow);
    layout->addLayout(bottom);
    resize(560, 300);

    status_->setText(kWaiting);
}

CDownloaderWindow::~CDownloaderWindow()
{
    link_.Close();
    worker_.reset(); // joins the worker before the widgets it reports to go
}

bool CDownloaderWindow::Initialise(const QStringList& arguments)
{
    QString apps;
    QString folder;
    if (arguments.size() == 1) {
        const QString key = "HKEY_CURRENT_USER\\" + arguments.first();
        apps = platform::CRegistry::Read(key, "APPS_PATH", kMaxValueBytes);
        folder = platform::CRegistry::Read(key, "DOWNLOAD_FOLDER", kMaxValueBytes);
    }
    // Without an absolute installation folder the download folder would be
    // relative to wherever the program was started, or at the root.
    if (!QDir::isAbsolutePath(NativePath(apps))) {
        QMessageBox refusal(QMessageBox::Warning, kTitle, kCannotInitialise, QMessageBox::Ok, this);
        refusal.button(QMessageBox::Ok)->setText("확인");
        refusal.exec();
        return false;
    }
    // An absolute DOWNLOAD_FOLDER is the folder itself: the user's own items
    // folder beside an installation the user cannot write to.
    const QString download = NativePath(folder);
    downloadFolder_ = QDir::isAbsolutePath(download) ? download : NativePath(apps) + "/" + download;
    worker_ = std::make_unique<CDownloadWorker>(downloadFolder_.toStdString(), MakeObserver());
    return true;
}

bool CDownloaderWindow::StartListening()
{
    return link_.Listen(kTitle, [this](uint32_t dataWord, const QByteArray& bytes) {
        return OnRequest(dataWord, bytes);
    });
}

long CDownloaderWindow::OnRequest(uint32_t dataWord, const QByteArray& bytes)
{
    DownloadRequest request = CDownloadRequest::Parse(dataWord, bytes.toStdString());
    request.row = list_->topLevelItemCount();
    auto* item =
        new QTreeWidgetItem({Text(request.name), Text(CTransferFigures::SizeText(dataWord)),
                             QString(), downloadFolder_ + "/" + NativePath(Text(request.file))});
    list_->addTopLevelItem(item);
    auto* bar = new CTextProgressBar;
    bar->SetRestColour(kRowBarRest);
    bar->setAccessibleName(item->text(0) + " 상태");
    list_->setItemWidget(item, 2, bar);
    if (worker_) {
        worker_->Add(std::move(request));
    }
    return 0;
}

void CDownloaderWindow::Post(std::function<void()> change)
{
    QMetaObject::invokeMethod(this, std::move(change), Qt::QueuedConnection);
}

CDownloadWorker::Observer CDownloaderWindow::MakeObserver()
{
    CDownloadWorker::Observer observer;
    observer.started = [this] { Post([this] { button_->setText(kStopText); }); };
    observer.finished = [this] {
        Post([this] {
            status_->setText(kFinished);
            button_->setText(kCloseText);
        });
    };
    observer.status = [this](const std::string& text) {
        Post([this, text] { status_->setText(Text(text)); });
    };
    observer.rowPosition = [this](int row, int position) {
        Post([this, row, position] { RowBar(row)->setValue(position); });
    };
    observer.rowText = [this](int row, const std::string& text) {
        Post([this, row, text] { RowBar(row)->SetBarText(Text(text)); });
    };
    observer.sizeText = [this](int row, const std::string& text) {
        Post([this, row, text] { list_->topLevelItem(row)->setText(1, Text(text)); });
    };
    observer.overall = [this](int position) {
        Post([this, position] { overall_->setValue(position); });
    };
    return observer;
}

void CDownloaderWindow::OnButton()
{
    if (!WorkerRunning()) {
        accept();
    } else if (button_->text() == kStopText) {
        button_->setText(kTransferText);
        worker_->Pause();
    } else {
        button_->setText(kStopText);
        worker_->Resume();
    }
}

void CDownloaderWindow::done(int result)
{
    // The title is free and the window gone at once; then the transfer under
    // way ends, its partial file removed, and the worker is joined. (A
    // server that sends nothing holds the worker until the transfer's stall
    // limit ends it.)
    link_.Close();
    QDialog::done(result);
    if (worker_) {
        worker_->Stop();
    }
}

bool CDownloaderWindow::WorkerRunning() const
{
    return worker_ && worker_->Running();
}

QString CDownloaderWindow::StatusText() const
{
    return status_->text();
}

CTextProgressBar* CDownloaderWindow::RowBar(int row) const
{
    return static_cast<CTextProgressBar*>(list_->itemWidget(list_->topLevelItem(row), 2));
}

void CDownloaderWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction("VelunarDownloader 정보(&A)...", this, &CDownloaderWindow::ShowAbout);
    menu.exec(event->globalPos());
}

void CDownloaderWindow::ShowAbout()
{
    QMessageBox about(QMessageBox::Information, "VelunarDownloader 정보",
                      "VelunarDownloader 버전 1.0", QMessageBox::Ok, this);
    about.button(QMessageBox::Ok)->setText("확인");
    about.exec();
}
