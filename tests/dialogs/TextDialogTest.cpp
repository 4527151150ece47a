#include "CColourButton.h"
#include "CColourPickerDialog.h"
#include "CColourPopup.h"
#include "CFontPreview.h"
#include "CFontToolBar.h"
#include "CTextDialog.h"
#include "CTextStyleDialog.h"
#include "DialogTesting.h"
#include "RichTextFormat.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const QStringList kFonts = {"NanumGothic", "DejaVu Sans", "NanumMyeongjo", "Bitstream Charter"};

class TextDialogTest : public WidgetTest
{
protected:
    TextDialogTest() : dialog_(kFonts) {}

    void OpenNew(QPointF position = QPointF(30, 40))
    {
        dialog_.SetNewText(position);
        dialog_.show();
    }

    CFontToolBar* Bar() const { return dialog_.FontBar(); }

    void Type(const QString& text) { CommitText(dialog_.TextBox(), text); }

    void Click(const QString& button)
    {
        QTest::mouseClick(Bar()->widgetForAction(Bar()->findChild<QAction*>(button)),
                          Qt::LeftButton);
    }

    // Types into a box of the bar and ends the typing with Enter.
    static void Enter(QComboBox* box, const QString& text)
    {
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), text);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }

    // Presses OK; the message box it showed, if any.
    QString PressOk()
    {
        return MessageShownBy(
            [this] { QTest::mouseClick(dialog_.findChild<QPushButton*>("ok"), Qt::LeftButton); });
    }

    // Opens the colour popup of the bar and ends it with act.
    void ChooseColour(std::function<void(CColourPopup*)> act)
    {
        auto watcher = WhenOpen<CColourPopup>(std::move(act));
        QTest::mouseClick(Bar()->ColourButton(), Qt::LeftButton);
    }

    // The format of every character of the text box (all must agree).
    CharFormat WholeFormat()
    {
        const QTextDocument* document = dialog_.TextBox()->document();
        QTextCursor cursor(const_cast<QTextDocument*>(document));
        std::optional<CharFormat> first;
        for (int position = 1; position < document->characterCount(); ++position) {
            cursor.setPosition(position);
            const CharFormat read = RichTextFormat::FromTextFormat(cursor.charFormat());
            if (first) {
                EXPECT_EQ(read, *first) << "character " << position;
            } else {
                first = read;
            }
        }
        return first.value_or(CharFormat());
    }

    static CTextItem Item(const QString& text, uint32_t effects, int points)
    {
        CTextItem item;
        CharFormat format;
        format.effects = effects;
        format.height = points * 20;
        format.faceName = "DejaVu Sans";
        item.SetFormat(format);
        item.SetText(text);
        item.MakeOutline(QPointF(50, 60));
        return item;
    }

    CTextDialog dialog_;
};

} // namespace

TEST_F(TextDialogTest, NewTextOpensWithTheBarDefaults)
{
    OpenNew();
    EXPECT_EQ(dialog_.windowTitle(), "글꼴");
    EXPECT_EQ(Bar()->NameBox()->currentText(), "굴림");
    EXPECT_EQ(Bar()->SizeBox()->currentText(), "12");
    EXPECT_EQ(Bar()->ColourButton()->Colour(), kBlack);
    EXPECT_EQ(Bar()->Alignment(), CFontToolBar::kLeft);
    EXPECT_TRUE(Bar()->findChild<QAction*>("왼쪽 맞춤")->isChecked());
    for (const char* style : {"굵게", "기울임꼴", "밑줄"}) {
        EXPECT_FALSE(Bar()->findChild<QAction*>(style)->isChecked()) << style;
    }
    // The list is sorted and holds the bar's face although it is not installed.
    QStringList names;
    for (int index = 0; index < Bar()->NameBox()->count(); ++index) {
        names << Bar()->NameBox()->itemText(index);
    }
    EXPECT_EQ(names, QStringList({"Bitstream Charter", "DejaVu Sans", "NanumGothic",
                                  "NanumMyeongjo", "굴림"}));
    EXPECT_EQ(Bar()->SizeBox()->count(), 16);
    EXPECT_EQ(Bar()->SizeBox()->itemText(15), "72");
    EXPECT_TRUE(dialog_.TextBox()->hasFocus() || !dialog_.isActiveWindow());
}

