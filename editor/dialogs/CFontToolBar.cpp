#include "CFontToolBar.h"

#include "CColourButton.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <cmath>

const QString CFontToolBar::kDefaultFace = QStringLiteral("굴림");

namespace {

constexpr QSize kButtonSize(17, 15);

QFont BoxFont()
{
    QFont font(CFontToolBar::kDefaultFace);
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}

// Four lines of text, set flush left, centred or flush right.
QIcon AlignmentIcon(int alignment)
{
    QPixmap pixmap(kButtonSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const int widths[] = {13, 9, 13, 7};
    for (int line = 0; line < 4; ++line) {
        const int width = widths[line];
        const int free = kButtonSize.width() - 2 - width;
        const int left = 1 + (alignment == CFontToolBar::kLeft     ? 0
                              : alignment == CFontToolBar::kCentre ? free / 2
                                                                   : free);
        painter.fillRect(left, 2 + 3 * line, width, 2, Qt::black);
    }
    return QIcon(pixmap);
}

// The number at the start of a typed size; 0 when it starts with no digit.
int LeadingNumber(const QString& text)
{
    int number = 0;
    for (const QChar c : text.trimmed()) {
        if (!c.isDigit() || number > CFontToolBar::kMaxSize) {
            break;
        }
        number = number * 10 + c.digitValue();
    }
    return number;
}

void MakeEditableList(QComboBox* box, const QString& name, int width)
{
    box->setObjectName(name);
    box->setAccessibleName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setFont(BoxFont());
    box->setFixedWidth(width);
}

} // namespace

CFontToolBar::CFontToolBar(QWidget* parent) : QToolBar(parent)
{
    setObjectName("fontBar");
    setMovable(false);
    setFloatable(false);
    setIconSize(kButtonSize);

    names_ = new QComboBox(this);
    MakeEditableList(names_, QStringLiteral("글꼴"), 120);
    addWidget(names_);
    sizes_ = new QComboBox(this);
    MakeEditableList(sizes_, QStringLiteral("크기"), 55);
    sizes_->addItems(SizeEntries());
    addWidget(sizes_);
    colourButton_ = new CColourButton(this);
    colourButton_->setObjectName("colour");
    colourButton_->setAccessibleName(QStringLiteral("글자색"));
    colourButton_->setToolTip(QStringLiteral("글자색"));
    colourButton_->setFixedSize(30, 20);
    colourButton_->SetColour(colour_);
    addWidget(colourButton_);
    addSeparator();
    AddStyle(CharFormat::kBold, QStringLiteral("굵게"), QStringLiteral("B"), QKeySequence::Bold);
    AddStyle(CharFormat::kItalic, QStringLiteral("기울임꼴"), QStringLiteral("I"),
             QKeySequence::Italic);
    AddStyle(CharFormat::kUnderline, QStringLiteral("밑줄"), QStringLiteral("U"),
             QKeySequence::Underline);
    addSeparator();
    alignments_ = new QActionGroup(this);
    AddAlignment(kLeft, QStringLiteral("왼쪽 맞춤"));
    AddAlignment(kCentre, QStringLiteral("가운데 맞춤"));
    AddAlignment(kRight, QStringLiteral("오른쪽 맞춤"));
    addSeparator();
    AddDecoration(CTextStyleDialog::kOutline);
    AddDecoration(CTextStyleDialog::kShadow);
    AddDecoration(CTextStyleDialog::kBox);

    ShowFace(face_);
    ShowSize(size_);
    ShowAlignment(alignment_);

    connect(names_, &QComboBox::activated, this, &CFontToolBar::NameEntered);
    connect(names_->lineEdit(), &QLineEdit::editingFinished, this, &CFontToolBar::NameEntered);
    connect(sizes_, &QComboBox::activated, this, &CFontToolBar::SizeEntered);
    connect(sizes_->lineEdit(), &QLineEdit::editingFinished, this, &CFontToolBar::SizeEntered);
    connect(colourButton_, &CColourButton::ColourChosen, this, [this](ColourRef colour) {
        colour_ = colour;
        emit ColourChanged();
    });
}

CFontToolBar::~CFontToolBar()
{
    // The boxes lose the focus as they go, after this bar is gone: that is no
    // typing to take.
    names_->lineEdit()->disconnect(this);
    sizes_->lineEdit()->disconnect(this);
}

QStringList CFontToolBar::SizeEntries()
{
    return {"8",  "9",  "10", "11", "12", "14", "16", "18",
            "20", "22", "24", "26", "28", "36", "48", "72"};
}

QAction* CFontToolBar::AddButton(const QString& name)
{
    QAction* action = addAction(name);
    action->setCheckable(true);
    QWidget* button = widgetForAction(action);
    button->setAccessibleName(name);
    button->setFocusPolicy(Qt::TabFocus);
    return action;
}

void CFontToolBar::AddStyle(uint32_t bit, const QString& name, const QString& shown,
                            const QKeySequence& key)
{
    QAction* action = AddButton(name);
    action->setObjectName(name);
    action->setIconText(shown);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    QFont font = widgetForAction(action)->font();
    font.setBold(bit == CharFormat::kBold);
    font.setItalic(bit == CharFormat::kItalic);
    font.setUnderline(bit == CharFormat::kUnderline);
    widgetForAction(action)->setFont(font);
    styleActions_[bit] = action;
    connect(action, &QAction::triggered, this, [this, bit](bool on) {
        styles_ = on ? styles_ | bit : styles_ & ~bit;
        emit StyleToggled(bit, on);
    });
}

void CFontToolBar::AddAlignment(int alignment, const QString& name)
{
    QAction* action = AddButton(name);
    action->setObjectName(name);
    action->setIcon(AlignmentIcon(alignment));
    action->setData(alignment);
    alignments_->addAction(action);
    connect(action, &QAction::triggered, this, [this, alignment] {
        alignment_ = alignment;
        emit AlignmentChosen(alignment);
    });
}

void CFontToolBar::AddDecoration(CTextStyleDialog::Part part)
{
    const QString caption = CTextStyleDialog::Caption(part);
    QAction* action = AddButton(caption);
    action->setObjectName(caption);
    action->setToolTip(caption + QStringLiteral(" 설정"));
    decorationActions_[part] = action;
    connect(action, &QAction::triggered, this, [this, part] { ChooseDecoration(part); });
}

// The part's settings in their dialog; OK takes them, and the bar tells the
// dialog as after a colour change.
void CFontToolBar::ChooseDecoration(CTextStyleDialog::Part part)
{
    CTextStyleDialog dialog(part, decoration_, this);
    if (dialog.exec() == QDialog::Accepted) {
        ShowDecoration(dialog.Decoration());
        emit DecorationChanged();
    } else {
        ShowDecoration(decoration_); // the click flipped the button
    }
}

void CFontToolBar::ShowDecoration(const TextDecoration& decoration)
{
    decoration_ = decoration;
    decorationActions_.at(CTextStyleDialog::kOutline)->setChecked(decoration.outline.on);
    decorationActions_.at(CTextStyleDialog::kShadow)->setChecked(decoration.shadow.on);
    decorationActions_.at(CTextStyleDialog::kBox)->setChecked(decoration.box.on);
}

QAction* CFontToolBar::DecorationAction(CTextStyleDialog::Part part) const
{
    return decorationActions_.at(part);
}

void CFontToolBar::SetFontNames(const QStringList& names)
{
    QStringList sorted = names;
    sorted.append(face_);
    sorted.removeDuplicates();
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
    names_->clear();
    names_->addItems(sorted);
    ShowFace(face_);
}

// A face missing from the list joins it in its sorted place: the text keeps
// its face even where that font is not installed.
void CFontToolBar::ShowFace(const QString& face)
{
    int index = names_->findText(face);
    if (index < 0) {
        index = 0;
        while (index < names_->count() && names_->itemText(index).localeAwareCompare(face) < 0) {
            ++index;
        }
        names_->insertItem(index, face);
    }
    face_ = face;
    names_->setCurrentIndex(index);
}

void CFontToolBar::ShowSize(int size)
{
    size_ = size;
    const int index = sizes_->findText(QString::number(size), Qt::MatchExactly);
    sizes_->setCurrentIndex(index);
    sizes_->setEditText(QString::number(size));
}

void CFontToolBar::ShowFormat(const CharFormat& format)
{
    if (format.mask & CharFormat::kFaceMask && !format.faceName.isEmpty()) {
        ShowFace(format.faceName);
    }
    if (format.mask & CharFormat::kSizeMask) {
        ShowSize(std::clamp(int(std::lround(format.height / 20.0)), 1, kMaxSize));
    }
    if (format.mask & CharFormat::kColourMask) {
        colour_ = format.colour;
        colourButton_->SetColour(colour_);
    }
    for (const auto& [bit, action] : styleActions_) {
        if (format.mask & bit) {
            styles_ = format.effects & bit ? styles_ | bit : styles_ & ~bit;
            action->setChecked(format.effects & bit);
        }
    }
}

void CFontToolBar::ShowAlignment(int alignment)
{
    alignment_ = alignment;
    for (QAction* action : alignments_->actions()) {
        action->setChecked(action->data().toInt() == alignment);
    }
}

CharFormat CFontToolBar::Format() const
{
    CharFormat format;
    format.mask = CharFormat::kFaceMask | CharFormat::kSizeMask | CharFormat::kColourMask | styles_;
    format.effects = styles_;
    format.faceName = face_;
    format.height = size_ * 20;
    format.colour = colour_;
    return format;
}

// A typed name that is not in the list gives way to the last valid one.
void CFontToolBar::NameEntered()
{
    const int index = names_->findText(names_->currentText(), Qt::MatchFixedString);
    if (index >= 0) {
        face_ = names_->itemText(index);
    }
    ShowFace(face_);
    emit FontChanged(names_->hasFocus());
}

// A typed size that is not a number from 1 up gives way to the last valid one.
void CFontToolBar::SizeEntered()
{
    const int size = LeadingNumber(sizes_->currentText());
    ShowSize(size >= 1 && size <= kMaxSize ? size : size_);
    emit FontChanged(sizes_->hasFocus());
}
