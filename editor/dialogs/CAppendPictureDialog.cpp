#include "CAppendPictureDialog.h"

#include "CColourButton.h"
#include "CNumberEdit.h"
#include "CPictureSizeCheck.h"
#include "OkCancelButtons.h"
#include "RadioGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <climits>

namespace {

// A side of a picture too long for an int is as refused as one just too long.
std::optional<int> Side(double length)
{
    return int(std::min(length, double(INT_MAX)));
}

} // namespace

CAppendPictureDialog::CAppendPictureDialog(QSize picture, QSizeF base, QWidget* parent)
    : QDialog(parent), picture_(picture), base_(base)
{
    setWindowTitle(QStringLiteral("그림 이어붙이기"));

    auto* sideBox = new QGroupBox(this);
    sides_ = MakeRadioGroup(sideBox, {QStringLiteral("상"), QStringLiteral("하"),
                                      QStringLiteral("좌"), QStringLiteral("우")});
    sides_->button(CItemCanvas::Below)->setChecked(true);
    auto* sideLayout = new QHBoxLayout(sideBox);
    for (QAbstractButton* radio : sides_->buttons()) {
        sideLayout->addWidget(radio);
    }

    gap_ = new CNumberEdit(this);
    gap_->setObjectName("gap");
    gap_->setAccessibleName(QStringLiteral("원본과의 간격"));
    gap_->SetNumber(0);
    gapColour_ = new CColourButton(this);
    gapColour_->setObjectName("gapColour");
    gapColour_->setAccessibleName(QStringLiteral("간격 채우기 색"));
    gapColour_->setFixedSize(60, 22);
    gapColour_->SetColour(kWhite);
    merge_ = new QCheckBox(QStringLiteral("배경이미지와 아이템 합치기"), this);
    merge_->setObjectName("merge");

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("원본과의 간격 :"), gap_);
    fields->addRow(QStringLiteral("간격 채우기 색 :"), gapColour_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sideBox);
    layout->addLayout(fields);
    layout->addWidget(merge_);
    layout->addWidget(MakeOkCancelButtons(this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CAppendPictureDialog::accept()
{
    const auto side = CItemCanvas::Side(sides_->checkedId());
    const int gap = gap_->Number().value_or(0);
    const QSizeF joined = CItemCanvas::JoinedSize(base_, picture_, side, gap);
    if (CPictureSizeCheck::Check(this, Side(joined.width()), Side(joined.height())) !=
        CPictureSizeCheck::Refused::None) {
        gap_->setFocus();
        return;
    }
    choice_ = {side, gap, gapColour_->Colour(), merge_->isChecked()};
    QDialog::accept();
}
