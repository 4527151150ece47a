#include "CPlaceholderView.h"

#include "CBitmap.h"
#include "CommandIds.h"
#include "FileTypes.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>

CPlaceholderView::CPlaceholderView(std::function<void(const QString&)> opened, QWidget* parent)
    : QWidget(parent), opened_(std::move(opened))
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

bool CPlaceholderView::RunCommand(int id)
{
    if (id != cmd::kFileOpen) {
        return false;
    }
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                      FileTypes::DialogFilters().join(";;"));
    if (!path.isEmpty()) {
        OpenDocument(path);
        opened_(path);
    }
    return true;
}

std::optional<CommandState> CPlaceholderView::CommandStatus(int id) const
{
    if (id == cmd::kFileOpen) {
        return CommandState{};
    }
    return std::nullopt;
}

void CPlaceholderView::OpenDocument(const QString& path)
{
    const CBitmap bitmap = CBitmap::FromFile(path);
    if (!bitmap.IsNull()) {
        picture_ = bitmap.Image();
        path_ = path;
        window()->setWindowTitle(QStringLiteral("%1 - %2").arg(QFileInfo(path).fileName(),
                                                               QApplication::applicationName()));
    }
    update();
}

void CPlaceholderView::paintEvent(QPaintEvent*)
{
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    // Shrunk to fit with a margin of ten pixels; small pictures keep their size.
    const QSize room = (size() - QSize(20, 20)).expandedTo(QSize(1, 1));
    QSize fitted = picture_.size();
    if (fitted.width() > room.width() || fitted.height() > room.height()) {
        fitted.scale(room, Qt::KeepAspectRatio);
    }
    QRect place(QPoint(0, 0), fitted);
    place.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(place, picture_);
    painter.setPen(Qt::black);
    painter.drawRect(place.adjusted(-1, -1, 0, 0));
}
