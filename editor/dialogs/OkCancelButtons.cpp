#include "OkCancelButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog, Qt::Orientation orientation)
{
    auto* buttons = new QDialogButtonBox(orientation, dialog);
    buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole)->setObjectName("ok");
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole)
        ->setObjectName("cancel");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
