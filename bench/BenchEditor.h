#pragma once

#include "COMRImageEditorView.h"
#include "CPrompter.h"

#include <QApplication>
#include <QMouseEvent>

#include <functional>

// Opens one picture made in memory; nothing else is asked.
class CBenchPrompter : public CPrompter
{
public:
    explicit CBenchPrompter(QImage picture) : picture_(std::move(picture)) {}
    void Tell(QWidget*, const QString&) override {}
    Answer AskSaveFirst(QWidget*, const QString&) override { return kCancel; }
    QString OpenFileName(QWidget*) override { return QStringLiteral("bench.png"); }
    QString SaveFileName(QWidget*, const QString&) override { return {}; }
    Answer Ask(QWidget*, const QString&) override { return kCancel; }
    std::optional<NewPictureSettings> NewPicture(QWidget*) override { return std::nullopt; }
    CBitmap OpenPicture(QWidget*, const QString&) override { return CBitmap(picture_); }

private:
    QImage picture_;
};

// Sends one mouse event to a widget, the left button held for presses and
// moves.
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at)
{
    const QPointF local(at);
    QMouseEvent event(type, local, widget->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Drops `count` stickers on the view, the first centred on the viewport point
// `first`, each next one `step` further.
inline void DropStickers(COMRImageEditorView& view, int count, QPoint first, QPoint step,
                         const std::function<QImage(int index)>& sticker)
{
    for (int i = 0; i < count; ++i) {
        msg::ItemDropRequest request;
        const QPoint at = view.viewport()->mapToGlobal(first + step * i);
        request.x = at.x();
        request.y = at.y();
        request.entries.push_back({QStringLiteral("sticker.png"), sticker(i)});
        view.Receive(msg::WithDrop(std::move(request)));
    }
}
