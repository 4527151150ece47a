#pragma once

#include "AppSettings.h"
#include "BenchSticker.h"
#include "CMessageRouter.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPrompter.h"
#include "CommandIds.h"

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

// The main window's routing table, with the view as its only party.
class CRouterFrame : public CMessageReceiver
{
public:
    void Receive(msg::Message message) override { router.Route(message); }
    CMessageRouter router;
};

// The editing view in a routing frame, shown offscreen at 1000 × 700.
struct CBenchEditor
{
    explicit CBenchEditor(CPrompter& prompter) : view(document, settings, &frame, prompter)
    {
        frame.router.SetReceiver(CMessageRouter::Party::View, &view);
        view.resize(1000, 700);
        view.show();
        QApplication::processEvents();
    }

    // Drops 20 bench stickers on the picture shown.
    void DropBenchStickers()
    {
        DropStickers(view, 20, QPoint(150, 120), QPoint(35, 22), BenchSticker);
    }

    // Opens the prompter's picture and drops the stickers on it.
    void OpenWithStickers()
    {
        view.RunCommand(cmd::kFileOpen);
        DropBenchStickers();
    }

    AppSettings settings;
    COMRImageEditorDoc document;
    CRouterFrame frame;
    COMRImageEditorView view;
};
