#pragma once

#include "AppSettings.h"
#include "CItemCanvas.h"
#include "CMessageRouter.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "DialogTesting.h"
#include "ScriptedPrompter.h"

#include <QTemporaryDir>
#include <QTest>

// The main window as the view sees it: records every message and hands the
// view its copies through the frame's routing table.
class CLoopbackFrame : public CMessageReceiver
{
public:
    void SetView(CMessageReceiver* view) { router_.SetReceiver(CMessageRouter::Party::View, view); }
    void Receive(msg::Message message) override
    {
        sent.push_back(message);
        router_.Route(message);
    }
    // The ids of the messages sent, in order; clears the record.
    std::vector<unsigned> TakeIds()
    {
        std::vector<unsigned> ids;
        for (const msg::Message& message : sent) {
            ids.push_back(message.id);
        }
        sent.clear();
        return ids;
    }

    std::vector<msg::Message> sent;

private:
    CMessageRouter router_;
};

// Writes an opaque picture of one colour to `path` and returns the path.
inline QString WriteOneColourPicture(const QString& path, QSize size, QColor colour)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    picture.save(path);
    return path;
}

// A view of 1000 × 700 client pixels with scripted dialogs and a loopback
// frame; refusals are recorded instead of shown.
class EditorViewTest : public WidgetTest
{
protected:
    EditorViewTest()
    {
        view_ = std::make_unique<COMRImageEditorView>(document_, settings_, &frame_, prompter_);
        frame_.SetView(view_.get());
        view_->resize(1000, 700);
        view_->show();
    }

    CItemCanvas& Canvas() const { return CItemCanvas::Instance(); }
    QWidget* Viewport() const { return view_->viewport(); }

    // Writes a picture file of one colour and returns its path.
    QString WritePicture(const QString& name, QSize size, QColor colour = Qt::darkCyan) const
    {
        return WriteOneColourPicture(folder_.filePath(name), size, colour);
    }

    // Opens a picture of the given size through File Open.
    void OpenPicture(QSize size)
    {
        prompter_.openFiles.push_back(WritePicture("picture.png", size));
        view_->RunCommand(57601);
    }

    // Drops a plain picture item of the given size centred on a view point.
    void DropItem(QSize size, QPoint at, QColor colour = Qt::red)
    {
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(colour);
        msg::ItemDropRequest request;
        const QPoint screen = Viewport()->mapToGlobal(at - view_->ScrollOffset());
        request.x = screen.x();
        request.y = screen.y();
        request.entries.push_back({QStringLiteral("item.png"), picture});
        frame_.Receive(msg::WithDrop(std::move(request)));
    }

    // Opens an 800 × 600 picture and drops an item of `size` centred at
    // (500, 350), selected with a click.
    void OpenWithSelectedItem(QSize size)
    {
        OpenPicture({800, 600});
        DropItem(size, {500, 350});
        QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, {500, 350});
    }

    QRectF ItemBounds(int index) const { return Canvas().ItemAt(index)->Outline().boundingRect(); }

    QTemporaryDir folder_;
    AppSettings settings_;
    COMRImageEditorDoc document_;
    CLoopbackFrame frame_;
    CScriptedPrompter prompter_;
    QStringList& refusals_ = prompter_.told;
    std::unique_ptr<COMRImageEditorView> view_;
};