TEST_F(TextDialogTest, OkMakesATextItemAtThePointWithTheBarFormat)
{
    OpenNew(QPointF(30, 40));
    Type("안녕하세요");
    Click("굵게");
    Enter(Bar()->SizeBox(), "36");
    EXPECT_EQ(PressOk(), "");
    ASSERT_EQ(dialog_.result(), QDialog::Accepted);
    const std::unique_ptr<CTextItem> item = dialog_.TakeItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Text(), "안녕하세요");
    EXPECT_EQ(item->Format().height, 720);
    EXPECT_EQ(item->Format().effects, CharFormat::kBold);
    EXPECT_EQ(item->Format().faceName, "굴림");
    EXPECT_EQ(item->Format().colour, kBlack);
    // Laid out from the point, as the model lays out any text.
    CTextItem expected;
    expected.SetFormat(item->Format());
    expected.SetText(item->Text());
    expected.MakeOutline(QPointF(30, 40));
    EXPECT_EQ(item->Outline(), expected.Outline());
    EXPECT_GT(item->Outline().boundingRect().width(), 100);
}

TEST_F(TextDialogTest, BlankTextIsRefusedAndNothingIsMade)
{
    OpenNew();
    Type("   ");
    EXPECT_EQ(PressOk(), "문자열을 입력하십시오.");
    EXPECT_EQ(dialog_.result(), QDialog::Rejected);
    EXPECT_EQ(dialog_.TakeItem(), nullptr);
}

TEST_F(TextDialogTest, EditingShowsTheItemFormatAndKeepsStylesTheBarLeavesOff)
{
    CTextItem bold = Item("굵은 글씨", CharFormat::kBold, 20);
    dialog_.SetEditItem(&bold);
    dialog_.show();
    EXPECT_EQ(Bar()->SizeBox()->currentText(), "20");
    EXPECT_EQ(Bar()->NameBox()->currentText(), "DejaVu Sans");
    EXPECT_TRUE(Bar()->findChild<QAction*>("굵게")->isChecked());
    EXPECT_EQ(dialog_.TextBox()->toPlainText(), "굵은 글씨");
    Enter(Bar()->NameBox(), "NanumGothic");
    EXPECT_EQ(WholeFormat().effects, CharFormat::kBold);
    EXPECT_EQ(PressOk(), "");
    EXPECT_EQ(bold.Format().faceName, "NanumGothic");
    EXPECT_EQ(bold.Format().effects, CharFormat::kBold);
    EXPECT_EQ(bold.Format().height, 400);
    EXPECT_EQ(dialog_.TakeItem(), nullptr); // edited in place

    CTextItem plain = Item("plain", 0, 14);
    CTextDialog again(kFonts);
    again.SetEditItem(&plain);
    again.show();
    EXPECT_FALSE(again.FontBar()->findChild<QAction*>("굵게")->isChecked());
    Enter(again.FontBar()->NameBox(), "NanumMyeongjo");
    QTest::mouseClick(again.findChild<QPushButton*>("ok"), Qt::LeftButton);
    EXPECT_EQ(plain.Format().faceName, "NanumMyeongjo");
    EXPECT_EQ(plain.Format().effects, 0u);
    EXPECT_EQ(plain.Format().height, 280);
}

