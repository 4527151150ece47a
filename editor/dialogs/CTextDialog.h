#pragma once

#include "CTextItem.h"

#include <QDialog>
#include <QPointF>
#include <QTextCursor>

#include <memory>

class CFontPreview;
class CFontToolBar;
class QTextEdit;

// "글꼴": writes and formats the text of a text item. In new mode it makes a
// text item placed at a point of the picture; in edit mode it changes a given
// item in place. The whole text shares one format, set with the font bar.
class CTextDialog : public QDialog
{
    Q_OBJECT

public:
    enum Mode : int
    {
        kNew = 0,
        kEdit = 1
    };
    static const QString kEmptyRefusal;

    explicit CTextDialog(const QStringList& fontNames, QWidget* parent = nullptr);
    ~CTextDialog() override;

    // New text with the top-left of its layout box at a point of the picture.
    void SetNewText(const QPointF& position);
    // Edits `item` in place on OK; it must outlive the dialog's run.
    void SetEditItem(CTextItem* item);
    Mode GetMode() const { return mode_; }
    // The item made by OK in new mode, once.
    std::unique_ptr<CTextItem> TakeItem() { return std::move(made_); }

    CFontToolBar* FontBar() const { return bar_; }
    QTextEdit* TextBox() const { return text_; }
    CFontPreview* Preview() const { return preview_; }

    // Empty or blank text is refused with a message and ends the dialog as
    // if cancelled.
    void accept() override;

private:
    QTextCursor WholeText() const;
    void SetWholeFormat(const CharFormat& format, uint32_t mask);
    CharFormat FirstCharacterFormat() const;
    void ApplyBar(bool focusText = true);
    void ApplyStyle(uint32_t bit, bool on);
    void ApplyAlignment(int alignment);
    void UpdateBarFromText();
    void UpdatePreview();

    Mode mode_ = kNew;
    QPointF position_;
    CTextItem* item_ = nullptr;
    std::unique_ptr<CTextItem> made_;
    CFontToolBar* bar_ = nullptr;
    QTextEdit* text_ = nullptr;
    CFontPreview* preview_ = nullptr;
};
