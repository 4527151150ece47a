#pragma once

#include "AppSettings.h"
#include "CItemCanvas.h"
#include "CMessageBox.h"
#include "CMessageRouter.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "DialogTesting.h"

#include <QTemporaryDir>

#include <deque>

// Answers the view's questions from a script and records what was asked.
class CScriptedPrompter : public CViewPrompter
{
public:
    QString OpenFileName(QWidget*) override { return Next(openFiles); }
    QString SaveFileName(QWidget*, const QString& proposed) override
    {
        proposedNames.append(proposed);
        return Next(saveFiles);
    }
    Answer Ask(QWidget*, const QString& text) override
    {
        questions.append(text);
        return Next(answers, kCancel);
    }
    void Tell(QWidget*, const QString& text) override { messages.append(text); }
    std::optional<NewPictureSettings> NewPicture(QWidget*) override
    {
        if (newPictures.empty()) {
            return std::nullopt; // cancelled
        }
        return Next(newPictures);
    }
    // The open-size dialog answered with the picture's own size.
    CBitmap OpenPicture(QWidget*, const QString& path) override { return CBitmap::FromFile(path); }

    std::deque<QString> openFiles;
    std::deque<QString> saveFiles;
    std::deque<Answer> answers;
    std::deque<NewPictureSettings> newPictures;
    QStringList questions;
    QStringList messages;
    QStringList proposedNames;

private:
    template <typename T> static T Next(std::deque<T>& queue, T none = T())
    {
        if (queue.empty()) {
            return none;
        }
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

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

// A view of 1000 × 700 client pixels with scripted dialogs and a loopback
// frame; refusals are recorded instead of shown.
class EditorViewTest : public WidgetTest
{
protected:
    EditorViewTest()
    {
        auto prompter = std::make_unique<CScriptedPrompter>();
        prompter_ = prompter.get();
        view_ = std::make_unique<COMRImageEditorView>(document_, settings_, &frame_,
                                                      std::move(prompter));
        frame_.SetView(view_.get());
        view_->resize(1000, 700);
        view_->show();
        CMessageBox::SetHook([this](const QString& text) { refusals_.append(text); });
    }
    ~EditorViewTest() override { CMessageBox::SetHook({}); }

    CItemCanvas& Canvas() const { return CItemCanvas::Instance(); }
    QWidget* Viewport() const { return view_->viewport(); }

    // Writes a picture file of one colour and returns its path.
    QString WritePicture(const QString& name, QSize size, QColor colour = Qt::darkCyan) const
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        const QString path = folder_.filePath(name);
        picture.save(path);
        return path;
    }

    // Opens a picture of the given size through File Open.
    void OpenPicture(QSize size)
    {
        prompter_->openFiles.push_back(WritePicture("picture.png", size));
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

    QRectF ItemBounds(int index) const { return Canvas().ItemAt(index)->Outline().boundingRect(); }

    QTemporaryDir folder_;
    AppSettings settings_;
    COMRImageEditorDoc document_;
    CLoopbackFrame frame_;
    CScriptedPrompter* prompter_ = nullptr;
    std::unique_ptr<COMRImageEditorView> view_;
    QStringList refusals_;
};
