#pragma once

#include "CEditingState.h"
#include "CMessageReceiver.h"
#include "CPictureItem.h"
#include "CValueSlider.h"
#include "DialogTesting.h"

#include <QMouseEvent>

#include <memory>
#include <vector>

// Records what the panels send to the main window.
class CMainWindowRecorder : public CMessageReceiver
{
public:
    void Receive(msg::Message message) override { sent.push_back(std::move(message)); }
    // How many messages with this id were sent; clears the record.
    int Take(unsigned id)
    {
        int count = 0;
        for (const msg::Message& message : sent) {
            count += message.id == id ? 1 : 0;
        }
        sent.clear();
        return count;
    }
    std::vector<msg::Message> sent;
};

// Sends one mouse event to a widget, with the left button held for presses
// and moves.
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at)
{
    const QPointF local(at);
    QMouseEvent event(type, local, widget->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The middle of the thumb's groove row at a position.
inline QPoint ThumbPoint(const CValueSlider* slider, int position)
{
    return QPoint(slider->CentreOf(position), slider->ThumbRect().center().y());
}

// Presses on the thumb, drags it to `position`'s place and, unless told not
// to, releases it there.
inline void DragThumb(CValueSlider* slider, int position, bool release = true)
{
    const QPoint from = ThumbPoint(slider, slider->Position());
    const QPoint to = ThumbPoint(slider, position);
    SendMouse(slider, QEvent::MouseButtonPress, from);
    SendMouse(slider, QEvent::MouseMove, (from + to) / 2);
    SendMouse(slider, QEvent::MouseMove, to);
    if (release) {
        SendMouse(slider, QEvent::MouseButtonRelease, to);
    }
}

// A picture is open and its base picture is the current item; the editing
// state is put back afterwards.
class PictureOpenTest : public WidgetTest
{
protected:
    PictureOpenTest()
    {
        item_ = std::make_unique<CPictureItem>();
        State().mode = CEditingState::kSelect;
        State().currentItem = item_.get();
    }
    ~PictureOpenTest() override { State() = CEditingState(); }

    static CEditingState& State() { return CEditingState::Instance(); }
    ItemEffects& Effects() { return item_->Effects(); }

    std::unique_ptr<CPictureItem> item_;
    CMainWindowRecorder mainWindow_;
};
