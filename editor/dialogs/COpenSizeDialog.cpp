#include "COpenSizeDialog.h"

#include "BuddyLabel.h"
#include "CNumberEdit.h"
#include "CPictureSizeCheck.h"
#include "OkCancelButtons.h"
#include "Refusal.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kFirstOtherBox = 5;

// Largest number a size field can show.
constexpr qint64 kLargestField = 999'999'999;

// round(value × numerator ÷ denominator) with halves rounded up, kept within
// what a size field can show.
int ScaledRounded(qint64 value, qint64 numerator, qint64 denominator)
{
    return int(std::min((2 * value * numerator + denominator) / (2 * denominator), kLargestField));
}

} // namespace

COpenSizeDialog::COpenSizeDialog(QWidget* parent)
    : QDialog(parent), boxes_{QSize(0, 0),       QSize(640, 480),  QSize(400, 300),
                              QSize(320, 240),   QSize(160, 120),  QSize(800, 600),
                              QSize(1024, 768),  QSize(1152, 864), QSize(1280, 960),
                              QSize(1280, 1024), QSize(1600, 1024)}
{
    setWindowTitle(QStringLiteral("이미지 크기"));

    const std::array<const char*, 7> labels = {
        "원본크기",           "게시판용 (640×480)", "미니홈피용 (400×300)",
        "동영상용 (320×240)", "휴패폰용 (160×120)", "기타 :",
        "사용자 정의"};
    auto* group = new QGroupBox(QStringLiteral("불러올 크기"), this);
    auto* grid = new QGridLayout(group);
    choices_ = new QButtonGroup(this);
    for (int choice = 0; choice < int(labels.size()); ++choice) {
        auto* radio = new QRadioButton(QString::fromUtf8(labels[std::size_t(choice)]), group);
        radio->setObjectName(QStringLiteral("choice%1").arg(choice));
        choices_->addButton(radio, choice);
        grid->addWidget(radio, choice, 0);
    }
    sourceSize_ = new QLabel(group);
    sourceSize_->setObjectName("sourceSize");
    grid->addWidget(sourceSize_, Original, 1, 1, 2);

    otherSizes_ = new QComboBox(group);
    otherSizes_->setObjectName("otherSizes");
    otherSizes_->setAccessibleName(QStringLiteral("기타 크기"));
    for (int box = kFirstOtherBox; box < kBoxes; ++box) {
        const QSize size = boxes_[std::size_t(box)];
        otherSizes_->addItem(QStringLiteral("%1×%2").arg(size.width()).arg(size.height()));
    }
    grid->addWidget(otherSizes_, Other, 1, 1, 2);

    width_ = new CNumberEdit(group);
    height_ = new CNumberEdit(group);
    width_->setObjectName("width");
    height_->setObjectName("height");
    linked_ = new QCheckBox(QStringLiteral("원본이미지 비율에 맞추기"), group);
    linked_->setObjectName("linked");
    grid->addWidget(BuddyLabel(QStringLiteral("가로크기 :"), width_), Custom + 1, 1);
    grid->addWidget(width_, Custom + 1, 2);
    grid->addWidget(BuddyLabel(QStringLiteral("세로크기 :"), height_), Custom + 2, 1);
    grid->addWidget(height_, Custom + 2, 2);
    grid->addWidget(linked_, Custom + 3, 1, 1, 2);
    grid->setColumnMinimumWidth(0, 150);

    QDialogButtonBox* buttons = MakeOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(choices_, &QButtonGroup::idClicked, this, &COpenSizeDialog::ApplyChoice);
    connect(width_, &QLineEdit::textEdited, this, &COpenSizeDialog::WidthTyped);
    connect(height_, &QLineEdit::textEdited, this, &COpenSizeDialog::HeightTyped);
    connect(linked_, &QCheckBox::clicked, this, &COpenSizeDialog::LinkTicked);
    connect(&loading_, &QFutureWatcher<CBitmap>::finished, this, &COpenSizeDialog::Loaded);

    choices_->button(Original)->setChecked(true);
    linked_->setChecked(true);
    ApplyChoice();
}

Status COpenSizeDialog::SetPath(const QString& path)
{
    QSize size;
    if (const Status status = CBitmap::Probe(path, &size); Failed(status)) {
        return status;
    }
    path_ = path;
    // Decoded while the user chooses the size.
    decoded_ = CBitmap::FromFileInBackground(path);
    boxes_[Original] = size;
    sourceSize_->setText(QStringLiteral("(%1×%2)").arg(size.width()).arg(size.height()));
    width_->SetNumber(size.width());
    height_->SetNumber(size.height());
    choices_->button(Original)->setChecked(true);
    otherSizes_->setCurrentIndex(0);
    ApplyChoice();
    return Status::Ok;
}

