#include "CUpdateDialog.h"

#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {

constexpr int kRestartDelayMs = 100;
constexpr int kWorkerDelayMs = 100;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

CUpdateDialog::CUpdateDialog(UpdateArguments arguments, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      arguments_(std::move(arguments))
{
    setWindowTitle("업데이트 마법사");
    setFont(QFont("굴림", 9));

    auto* box = new QGroupBox(this);
    auto* rows = new QGridLayout(box);
    counter_ = new QLabel(box);
    amount_ = new QLabel(box);
    progress_ = new QProgressBar(box);
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    rows->addWidget(new QLabel("파일 : ", box), 0, 0);
    rows->addWidget(counter_, 0, 1);
    rows->addWidget(new QLabel("전송량 :", box), 0, 2);
    rows->addWidget(amount_, 0, 3);
    rows->addWidget(new QLabel("진행상황", box), 1, 0);
    rows->addWidget(progress_, 1, 1, 1, 3);
    rows->setColumnStretch(3, 1);

    status_ = new QLabel(this);
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    close_ = new QPushButton("종료", this);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(bottom);
    setFixedSize(440, 150);
}

CUpdateDialog::~CUpdateDialog()
{
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool CUpdateDialog::Prepare()
{
    status_->setText(CUpdater::kPreparing);
    progress_->setValue(0);
    const auto key = CUpdater::TrustedKey();
    if (!key) {
        std::fprintf(stderr, "%s\n", CUpdater::kNoKey);
        return false;
    }
    if (!CUpdater::NeedsUpdate(arguments_, info_)) {
        return false;
    }
    if (!CUpdater::CanApply(arguments_, info_, *key)) {
        // An update that is not the publisher's, or could not complete,
        // stops nothing: the editor would be ended again at every start.
        Finish(false);
        return true;
    }
    status_->setText(CUpdater::kStarting);
    QTimer::singleShot(kWorkerDelayMs, this, &CUpdateDialog::StartWorker);
    return true;
}

void CUpdateDialog::Post(std::function<void()> change)
{
    QMetaObject::invokeMethod(this, std::move(change), Qt::QueuedConnection);
}

void CUpdateDialog::StartWorker()
{
    close_->setEnabled(false);
    running_ = true;
    worker_ = std::thread([this] {
        CUpdater::Observer observer;
        observer.status = [this](const std::string& text) {
            Post([this, text] { status_->setText(Text(text)); });
        };
        observer.counter = [this](int number, int count) {
            Post([this, number, count] {
                counter_->setText(QString("%1/%2").arg(number).arg(count));
            });
        };
        observer.amount = [this](uint64_t received, int64_t total) {
            Post([this, received, total] {
                amount_->setText(Text(CUpdateInfo::AmountText(received, total)));
                progress_->setValue(CUpdateInfo::ProgressPosition(received, total));
            });
        };
        bool succeeded = false;
        try {
            succeeded = CUpdater::Run(arguments_, info_, observer);
        } catch (...) { // nothing may escape the thread: it is a failed update
        }
        Post([this, succeeded] { Finish(succeeded); });
        running_ = false;
    });
}

void CUpdateDialog::Finish(bool succeeded)
{
    if (succeeded) {
        QTimer::singleShot(kRestartDelayMs, this, &QDialog::accept);
        return;
    }
    status_->setText(CUpdater::kFailed);
    close_->setEnabled(true);
}

void CUpdateDialog::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction("VelunarUpdate 정보(&A)...", this, &CUpdateDialog::ShowAbout);
    menu.exec(event->globalPos());
}

void CUpdateDialog::ShowAbout()
{
    QMessageBox about(QMessageBox::Information, "VelunarUpdate 정보", "VelunarUpdate 버전 1.0",
                      QMessageBox::Ok, this);
    about.button(QMessageBox::Ok)->setText("확인");
    about.exec();
}

QString CUpdateDialog::StatusText() const
{
    return status_->text();
}

QString CUpdateDialog::CounterText() const
{
    return counter_->text();
}

QString CUpdateDialog::AmountText() const
{
    return amount_->text();
}

int CUpdateDialog::ProgressPosition() const
{
    return progress_->value();
}

bool CUpdateDialog::CloseEnabled() const
{
    return close_->isEnabled();
}
