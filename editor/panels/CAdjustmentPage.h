#pragma once

#include "CPanelPage.h"

class CItem;
class CMessageReceiver;
class CValueSlider;
class QLineEdit;
struct ItemEffects;

// An adjustment page of the image tool panel: a header that asks the panel to
// expand the page, and labelled sliders with read-only value fields whose
// values the page writes into the current item's effects. The numbers a page
// shows are only a mirror of the current item: a refresh reloads them.
class CAdjustmentPage : public CPanelPage
{
    Q_OBJECT

public:
    CAdjustmentPage(int number, const QString& caption, int expandedHeight,
                    CMessageReceiver* mainWindow, QWidget* parent = nullptr);

    int Number() const { return number_; }
    int ExpandedHeight() const { return expandedHeight_; }
    // Reloads the controls from the current item; nothing without one.
    void Refresh();

signals:
    // The header was clicked: the panel expands or collapses this page.
    void PageRequested(int number);

protected:
    // One labelled slider with its value field.
    struct SliderRow
    {
        CValueSlider* slider = nullptr;
        QLineEdit* field = nullptr;
        float step = 1.0f;
    };

    // A row whose label's top is at `labelY`: label (10, y, labelWidth, 12),
    // slider (5, y + 15, 142, 19), value field (147, y + 13, 30, 12). The
    // slider's marker and position are at `defaultValue`.
    SliderRow AddSliderRow(const QString& caption, int sliderId, int labelY, int labelWidth,
                           int minimum, int maximum, float step, float defaultValue);
    // The slider's position and the field's text for a value.
    static void ShowValue(const SliderRow& row, double value);
    // The value of a slider position (position × step, as a float), shown
    // in the row's field.
    static float TakePosition(const SliderRow& row, int position);

    virtual void Reload(const ItemEffects& effects) = 0;
    // A slider moved (or was set): keep its number, show it and write the
    // effects into the current item when there is one.
    virtual void SliderChanged(int id, int position) = 0;

    // The current item's effects, or null while there is none.
    static ItemEffects* CurrentEffects();
    // `slider`: the released slider's id, so the view can merge its
    // releases into one undo step; 0 for a check box.
    void SendEffectsChanged(int slider = 0) const;
    // Sends a message to the main window.
    void Send(unsigned id, int slider = 0) const;
    static bool PictureOpen();

private:
    void HeaderClicked();

    int number_;
    int expandedHeight_;
    CMessageReceiver* mainWindow_;
};