TEST_F(TextDialogTest, EditedItemKeepsItsPlaceAndBlankKeepsItsText)
{
    CTextItem item = Item("first", 0, 24);
    const QPainterPath before = item.Outline();
    for (int edit = 0; edit < 3; ++edit) { // unchanged edits never move it
        CTextDialog same(kFonts);
        same.SetEditItem(&item);
        QTest::mouseClick(same.findChild<QPushButton*>("ok"), Qt::LeftButton);
    }
    EXPECT_EQ(item.Outline(), before);

    dialog_.SetEditItem(&item);
    dialog_.show();
    dialog_.TextBox()->selectAll();
    Type("second, longer");
    EXPECT_EQ(PressOk(), "");
    EXPECT_EQ(item.Text(), "second, longer");
    EXPECT_EQ(item.Format().height, 480);
    EXPECT_EQ(item.Format().faceName, "DejaVu Sans");
    // Laid out from the same point as the first text.
    const QRectF expected = Item("second, longer", 0, 24).Outline().boundingRect();
    const QRectF edited = item.Outline().boundingRect();
    EXPECT_NEAR(edited.left(), expected.left(), 1e-6);
    EXPECT_NEAR(edited.top(), expected.top(), 1e-6);
    EXPECT_NEAR(edited.width(), expected.width(), 1e-6);

    CTextDialog blank(kFonts);
    blank.SetEditItem(&item);
    blank.show();
    blank.TextBox()->clear();
    EXPECT_EQ(MessageShownBy(
                  [&] { QTest::mouseClick(blank.findChild<QPushButton*>("ok"), Qt::LeftButton); }),
              "문자열을 입력하십시오.");
    EXPECT_EQ(blank.result(), QDialog::Rejected);
    EXPECT_EQ(item.Text(), "second, longer");
}

TEST_F(TextDialogTest, ColourCellRecoloursTheWholeTextAndCancelledPickerKeepsIt)
{
    OpenNew();
    Type("colour");
    const QPoint red =
        CColourPopup::CellRect(8).center() + QPoint(CColourPopup::kFrame, CColourPopup::kFrame);
    ChooseColour([red](CColourPopup* popup) { QTest::mouseClick(popup, Qt::LeftButton, {}, red); });
    EXPECT_EQ(Bar()->Colour(), MakeColourRef(255, 0, 0));
    EXPECT_EQ(WholeFormat().colour, MakeColourRef(255, 0, 0));
    EXPECT_EQ(dialog_.Preview()->Format().colour, MakeColourRef(255, 0, 0));

    auto picker = WhenOpen<CColourPickerDialog>([](CColourPickerDialog* picker) {
        EXPECT_EQ(picker->Current(), MakeColourRef(255, 0, 0));
        picker->reject();
    });
    ChooseColour([](CColourPopup* popup) {
        QTest::mouseClick(popup->findChild<QPushButton*>("custom"), Qt::LeftButton);
    });
    EXPECT_EQ(Bar()->Colour(), MakeColourRef(255, 0, 0));
    EXPECT_EQ(WholeFormat().colour, MakeColourRef(255, 0, 0));
}

