#include "CNewPictureDialog.h"

#include "BuddyLabel.h"
#include "CColourButton.h"
#include "CNumberEdit.h"
#include "CPictureSizeCheck.h"
#include "OkCancelButtons.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

namespace {

struct SizeEntry
{
    const char* text;
    int width;
    int height;
};

constexpr std::array<SizeEntry, 10> kEntries = {{
    {"휴대폰용(160×120)", 160, 120},
    {"동영상용(320×240)", 320, 240},
    {"미니홈피용(400×300)", 400, 300},
    {"게시판용(640×480)", 640, 480},
    {"800×600", 800, 600},
    {"1024×768", 1024, 768},
    {"1152×864", 1152, 864},
    {"1280×960", 1280, 960},
    {"1280×1024", 1280, 1024},
    {"1600×1024", 1600, 1024},
}};

const QString kUntitled = QStringLiteral("제목없음");

} // namespace

CNewPictureDialog::CNewPictureDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("새 파일"));

    auto* listMode = new QRadioButton(QStringLiteral("크기 선택"), this);
    auto* customMode = new QRadioButton(QStringLiteral("사용자 정의"), this);
    listMode->setObjectName("listMode");
    customMode->setObjectName("customMode");
    modes_ = new QButtonGroup(this);
    modes_->addButton(listMode, ListMode);
    modes_->addButton(customMode, CustomMode);

    sizes_ = new QComboBox(this);
    sizes_->setObjectName("sizes");
    sizes_->setAccessibleName(QStringLiteral("크기 선택"));
    for (const SizeEntry& entry : kEntries) {
        sizes_->addItem(QString::fromUtf8(entry.text));
    }
    width_ = new CNumberEdit(this);
    height_ = new CNumberEdit(this);
    width_->setObjectName("width");
    height_->setObjectName("height");

    background_ = new CColourButton(this);
    background_->setObjectName("background");
    background_->setAccessibleName(QStringLiteral("배경색 선택"));
    background_->setFixedSize(60, 22);
    background_->SetColour(kWhite);

    auto* sizeBox = new QGroupBox(this);
    auto* sizeLayout = new QGridLayout(sizeBox);
    sizeLayout->addWidget(listMode, 0, 0);
    sizeLayout->addWidget(sizes_, 0, 1, 1, 2);
    sizeLayout->addWidget(customMode, 1, 0);
    sizeLayout->addWidget(BuddyLabel(QStringLiteral("가로크기 :"), width_), 2, 1);
    sizeLayout->addWidget(width_, 2, 2);
    sizeLayout->addWidget(BuddyLabel(QStringLiteral("세로크기 :"), height_), 3, 1);
    sizeLayout->addWidget(height_, 3, 2);
    sizeLayout->setColumnMinimumWidth(0, 90);

    auto* colourBox = new QGroupBox(QStringLiteral("배경색 선택"), this);
    auto* colourLayout = new QHBoxLayout(colourBox);
    colourLayout->addWidget(background_);
    colourLayout->addStretch();

    QDialogButtonBox* buttons = MakeOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sizeBox);
    layout->addWidget(colourBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(modes_, &QButtonGroup::idClicked, this, &CNewPictureDialog::ApplyMode);
    connect(sizes_, &QComboBox::activated, this, &CNewPictureDialog::ChooseEntry);

    listMode->setChecked(true);
    sizes_->setCurrentIndex(kDefaultEntry);
    ChooseEntry(kDefaultEntry);
    ApplyMode();
}

int CNewPictureDialog::EntryCount()
{
    return int(kEntries.size());
}

QSize CNewPictureDialog::EntrySize(int index)
{
    const SizeEntry& entry = kEntries.at(std::size_t(index));
    return QSize(entry.width, entry.height);
}

// The list works only in list mode, the fields only in custom mode; the
// fields keep the numbers of the last chosen entry.
void CNewPictureDialog::ApplyMode()
{
    const bool custom = modes_->checkedId() == CustomMode;
    sizes_->setEnabled(!custom);
    width_->setEnabled(custom);
    height_->setEnabled(custom);
}

void CNewPictureDialog::ChooseEntry(int index)
{
    const QSize size = EntrySize(index);
    width_->SetNumber(size.width());
    height_->SetNumber(size.height());
}

NewPictureSettings CNewPictureDialog::Settings() const
{
    return {size_, background_->Colour(), kUntitled};
}

void CNewPictureDialog::accept()
{
    const std::optional<int> width = width_->Number();
    const std::optional<int> height = height_->Number();
    if (const auto refused = CPictureSizeCheck::Check(this, width, height);
        refused != CPictureSizeCheck::Refused::None) {
        if (modes_->checkedId() != CustomMode) {
            sizes_->setFocus();
        } else {
            (refused == CPictureSizeCheck::Refused::Height ? height_ : width_)->setFocus();
        }
        return;
    }
    size_ = QSize(*width, *height);
    QDialog::accept();
}
