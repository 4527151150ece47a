#include "CWebBrowser.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>

const QString CWebBrowser::kCannotOpen = QStringLiteral("웹 브라우저를 열 수 없습니다.");

bool CWebBrowser::Open(QWidget* parent, const QUrl& address, const Launcher& launch)
{
    if (launch ? launch(address) : QDesktopServices::openUrl(address)) {
        return true;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Pixvel"), kCannotOpen, QMessageBox::Ok,
                    parent);
    // Fully encoded: what a browser takes as typed, and never read as markup.
    box.setInformativeText(QString::fromLatin1(address.toEncoded()));
    // The box's labels (message and address) can be selected and copied.
    for (QLabel* label : box.findChildren<QLabel*>()) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    box.exec();
    return false;
}