TEST_F(TextDialogTest, StyleButtonsSwitchTheWholeTextBothWays)
{
    OpenNew();
    Type("abc");
    dialog_.TextBox()->moveCursor(QTextCursor::Start); // no selection of the user's
    Click("기울임꼴");
    Click("밑줄");
    EXPECT_EQ(WholeFormat().effects, CharFormat::kItalic | CharFormat::kUnderline);
    Click("기울임꼴");
    EXPECT_EQ(WholeFormat().effects, CharFormat::kUnderline);
    Type("def"); // typed text takes the format of the rest
    EXPECT_EQ(WholeFormat().effects, CharFormat::kUnderline);
    dialog_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
    QTest::keyClick(dialog_.TextBox(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(WholeFormat().effects, CharFormat::kBold | CharFormat::kUnderline);
    EXPECT_TRUE(Bar()->findChild<QAction*>("굵게")->isChecked());
    EXPECT_EQ(dialog_.Preview()->Format().effects, CharFormat::kBold | CharFormat::kUnderline);
}

TEST_F(TextDialogTest, AlignmentShapesTheBoxButNotTheItem)
{
    OpenNew(QPointF(10, 10));
    Type("centred");
    Click("가운데 맞춤");
    EXPECT_EQ(Bar()->Alignment(), CFontToolBar::kCentre);
    EXPECT_TRUE(dialog_.TextBox()->alignment() & Qt::AlignHCenter);
    EXPECT_FALSE(Bar()->findChild<QAction*>("왼쪽 맞춤")->isChecked());
    PressOk();
    const std::unique_ptr<CTextItem> item = dialog_.TakeItem();
    ASSERT_NE(item, nullptr);
    CTextItem left;
    left.SetFormat(item->Format());
    left.SetText("centred");
    left.MakeOutline(QPointF(10, 10));
    EXPECT_EQ(item->Outline(), left.Outline());
}

TEST_F(TextDialogTest, UnknownFaceAndNonNumericSizeGiveWayToTheLastValid)
{
    OpenNew();
    Enter(Bar()->NameBox(), "NanumMyeongjo");
    EXPECT_EQ(Bar()->Face(), "NanumMyeongjo");
    Enter(Bar()->NameBox(), "No Such Face");
    EXPECT_EQ(Bar()->NameBox()->currentText(), "NanumMyeongjo");
    Enter(Bar()->NameBox(), "dejavu sans"); // a listed face, whatever its case
    EXPECT_EQ(Bar()->Face(), "DejaVu Sans");

    Enter(Bar()->SizeBox(), "30pt");
    EXPECT_EQ(Bar()->Size(), 30);
    Enter(Bar()->SizeBox(), "big");
    EXPECT_EQ(Bar()->Size(), 30);
    EXPECT_EQ(Bar()->SizeBox()->currentText(), "30");
    Enter(Bar()->SizeBox(), "0");
    EXPECT_EQ(Bar()->Size(), 30);
    Type("x");
    EXPECT_EQ(WholeFormat().height, 600);
    EXPECT_EQ(WholeFormat().faceName, "DejaVu Sans");
}

TEST_F(TextDialogTest, PreviewDrawsTheSampleInTheTextFont)
{
    OpenNew();
    Enter(Bar()->SizeBox(), "24");
    Click("굵게");
    dialog_.Preview()->resize(300, 60);
    EXPECT_EQ(dialog_.Preview()->Format().height, 480);
    EXPECT_EQ(dialog_.Preview()->Format().effects, CharFormat::kBold);
    const QImage shown = dialog_.Preview()->grab().toImage();
    const QColor face = dialog_.Preview()->palette().button().color();
    int dark = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            dark += qGray(shown.pixel(x, y)) < 100 ? 1 : 0;
        }
    }
    EXPECT_EQ(shown.pixelColor(0, 0), face);
    EXPECT_GT(dark, 200); // the sample is drawn, not an empty label
}

TEST_F(TextDialogTest, ResizingStretchesTheTextBoxAndMovesTheButtons)
{
    OpenNew();
    dialog_.resize(600, 400);
    QApplication::processEvents();
    auto* ok = dialog_.findChild<QPushButton*>("ok");
    const QSize buttonSize = ok->size();
    dialog_.resize(800, 500);
    QApplication::processEvents();
    const QRect text = dialog_.TextBox()->geometry();
    EXPECT_EQ(text.right() + 1, 800 - 10);
    EXPECT_EQ(text.bottom() + 1, 500 - 10);
    EXPECT_EQ(ok->size(), buttonSize);
    EXPECT_EQ(ok->geometry().right() + 1, 800 - 10);
    EXPECT_EQ(dialog_.Preview()->geometry().right() + 1 + 20, ok->geometry().left());
}

TEST_F(TextDialogTest, EachLineOfTheTextGoesBelowTheOneBefore)
{
    OpenNew(QPointF(0, 0));
    Type("first");
    QTest::keyClick(dialog_.TextBox(), Qt::Key_Return);
    Type("second");
    PressOk();
    const std::unique_ptr<CTextItem> item = dialog_.TakeItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Text(), "first\nsecond");
    const QRectF lines = item->Outline().boundingRect();
    const QFontMetricsF metrics(item->Font());
    EXPECT_GT(lines.height(), metrics.lineSpacing() + metrics.ascent() / 2);
    EXPECT_LT(lines.width(), metrics.horizontalAdvance("firstsecond"));
}

// Pixels of a widget as shown: how many are near white, and the colour of
// the background in its top-left corner.
struct Shown
{
    int whitePixels = 0;
    QColor corner;
};

