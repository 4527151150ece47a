#pragma once

#include "CTextItem.h"
#include "CTextStyleDialog.h"
#include "ColourRef.h"

#include <QToolBar>

#include <map>

class CColourButton;
class QActionGroup;
class QComboBox;

// The font bar of the text dialog: face name, size in points, text colour,
// bold, italic and underline, the alignment group and the caption style
// ("외곽선", "그림자", "배경", each shown down while on). It keeps its own
// state (made as "굴림", 12, black, no style, left, no decoration) and tells
// the dialog what the user changed.
class CFontToolBar : public QToolBar
{
    Q_OBJECT

public:
    enum Alignment : int
    {
        kLeft = 1,
        kCentre = 2,
        kRight = 3
    };
    // Largest size the bar takes, in points.
    static constexpr int kMaxSize = 1638;
    static const QString kDefaultFace;

    explicit CFontToolBar(QWidget* parent = nullptr);
    ~CFontToolBar() override;

    // Fills the name box, sorted; the bar's face stays in it whether or not
    // it is installed (fontconfig chooses a stand-in that has the glyphs).
    void SetFontNames(const QStringList& names);
    static QStringList SizeEntries();

    const QString& Face() const { return face_; }
    int Size() const { return size_; }
    ColourRef Colour() const { return colour_; }
    bool Style(uint32_t bit) const { return (styles_ & bit) != 0; }
    int Alignment() const { return alignment_; }

    // Takes a text's face, size, colour and styles (those `format` masks)
    // into the bar's state and shows them.
    void ShowFormat(const CharFormat& format);
    void ShowAlignment(int alignment);
    // The bar's face, size and colour, and every style that is on.
    CharFormat Format() const;
    const TextDecoration& Decoration() const { return decoration_; }
    // Takes a text's decoration into the bar's state and shows it.
    void ShowDecoration(const TextDecoration& decoration);
    QAction* DecorationAction(CTextStyleDialog::Part part) const;

    QComboBox* NameBox() const { return names_; }
    QComboBox* SizeBox() const { return sizes_; }
    CColourButton* ColourButton() const { return colourButton_; }

signals:
    // The face or the size was chosen or typed; `done` when chosen from the
    // list or ended with Enter (not when the focus merely moved on).
    void FontChanged(bool done);
    void ColourChanged();
    void StyleToggled(uint32_t bit, bool on);
    void AlignmentChosen(int alignment);
    void DecorationChanged();

private:
    void AddStyle(uint32_t bit, const QString& name, const QString& shown, const QKeySequence& key);
    void AddAlignment(int alignment, const QString& name);
    void AddDecoration(CTextStyleDialog::Part part);
    void ChooseDecoration(CTextStyleDialog::Part part);
    QAction* AddButton(const QString& name);
    void ShowFace(const QString& face);
    void ShowSize(int size);
    void NameEntered();
    void SizeEntered();

    QComboBox* names_ = nullptr;
    QComboBox* sizes_ = nullptr;
    CColourButton* colourButton_ = nullptr;
    QActionGroup* alignments_ = nullptr;
    std::map<uint32_t, QAction*> styleActions_;
    std::map<CTextStyleDialog::Part, QAction*> decorationActions_;
    QString face_ = kDefaultFace;
    int size_ = 12;
    ColourRef colour_ = kBlack;
    uint32_t styles_ = 0;
    int alignment_ = kLeft;
    TextDecoration decoration_;
};
