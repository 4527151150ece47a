#include "Refusal.h"

#include <QMessageBox>

void ShowRefusal(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QStringLiteral("Pixvel"), text);
}