Shown ShownIn(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    Shown shown{0, image.pixelColor(1, 1)};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            shown.whitePixels += qGray(image.pixel(x, y)) > 240 ? 1 : 0;
        }
    }
    return shown;
}

TEST_F(TextDialogTest, WhiteTextShowsOnADarkBackgroundInTheBoxAndThePreview)
{
    OpenNew();
    Type("abc");
    const QColor usualBase = dialog_.TextBox()->palette().base().color();
    const auto choose = [this](int cell) {
        const QPoint at = CColourPopup::CellRect(cell).center() +
                          QPoint(CColourPopup::kFrame, CColourPopup::kFrame);
        ChooseColour(
            [at](CColourPopup* popup) { QTest::mouseClick(popup, Qt::LeftButton, {}, at); });
    };
    choose(0); // white
    ASSERT_EQ(WholeFormat().colour, MakeColourRef(255, 255, 255));
    const Shown box = ShownIn(dialog_.TextBox()->viewport());
    EXPECT_LT(qGray(box.corner.rgb()), 100);
    EXPECT_GT(box.whitePixels, 20) << "the white text is seen";
    dialog_.Preview()->resize(300, 60);
    const Shown preview = ShownIn(dialog_.Preview());
    EXPECT_LT(qGray(preview.corner.rgb()), 100);
    EXPECT_GT(preview.whitePixels, 50);

    choose(5); // black: the usual white box again
    EXPECT_EQ(ShownIn(dialog_.TextBox()->viewport()).corner, usualBase);
    EXPECT_EQ(ShownIn(dialog_.Preview()).corner, dialog_.Preview()->palette().button().color());
}

TEST_F(TextDialogTest, StyledTextStaysVisibleInTheBox)
{
    OpenNew();
    Type("abc");
    Click("굵게");
    const QImage shown = dialog_.TextBox()->viewport()->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            dark += qGray(shown.pixel(x, y)) < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 20);
}

namespace {

// Opens a caption-style part from the bar and ends its dialog with act.
void ChooseStyle(CFontToolBar* bar, CTextStyleDialog::Part part,
                 std::function<void(CTextStyleDialog*)> act)
{
    auto watcher = WhenOpen<CTextStyleDialog>(std::move(act));
    QTest::mouseClick(bar->widgetForAction(bar->DecorationAction(part)), Qt::LeftButton);
}

// Types a number into a field of the open style dialog.
void TypeNumber(QSpinBox* field, int value)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QString::number(value));
}

} // namespace

