#include "COtherPage.h"

#include "ItemEffects.h"

#include <QCheckBox>

COtherPage::COtherPage(CMessageReceiver* mainWindow, QWidget* parent)
    : CAdjustmentPage(4, QStringLiteral("기타"), 70, mainWindow, parent),
      greyscale_(
          AddCheckBox(QStringLiteral("회색톤"), QRect(20, 40, 60, 16), &ItemEffects::greyscale)),
      invert_(AddCheckBox(QStringLiteral("반전"), QRect(110, 40, 50, 16), &ItemEffects::invert))
{}

QCheckBox* COtherPage::AddCheckBox(const QString& caption, const QRect& place,
                                   bool ItemEffects::*flag)
{
    auto* box = new QCheckBox(caption, this);
    Place(box, place, caption);
    connect(box, &QCheckBox::clicked, this, [this, flag](bool checked) {
        if (ItemEffects* effects = CurrentEffects()) {
            effects->*flag = checked;
        }
        SendEffectsChanged();
    });
    return box;
}

void COtherPage::Reload(const ItemEffects& effects)
{
    greyscale_->setChecked(effects.greyscale);
    invert_->setChecked(effects.invert);
}
