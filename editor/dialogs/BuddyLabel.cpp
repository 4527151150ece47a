#include "BuddyLabel.h"

#include <QLabel>

QLabel* BuddyLabel(const QString& caption, QWidget* field)
{
    auto* label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    QString name = caption;
    name.remove(QLatin1Char(':'));
    field->setAccessibleName(name.trimmed());
    return label;
}
