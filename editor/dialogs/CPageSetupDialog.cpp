#include "CPageSetupDialog.h"

#include "CPageSetupPreview.h"
#include "Refusal.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cmath>

namespace {

struct PositionEntry
{
    const char* caption;
    const char* description; // what a screen reader says besides the glyph
};

constexpr PositionEntry kPositions[] = {
    {"┏", "왼쪽 위"},     {"┳", "가운데 위"},   {"┓", "오른쪽 위"},
    {"┣", "왼쪽 가운데"}, {"╋", "가운데"},      {"┫", "오른쪽 가운데"},
    {"┗", "왼쪽 아래"},   {"┻", "가운데 아래"}, {"┛", "오른쪽 아래"},
};

const char* const kSideNames[] = {"왼쪽", "오른쪽", "위쪽", "아래쪽"};

const QString kSizeRefused = QStringLiteral("크기는 0 보다 큰 숫자로 입력하십시오.");
const QString kPrintedRefused = QStringLiteral("출력 크기는 0 보다 큰 숫자로 입력하십시오.");

// At most two decimals, without trailing zeros.
QString Format(double value)
{
    QString text = QString::number(std::round(value * 100) / 100, 'f', 2);
    while (text.endsWith('0')) {
        text.chop(1);
    }
    if (text.endsWith('.')) {
        text.chop(1);
    }
    return text;
}

std::optional<double> Parse(const QLineEdit* field)
{
    bool ok = false;
    const double value = field->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParsePositive(const QLineEdit* field)
{
    const std::optional<double> value = Parse(field);
    return value && *value > 0 ? value : std::nullopt;
}

QRadioButton* AddRadio(QButtonGroup* group, int id, const QString& caption, QWidget* parent)
{
    auto* radio = new QRadioButton(caption, parent);
    radio->setAccessibleName(caption);
    group->addButton(radio, id);
    return radio;
}

} // namespace

CPageSetupDialog::CPageSetupDialog(const PrinterPage& page, const PictureMetrics& picture,
                                   QImage thumbnail, const PageMargins& margins, QWidget* parent)
    : QDialog(parent), placement_(page, picture, margins)
{
    setWindowTitle(QStringLiteral("페이지 설정"));
    preview_ = new CPageSetupPreview(placement_, std::move(thumbnail), this);
    preview_->setObjectName("preview");

    auto* choices = new QHBoxLayout;
    choices->addWidget(MakePositionBox());
    choices->addWidget(MakeOrientationBox());
    auto* controls = new QVBoxLayout;
    controls->addLayout(choices);
    controls->addWidget(MakeMarginBox());
    controls->addWidget(MakeSizeBox());
    controls->addStretch();
    controls->addWidget(MakeButtons());

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(preview_, 0, Qt::AlignTop);
    layout->addLayout(controls);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const double typed[] = {margins.left, margins.right, margins.top, margins.bottom};
    for (int side = kLeft; side <= kBottom; ++side) {
        margins_[side]->setText(Format(typed[side]));
    }
    ShowSize(nullptr);
}

QLineEdit* CPageSetupDialog::AddField(QGridLayout* grid, int row, int column,
                                      const QString& caption, const char* name)
{
    auto* label = new QLabel(caption);
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setAccessibleName(caption);
    field->setMaxLength(9);
    field->setFixedWidth(60);
    field->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?[0-9]*\\.?[0-9]*")), field));
    label->setBuddy(field);
    grid->addWidget(label, row, column, Qt::AlignRight);
    grid->addWidget(field, row, column + 1);
    return field;
}

QWidget* CPageSetupDialog::MakePositionBox()
{
    auto* box = new QGroupBox(QStringLiteral("출력 위치"), this);
    auto* grid = new QGridLayout(box);
    positions_ = new QButtonGroup(this);
    for (int position = 0; position < 9; ++position) {
        QRadioButton* radio =
            AddRadio(positions_, position, QString::fromUtf8(kPositions[position].caption), box);
        radio->setObjectName(QStringLiteral("position%1").arg(position));
        radio->setAccessibleDescription(QString::fromUtf8(kPositions[position].description));
        grid->addWidget(radio, position / 3, position % 3);
    }
    positions_->button(placement_.Position())->setChecked(true);
    connect(positions_, &QButtonGroup::idToggled, this, &CPageSetupDialog::LayoutToggled);
    return box;
}

QWidget* CPageSetupDialog::MakeOrientationBox()
{
    auto* box = new QGroupBox(QStringLiteral("출력 방향"), this);
    auto* column = new QVBoxLayout(box);
    orientations_ = new QButtonGroup(this);
    QRadioButton* portrait =
        AddRadio(orientations_, CPagePlacement::kPortrait, QStringLiteral("세로"), box);
    QRadioButton* landscape =
        AddRadio(orientations_, CPagePlacement::kLandscape, QStringLiteral("가로"), box);
    portrait->setObjectName("portrait");
    landscape->setObjectName("landscape");
    column->addWidget(portrait);
    column->addWidget(landscape);
    column->addStretch();
    portrait->setChecked(true);
    connect(orientations_, &QButtonGroup::idToggled, this, &CPageSetupDialog::LayoutToggled);
    return box;
}

QWidget* CPageSetupDialog::MakeMarginBox()
{
    auto* box = new QGroupBox(QStringLiteral("여백 (센치미터)"), this);
    auto* grid = new QGridLayout(box);
    margins_[kLeft] = AddField(grid, 0, 0, QStringLiteral("왼쪽 :"), "left");
    margins_[kRight] = AddField(grid, 0, 2, QStringLiteral("오른쪽 :"), "right");
    margins_[kTop] = AddField(grid, 1, 0, QStringLiteral("위쪽 :"), "top");
    margins_[kBottom] = AddField(grid, 1, 2, QStringLiteral("아래쪽 :"), "bottom");
    for (QLineEdit* field : margins_) {
        connect(field, &QLineEdit::textEdited, this, &CPageSetupDialog::MarginTyped);
    }
    return box;
}

QWidget* CPageSetupDialog::MakeSizeBox()
{
    auto* holder = new QWidget(this);
    auto* column = new QVBoxLayout(holder);
    column->setContentsMargins(0, 0, 0, 0);
    auto* sizeRow = new QGridLayout;
    size_ = AddField(sizeRow, 0, 0, QStringLiteral("크기(%) :"), "size");
    sizeRow->setColumnStretch(2, 1);
    column->addLayout(sizeRow);

    auto* box = new QGroupBox(QStringLiteral("출력 크기 (센치미터)"), holder);
    auto* grid = new QGridLayout(box);
    printedWidth_ = AddField(grid, 0, 0, QStringLiteral("가로 :"), "printedWidth");
    printedHeight_ = AddField(grid, 0, 2, QStringLiteral("세로 :"), "printedHeight");
    column->addWidget(box);

    connect(size_, &QLineEdit::textEdited, this, &CPageSetupDialog::SizeTyped);
    connect(printedWidth_, &QLineEdit::textEdited, this, &CPageSetupDialog::PrintedWidthTyped);
    connect(printedHeight_, &QLineEdit::textEdited, this, &CPageSetupDialog::PrintedHeightTyped);
    return holder;
}

QWidget* CPageSetupDialog::MakeButtons()
{
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* print = buttons->addButton(QStringLiteral("인  쇄"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("취  소"), QDialogButtonBox::RejectRole);
    print->setObjectName("print");
    cancel->setObjectName("cancel");
    print->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

void CPageSetupDialog::LayoutToggled(int, bool checked)
{
    // A choice made by mouse or with the arrow keys; the radio let go of is
    // told too.
    if (!checked) {
        return;
    }
    placement_.SetPosition(positions_->checkedId());
    placement_.SetOrientation(orientations_->checkedId());
    MarginTyped();
}

void CPageSetupDialog::MarginTyped()
{
    if (const std::optional<PageMargins> margins = TypedMargins()) {
        placement_.SetMargins(*margins);
    }
    preview_->Refresh();
}

void CPageSetupDialog::SizeTyped()
{
    if (const std::optional<double> size = ParsePositive(size_)) {
        placement_.SetSize(*size);
        ShowSize(size_);
    }
}

void CPageSetupDialog::PrintedWidthTyped()
{
    if (const std::optional<double> width = ParsePositive(printedWidth_)) {
        placement_.SetPrintedWidth(*width);
        ShowSize(printedWidth_);
    }
}

void CPageSetupDialog::PrintedHeightTyped()
{
    if (const std::optional<double> height = ParsePositive(printedHeight_)) {
        placement_.SetPrintedHeight(*height);
        ShowSize(printedHeight_);
    }
}

void CPageSetupDialog::ShowSize(const QLineEdit* typing)
{
    const QSizeF printed = placement_.PrintedCm();
    const std::pair<QLineEdit*, double> shown[] = {{size_, placement_.Size()},
                                                   {printedWidth_, printed.width()},
                                                   {printedHeight_, printed.height()}};
    for (const auto& [field, value] : shown) {
        if (field != typing) {
            field->setText(Format(value));
        }
    }
    preview_->Refresh();
}

std::optional<PageMargins> CPageSetupDialog::TypedMargins(Side* failed) const
{
    // A margin takes at most half the sheet, so the printable area never
    // turns inside out.
    const QSizeF half = placement_.SheetCm() / 2;
    double values[4] = {};
    for (int side = kLeft; side <= kBottom; ++side) {
        const std::optional<double> value = Parse(margins_[side]);
        const double limit = side <= kRight ? half.width() : half.height();
        if (!value || *value < 0 || *value >= limit) {
            if (failed != nullptr) {
                *failed = Side(side);
            }
            return std::nullopt;
        }
        values[side] = *value;
    }
    return PageMargins{values[kLeft], values[kRight], values[kTop], values[kBottom]};
}

void CPageSetupDialog::Refuse(QLineEdit* field, const QString& text)
{
    ShowRefusal(this, text);
    field->setFocus();
    field->selectAll();
}

void CPageSetupDialog::accept()
{
    Side failed = kLeft;
    if (!TypedMargins(&failed)) {
        const QSizeF half = placement_.SheetCm() / 2;
        Refuse(margins_[failed],
               QStringLiteral("%1 여백은 0 부터 %2 센치미터 미만의 숫자로 입력하십시오.")
                   .arg(QString::fromUtf8(kSideNames[failed]))
                   .arg(Format(failed <= kRight ? half.width() : half.height())));
        return;
    }
    if (!ParsePositive(size_)) {
        Refuse(size_, kSizeRefused);
        return;
    }
    for (QLineEdit* field : {printedWidth_, printedHeight_}) {
        if (!ParsePositive(field)) {
            Refuse(field, kPrintedRefused);
            return;
        }
    }
    QDialog::accept();
}