TEST_F(TextDialogTest, ChosenOutlineShadowAndBoxGoToTheItemAndThePreview)
{
    OpenNew();
    Type("Caption");
    // Every part starts off, its button up and named for screen readers.
    for (const auto part :
         {CTextStyleDialog::kOutline, CTextStyleDialog::kShadow, CTextStyleDialog::kBox}) {
        QWidget* button = Bar()->widgetForAction(Bar()->DecorationAction(part));
        EXPECT_EQ(AccessibleName(button), CTextStyleDialog::Caption(part));
        EXPECT_FALSE(Bar()->DecorationAction(part)->isChecked());
        EXPECT_TRUE(button->isVisible());
    }

    // The outline: its dialog opens with "사용" ticked; a width typed, OK.
    ChooseStyle(Bar(), CTextStyleDialog::kOutline, [](CTextStyleDialog* style) {
        EXPECT_EQ(style->windowTitle(), "외곽선");
        EXPECT_TRUE(style->OnBox()->isChecked());
        EXPECT_EQ(AccessibleName(style->Fields()[0]), "두께(픽셀)");
        TypeNumber(style->Fields()[0], 5);
        QTest::keyClick(style->Fields()[0], Qt::Key_Return);
    });
    EXPECT_TRUE(Bar()->DecorationAction(CTextStyleDialog::kOutline)->isChecked());
    EXPECT_TRUE(dialog_.Preview()->Decoration().outline.on);
    EXPECT_EQ(dialog_.Preview()->Decoration().outline.width, 5);

    // A box at 50 %, then the shadow opened and cancelled: it stays off.
    ChooseStyle(Bar(), CTextStyleDialog::kBox, [](CTextStyleDialog* style) {
        TypeNumber(style->Fields()[0], 50);
        TypeNumber(style->Fields()[1], 9);
        QTest::mouseClick(style->findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    ChooseStyle(Bar(), CTextStyleDialog::kShadow, [](CTextStyleDialog* style) {
        TypeNumber(style->Fields()[0], -20);
        QTest::keyClick(style, Qt::Key_Escape);
    });
    EXPECT_FALSE(Bar()->DecorationAction(CTextStyleDialog::kShadow)->isChecked());

    EXPECT_EQ(PressOk(), "");
    const std::unique_ptr<CTextItem> item = dialog_.TakeItem();
    ASSERT_NE(item, nullptr);
    TextDecoration expected;
    expected.outline = {true, 0x000000, 5};
    expected.box = {true, 0x000000, 128, 9, TextBox().radius};
    EXPECT_EQ(item->Decoration(), expected);
}

TEST_F(TextDialogTest, EditingShowsTheDecorationAndUntickingTurnsAPartOff)
{
    CTextItem item = Item("Hi", 0, 20);
    TextDecoration decoration;
    decoration.shadow = {true, 0x0000FF, -4, 6, 3};
    decoration.box = {true, 0x00FF00, 200, 3, 2};
    item.SetDecoration(decoration);
    dialog_.SetEditItem(&item);
    dialog_.show();
    EXPECT_FALSE(Bar()->DecorationAction(CTextStyleDialog::kOutline)->isChecked());
    EXPECT_TRUE(Bar()->DecorationAction(CTextStyleDialog::kShadow)->isChecked());
    ChooseStyle(Bar(), CTextStyleDialog::kShadow, [](CTextStyleDialog* style) {
        EXPECT_EQ(style->Fields()[0]->value(), -4);
        EXPECT_EQ(style->Fields()[2]->value(), 3);
        QTest::keyClick(style->OnBox(), Qt::Key_Space);
        QTest::mouseClick(style->findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    EXPECT_EQ(PressOk(), "");
    decoration.shadow.on = false; // the settings stay for when it is turned on again
    EXPECT_EQ(item.Decoration(), decoration);
}

TEST_F(TextDialogTest, EveryStyleControlHasANameAndTabReachesEachInTurn)
{
    for (const auto part :
         {CTextStyleDialog::kOutline, CTextStyleDialog::kShadow, CTextStyleDialog::kBox}) {
        SCOPED_TRACE(CTextStyleDialog::Caption(part).toStdString());
        CTextStyleDialog style(part, TextDecoration());
        style.show();
        style.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&style));

        // Tab from the first control round to it again, as a keyboard user would.
        QList<QWidget*> reached;
        for (QWidget* at = QApplication::focusWidget(); at != nullptr && !reached.contains(at);
             at = QApplication::focusWidget()) {
            reached.append(at);
            QTest::keyClick(at, Qt::Key_Tab);
        }
        QList<QWidget*> order = {style.OnBox(), style.ColourButton()};
        for (QSpinBox* field : style.Fields()) {
            order.append(field);
        }
        order.append(style.findChild<QPushButton*>("ok"));
        order.append(style.findChild<QPushButton*>("cancel"));
        EXPECT_EQ(reached, order);

        for (QWidget* control : style.findChildren<QWidget*>()) {
            if ((control->focusPolicy() & Qt::TabFocus) && control->focusProxy() == nullptr) {
                EXPECT_TRUE(reached.contains(control)) << control->objectName().toStdString();
                EXPECT_FALSE(AccessibleName(control).isEmpty())
                    << control->objectName().toStdString();
            }
        }
        EXPECT_EQ(AccessibleName(style.ColourButton()), "색");
        EXPECT_EQ(AccessibleName(style.OnBox()), "사용");
        // The colour it shows only as paint is read out as text.
        QAccessibleInterface* colour = QAccessible::queryAccessibleInterface(style.ColourButton());
        EXPECT_EQ(colour->text(QAccessible::Description), "#000000");
    }
}
