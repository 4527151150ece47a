#include "CTextDialog.h"

#include "CFontPreview.h"
#include "CFontToolBar.h"
#include "ColourRef.h"
#include "ContrastingBackground.h"
#include "Refusal.h"
#include "RichTextFormat.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

const QString CTextDialog::kEmptyRefusal = QStringLiteral("문자열을 입력하십시오.");

namespace {

constexpr uint32_t kStyles = CharFormat::kBold | CharFormat::kItalic | CharFormat::kUnderline;
constexpr uint32_t kAllFields =
    kStyles | CharFormat::kFaceMask | CharFormat::kColourMask | CharFormat::kSizeMask;

QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false); // Enter in the font boxes must not end the dialog
    return button;
}

Qt::Alignment ToQtAlignment(int alignment)
{
    return alignment == CFontToolBar::kCentre  ? Qt::AlignHCenter
           : alignment == CFontToolBar::kRight ? Qt::AlignRight
                                               : Qt::AlignLeft;
}

int FromQtAlignment(Qt::Alignment alignment)
{
    return alignment & Qt::AlignHCenter ? CFontToolBar::kCentre
           : alignment & Qt::AlignRight ? CFontToolBar::kRight
                                        : CFontToolBar::kLeft;
}

// Where an item's text was laid out from: its outline's top-left less the
// distance from a layout point to the top-left of that text's outline. An
// edit lays the new text out from the same point, so an item edited without
// a change keeps its outline exactly, however often it is edited.
QPointF LayoutOrigin(const CTextItem& item)
{
    CTextItem fresh;
    fresh.SetFormat(item.Format());
    fresh.SetText(item.Text());
    fresh.MakeOutline(QPointF(0, 0));
    return item.Outline().boundingRect().topLeft() - fresh.Outline().boundingRect().topLeft();
}

} // namespace

CTextDialog::CTextDialog(const QStringList& fontNames, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("글꼴"));
    setSizeGripEnabled(true);

    bar_ = new CFontToolBar(this);
    bar_->SetFontNames(fontNames);
    bar_->setFixedHeight(30);
    // Wide enough for every button: a narrower bar would hide the last ones
    // behind its extension arrow.
    bar_->setMinimumWidth(std::max(500, bar_->sizeHint().width()));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    preview_ = new CFontPreview(this);
    preview_->setMinimumHeight(56);
    auto* ok = MakeButton(QStringLiteral("확 인"), "ok", this);
    auto* cancel = MakeButton(QStringLiteral("취 소"), "cancel", this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();

    text_ = new QTextEdit(this);
    text_->setObjectName("text");
    text_->setAccessibleName(QStringLiteral("문자열"));
    text_->setTabChangesFocus(true);
    text_->setMinimumHeight(80);

    auto* row = new QHBoxLayout;
    row->setSpacing(20);
    row->addWidget(preview_, 1);
    row->addLayout(buttons);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 4, 10, 10);
    body->addWidget(line);
    body->addLayout(row);
    body->addWidget(text_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addLayout(body, 1);
    resize(std::max(520, sizeHint().width()), 300);

    connect(ok, &QPushButton::clicked, this, &CTextDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CTextDialog::reject);
    connect(bar_, &CFontToolBar::FontChanged, this, &CTextDialog::ApplyBar);
    connect(bar_, &CFontToolBar::ColourChanged, this, [this] { ApplyBar(); });
    connect(bar_, &CFontToolBar::StyleToggled, this, &CTextDialog::ApplyStyle);
    connect(bar_, &CFontToolBar::AlignmentChosen, this, &CTextDialog::ApplyAlignment);
    connect(bar_, &CFontToolBar::DecorationChanged, this, [this] { ApplyBar(); });
    connect(text_, &QTextEdit::selectionChanged, this, &CTextDialog::UpdatePreview);
    connect(text_, &QTextEdit::cursorPositionChanged, this, &CTextDialog::UpdatePreview);

    ApplyBar();
}

CTextDialog::~CTextDialog()
{
    // Nothing the children say while they go reaches this dialog.
    bar_->disconnect(this);
    text_->disconnect(this);
}

void CTextDialog::SetNewText(const QPointF& position)
{
    mode_ = kNew;
    position_ = position;
    item_ = nullptr;
}

void CTextDialog::SetEditItem(CTextItem* item)
{
    mode_ = kEdit;
    item_ = item;
    CharFormat format = item->Format();
    format.mask = kAllFields;
    bar_->ShowFormat(format);
    bar_->ShowDecoration(item->Decoration());
    ApplyBar();
    text_->setPlainText(item->Text());
    SetWholeFormat(format, kAllFields);
    UpdateBarFromText();
    UpdatePreview();
}

QTextCursor CTextDialog::WholeText() const
{
    QTextCursor cursor(text_->document());
    cursor.select(QTextCursor::Document);
    return cursor;
}

// Sets the fields of `format` that `mask` names on the whole text and on
// what is typed next, without showing a selection.
void CTextDialog::SetWholeFormat(const CharFormat& format, uint32_t mask)
{
    const QTextCharFormat change = RichTextFormat::ToTextFormat(format, mask);
    QTextCursor whole = WholeText();
    whole.beginEditBlock();
    whole.mergeCharFormat(change);
    // Paragraphs keep it too, so that text typed after everything was
    // deleted still takes it.
    whole.mergeBlockCharFormat(change);
    whole.endEditBlock();
    text_->mergeCurrentCharFormat(change);
}

CharFormat CTextDialog::FirstCharacterFormat() const
{
    if (text_->document()->isEmpty()) {
        return RichTextFormat::FromTextFormat(text_->currentCharFormat());
    }
    QTextCursor cursor(text_->document());
    cursor.setPosition(0);
    return RichTextFormat::FromTextFormat(cursor.charFormat());
}

// The bar's face, size and colour go to the whole text, with each style
// that is on in the bar; a style that is off is left as the text has it.
void CTextDialog::ApplyBar(bool focusText)
{
    const CharFormat format = bar_->Format();
    SetWholeFormat(format, format.mask);
    if (focusText) {
        text_->setFocus();
    }
    UpdatePreview();
}

void CTextDialog::ApplyStyle(uint32_t bit, bool on)
{
    CharFormat format;
    format.effects = on ? bit : 0;
    SetWholeFormat(format, bit);
    UpdatePreview();
}

void CTextDialog::ApplyAlignment(int alignment)
{
    text_->setAlignment(ToQtAlignment(alignment));
}

void CTextDialog::UpdateBarFromText()
{
    bar_->ShowFormat(FirstCharacterFormat());
    bar_->ShowAlignment(FromQtAlignment(text_->alignment()));
}

void CTextDialog::UpdatePreview()
{
    const CharFormat format = RichTextFormat::FromTextFormat(text_->currentCharFormat());
    preview_->SetFormat(format);
    preview_->SetDecoration(bar_->Decoration());
    ShowOnContrastingBase(text_, ToQColor(format.colour));
}

void CTextDialog::accept()
{
    const QString text = text_->toPlainText();
    if (text.trimmed().isEmpty()) {
        ShowRefusal(this, kEmptyRefusal);
        reject();
        return;
    }
    CTextItem* item = item_;
    QPointF origin = position_;
    if (mode_ == kNew) {
        made_ = std::make_unique<CTextItem>();
        item = made_.get();
    } else {
        origin = LayoutOrigin(*item);
    }
    item->SetFormat(FirstCharacterFormat());
    item->SetDecoration(bar_->Decoration());
    item->SetText(text);
    item->MakeOutline(origin);
    QDialog::accept();
}
