#include "RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

QButtonGroup* MakeRadioGroup(QWidget* parent, const QStringList& captions)
{
    auto* group = new QButtonGroup(parent);
    for (int id = 0; id < captions.size(); ++id) {
        auto* radio = new QRadioButton(captions[id], parent);
        radio->setObjectName(QStringLiteral("choice%1").arg(id));
        group->addButton(radio, id);
    }
    group->button(0)->setChecked(true);
    return group;
}
