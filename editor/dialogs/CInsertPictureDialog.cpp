#include "CInsertPictureDialog.h"

#include "CLinkedSize.h"
#include "CNumberEdit.h"
#include "COpenSizeDialog.h"
#include "CPictureSizeCheck.h"
#include "OkCancelButtons.h"
#include "RadioGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QCheckBox* MakeCheck(const QString& caption, const char* name, QWidget* parent)
{
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(name);
    check->setChecked(true);
    return check;
}

} // namespace

CInsertPictureDialog::CInsertPictureDialog(QSize source, QWidget* parent)
    : QDialog(parent), source_(source)
{
    setWindowTitle(QStringLiteral("그림삽입"));

    auto* group = new QGroupBox(this);
    modes_ = MakeRadioGroup(group, {QStringLiteral("자동맞춤"), QStringLiteral("사용자 정의")});
    fits_ = new QComboBox(group);
    fits_->setObjectName("fits");
    fits_->setAccessibleName(QStringLiteral("자동맞춤 크기"));
    fits_->addItem(QStringLiteral("원본크기(%1×%2)").arg(source.width()).arg(source.height()));
    fits_->addItem(QStringLiteral("배경이미지크기"));
    for (int percent = 90; percent >= 10; percent -= 10) {
        fits_->addItem(QStringLiteral("배경이미지의 %1%").arg(percent));
    }
    keepProportions_ = MakeCheck(QStringLiteral("가로,세로 비율 유지"), "keepProportions", group);
    width_ = new CNumberEdit(group);
    height_ = new CNumberEdit(group);
    width_->setObjectName("width");
    height_->setObjectName("height");
    width_->setAccessibleName(QStringLiteral("가로크기"));
    height_->setAccessibleName(QStringLiteral("세로크기"));
    width_->SetNumber(source.width());
    height_->SetNumber(source.height());
    linked_ = MakeCheck(QStringLiteral("비율 자동 조정"), "linked", group);
    (new CLinkedSize(width_, height_, linked_, this))->SetSource(source);

    auto* grid = new QGridLayout(group);
    grid->addWidget(modes_->button(kAutomatic), 0, 0);
    grid->addWidget(fits_, 0, 1, 1, 2);
    grid->addWidget(keepProportions_, 1, 1, 1, 2);
    grid->addWidget(modes_->button(kCustom), 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("가로크기 :"), group), 3, 1);
    grid->addWidget(width_, 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("세로크기 :"), group), 4, 1);
    grid->addWidget(height_, 4, 2);
    grid->addWidget(linked_, 5, 1, 1, 2);
    grid->setColumnMinimumWidth(0, 100);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(MakeOkCancelButtons(this));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(modes_, &QButtonGroup::idClicked, this, &CInsertPictureDialog::ApplyMode);
    ApplyMode();
}

double CInsertPictureDialog::ScaleOf(int entry)
{
    return entry <= 0 ? 0.0 : (kFitEntries - entry) / 10.0;
}

QSize CInsertPictureDialog::PlacedSize(const InsertPictureChoice& choice, QSize source, QSizeF base)
{
    if (choice.mode == kCustom) {
        return choice.size;
    }
    if (choice.scale <= 0) {
        return source;
    }
    const QSize box(std::max(1, int(std::lround(base.width() * choice.scale))),
                    std::max(1, int(std::lround(base.height() * choice.scale))));
    return choice.keepProportions ? COpenSizeDialog::FitToBox(source, box) : box;
}

void CInsertPictureDialog::ApplyMode()
{
    const bool custom = modes_->checkedId() == kCustom;
    fits_->setEnabled(!custom);
    keepProportions_->setEnabled(!custom);
    width_->setEnabled(custom);
    height_->setEnabled(custom);
    linked_->setEnabled(custom);
}

void CInsertPictureDialog::accept()
{
    choice_.mode = modes_->checkedId();
    choice_.scale = ScaleOf(fits_->currentIndex());
    choice_.keepProportions = keepProportions_->isChecked();
    if (choice_.mode == kCustom) {
        const auto refused = CPictureSizeCheck::Check(this, width_->Number(), height_->Number());
        if (refused != CPictureSizeCheck::Refused::None) {
            (refused == CPictureSizeCheck::Refused::Height ? height_ : width_)->setFocus();
            return;
        }
        choice_.size = QSize(*width_->Number(), *height_->Number());
    }
    QDialog::accept();
}