CBitmap COpenSizeDialog::TakeResult()
{
    return std::exchange(result_, CBitmap());
}

CBitmap COpenSizeDialog::OpenPicture(QWidget* parent, const QString& path)
{
    COpenSizeDialog dialog(parent);
    if (Failed(dialog.SetPath(path))) {
        ShowRefusal(parent, QStringLiteral("그림 파일을 열 수 없습니다.\n%1").arg(path));
        return CBitmap();
    }
    if (dialog.exec() != QDialog::Accepted) {
        return CBitmap();
    }
    return dialog.TakeResult();
}

// A picture never shrinks below one pixel on a side, however thin it is.
QSize COpenSizeDialog::FitToBox(QSize picture, QSize box)
{
    const qint64 w = picture.width();
    const qint64 h = picture.height();
    if (qint64(box.height()) * w >= h * box.width()) {
        return QSize(box.width(), std::max(1, ScaledRounded(box.width(), h, w)));
    }
    return QSize(std::max(1, ScaledRounded(box.height(), w, h)), box.height());
}

void COpenSizeDialog::ApplyChoice()
{
    const int choice = choices_->checkedId();
    width_->setEnabled(choice == Custom);
    height_->setEnabled(choice == Custom);
    linked_->setEnabled(choice == Custom);
    otherSizes_->setEnabled(choice == Other);
}

void COpenSizeDialog::WidthTyped()
{
    const QSize source = SourceSize();
    if (linked_->isChecked() && !source.isEmpty()) {
        height_->SetNumber(
            ScaledRounded(width_->Number().value_or(0), source.height(), source.width()));
    }
}

void COpenSizeDialog::HeightTyped()
{
    const QSize source = SourceSize();
    if (linked_->isChecked() && !source.isEmpty()) {
        width_->SetNumber(
            ScaledRounded(height_->Number().value_or(0), source.width(), source.height()));
    }
}

void COpenSizeDialog::LinkTicked()
{
    WidthTyped();
}

QSize COpenSizeDialog::TargetSize() const
{
    const int choice = choices_->checkedId();
    if (choice == Custom) {
        return QSize(width_->Number().value_or(0), height_->Number().value_or(0));
    }
    if (choice == Original) {
        return SourceSize();
    }
    const int box = choice == Other ? kFirstOtherBox + otherSizes_->currentIndex() : choice;
    return FitToBox(SourceSize(), boxes_[std::size_t(box)]);
}

void COpenSizeDialog::accept()
{
    if (path_.isEmpty() || loading_.isRunning()) {
        return;
    }
    if (choices_->checkedId() == Custom) {
        const auto refused = CPictureSizeCheck::Check(this, width_->Number(), height_->Number());
        if (refused != CPictureSizeCheck::Refused::None) {
            (refused == CPictureSizeCheck::Refused::Height ? height_ : width_)->setFocus();
            return;
        }
    }
    SetWaiting(true);
    cancelled_ = false;
    loading_.setFuture(
        CBitmap::ResampleInBackground(decoded_, TargetSize(), QImage::Format_ARGB32_Premultiplied));
}

void COpenSizeDialog::reject()
{
    cancelled_ = true;
    SetWaiting(false);
    QDialog::reject();
}

void COpenSizeDialog::Loaded()
{
    SetWaiting(false);
    if (cancelled_) {
        return; // the picture is dropped
    }
    CBitmap result = loading_.result();
    if (result.LastStatus() == Status::OutOfMemory) {
        CPictureSizeCheck::ReportNoMemory(this);
        return;
    }
    if (result.IsNull()) {
        // The file passed its checks but its pixels could not be decoded.
        ShowRefusal(this, QStringLiteral("그림 파일을 열 수 없습니다.\n%1").arg(path_));
        reject();
        return;
    }
    result_ = std::move(result);
    QDialog::accept();
}

void COpenSizeDialog::SetWaiting(bool waiting)
{
    // Cancel stays: the picture is then dropped when it arrives.
    findChild<QGroupBox*>()->setEnabled(!waiting);
    findChild<QPushButton*>(QStringLiteral("ok"))->setEnabled(!waiting);
    if (waiting) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
}
