#include "CColourButton.h"
#include "CColourPickerDialog.h"
#include "CColourPopup.h"
#include "CNumberEdit.h"
#include "CRecentColours.h"
#include "CRegistry.h"
#include "ColourText.h"
#include "DialogTesting.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Window point of a client point of the popup.
QPoint InWindow(QPoint client)
{
    return client + QPoint(CColourPopup::kFrame, CColourPopup::kFrame);
}

QPoint CellCentre(int index)
{
    return InWindow(CColourPopup::CellRect(index).center());
}

using ColourPopupTest = WidgetTest;

} // namespace

TEST_F(ColourPopupTest, HitTestFindsCellsAndMissesGaps)
{
    for (int index = 0; index < 48; ++index) {
        EXPECT_EQ(CColourPopup::HitTest(CColourPopup::CellRect(index).center()), index);
    }
    // Column 0 covers x' 0 … 18 (the pixel after the cell still counts);
    // 19 … 21 is the gap before column 1.
    EXPECT_EQ(CColourPopup::HitTest(QPoint(10 + 18, 19)), 0);
    EXPECT_EQ(CColourPopup::HitTest(QPoint(10 + 19, 19)), -1);
    EXPECT_EQ(CColourPopup::HitTest(QPoint(10 + 22, 19)), 6);
    EXPECT_EQ(CColourPopup::HitTest(QPoint(10, 19 + 16)), 0);
    EXPECT_EQ(CColourPopup::HitTest(QPoint(10, 19 + 17)), -1);
    // Margins, the blue band and beyond the last column or row.
    EXPECT_EQ(CColourPopup::HitTest(QPoint(5, 25)), -1);
    EXPECT_EQ(CColourPopup::HitTest(QPoint(20, 12)), -1);
    EXPECT_EQ(CColourPopup::HitTest(QPoint(10 + 8 * 22, 25)), -1);
    EXPECT_EQ(CColourPopup::HitTest(QPoint(20, 19 + 6 * 20)), -1);
}

TEST_F(ColourPopupTest, PaletteRunsDownEachColumn)
{
    EXPECT_EQ(CColourPopup::PaletteColour(0), kWhite);
    EXPECT_EQ(CColourPopup::PaletteColour(5), kBlack);
    EXPECT_EQ(CColourPopup::PaletteColour(8), MakeColourRef(255, 0, 0));
    EXPECT_EQ(CColourPopup::PaletteColour(6 * 6 + 2), MakeColourRef(0, 0, 255));
    EXPECT_EQ(CColourPopup::PaletteColour(47), MakeColourRef(0x40, 0, 0x40));
}

TEST_F(ColourPopupTest, OpensUnderTheAnchorAtTheWrittenSize)
{
    QWidget window;
    window.setGeometry(100, 100, 300, 200);
    QPushButton anchor(&window);
    anchor.setGeometry(20, 30, 60, 22);
    window.show();
    CColourPopup popup(&anchor, kWhite);
    EXPECT_EQ(popup.pos(), anchor.mapToGlobal(QPoint(0, 23)));
    EXPECT_EQ(popup.size(), QSize(192 + 6, CColourPopup::kClientHeight + 6));
}

TEST_F(ColourPopupTest, ReleaseAfterDraggingPicksTheLastCellPassed)
{
    CColourPopup popup(nullptr, kWhite);
    popup.show();
    QTest::mousePress(&popup, Qt::LeftButton, {}, CellCentre(0));
    EXPECT_EQ(popup.Colour(), kWhite);
    QTest::mouseMove(&popup, CellCentre(8));
    // Released in the gap beside the red cell.
    const QPoint gap = InWindow(QPoint(10 + 22 + 20, 19 + 2 * 20 + 5));
    QTest::mouseMove(&popup, gap);
    QTest::mouseRelease(&popup, Qt::LeftButton, {}, gap);
    EXPECT_EQ(popup.result(), QDialog::Accepted);
    EXPECT_TRUE(popup.Picked());
    EXPECT_EQ(popup.Colour(), MakeColourRef(255, 0, 0));
}

TEST_F(ColourPopupTest, ClickInAGapPicksNothing)
{
    CColourPopup popup(nullptr, MakeColourRef(1, 2, 3));
    popup.show();
    const QPoint gap = InWindow(QPoint(10 + 19, 25));
    QTest::mouseClick(&popup, Qt::LeftButton, {}, gap);
    EXPECT_TRUE(popup.isVisible());
    EXPECT_FALSE(popup.Picked());
    EXPECT_EQ(popup.Colour(), MakeColourRef(1, 2, 3));
}

TEST_F(ColourPopupTest, CustomEndsWithOkAndNoPick)
{
    CColourPopup popup(nullptr, kWhite);
    popup.show();
    QTest::mouseClick(popup.findChild<QPushButton*>("custom"), Qt::LeftButton);
    EXPECT_EQ(popup.result(), QDialog::Accepted);
    EXPECT_FALSE(popup.Picked());
}

class ColourButtonTest : public ColourPopupTest
{
protected:
    void SetUp() override
    {
        platform::CRegistry::DeleteValue(CRecentColours::kKey, CRecentColours::kValue);
        button_.SetColour(MakeColourRef(10, 20, 30));
        button_.resize(60, 22);
        button_.show();
    }

    // Presses the button and ends the popup it opens with act.
    bool Choose(std::function<void(CColourPopup*)> act)
    {
        auto watcher = WhenOpen<CColourPopup>(std::move(act));
        return button_.ChooseColour();
    }

    static void PressCustom(CColourPopup* popup)
    {
        QTest::mouseClick(popup->findChild<QPushButton*>("custom"), Qt::LeftButton);
    }

    CColourButton button_;
};

TEST_F(ColourButtonTest, PickedCellBecomesTheButtonColour)
{
    QSignalSpy chosen(&button_, &CColourButton::ColourChosen);
    EXPECT_TRUE(Choose(
        [](CColourPopup* popup) { QTest::mouseClick(popup, Qt::LeftButton, {}, CellCentre(26)); }));
    EXPECT_EQ(button_.Colour(), MakeColourRef(0, 255, 0));
    EXPECT_EQ(chosen.count(), 1);
}

TEST_F(ColourButtonTest, CustomLeadsToThePickerWithTheButtonColour)
{
    auto picker = WhenOpen<CColourPickerDialog>([](CColourPickerDialog* dialog) {
        EXPECT_EQ(dialog->Current(), MakeColourRef(10, 20, 30));
        CNumberEdit* green = dialog->FieldEdit(CColourPickerDialog::Field::Green);
        green->selectAll();
        QTest::keyClicks(green, "200");
        dialog->accept();
    });
    EXPECT_TRUE(Choose(&ColourButtonTest::PressCustom));
    EXPECT_EQ(button_.Colour(), MakeColourRef(10, 200, 30));
}

TEST_F(ColourButtonTest, CancelOrDismissKeepsTheColour)
{
    auto picker = WhenOpen<CColourPickerDialog>([](CColourPickerDialog* dialog) {
        dialog->FieldEdit(CColourPickerDialog::Field::Red)->SetNumber(99);
        dialog->reject();
    });
    EXPECT_FALSE(Choose(&ColourButtonTest::PressCustom));
    EXPECT_FALSE(Choose([](CColourPopup* popup) { QTest::keyClick(popup, Qt::Key_Escape); }));
    EXPECT_EQ(button_.Colour(), MakeColourRef(10, 20, 30));
}

TEST_F(ColourButtonTest, ChosenColoursFillTheRecentRowNewestFirstEachOnce)
{
    const auto pickCell = [this](int index) {
        EXPECT_TRUE(Choose([index](CColourPopup* popup) {
            QTest::mouseClick(popup, Qt::LeftButton, {}, CellCentre(index));
        }));
    };
    pickCell(26); // green
    // A colour typed in the picker counts as well.
    auto picker = WhenOpen<CColourPickerDialog>([](CColourPickerDialog* dialog) {
        dialog->Pages()->setCurrentIndex(CColourPickerDialog::CustomPage);
        dialog->HexEdit()->selectAll();
        QTest::keyClicks(dialog->HexEdit(), "#123456");
        dialog->accept();
    });
    EXPECT_TRUE(Choose(&ColourButtonTest::PressCustom));
    pickCell(8);  // red
    pickCell(26); // green again: it moves to the front
    const ColourRef green = MakeColourRef(0, 255, 0);
    const ColourRef red = MakeColourRef(255, 0, 0);
    const ColourRef typed = MakeColourRef(0x12, 0x34, 0x56);

    CColourPopup popup(&button_, kWhite);
    EXPECT_EQ(popup.findChild<QLabel*>("recentLabel")->text(), "최근 색");
    EXPECT_EQ(popup.CellColour(CColourPopup::kRecentFirst), green);
    EXPECT_EQ(popup.CellColour(CColourPopup::kRecentFirst + 1), red);
    EXPECT_EQ(popup.CellColour(CColourPopup::kRecentFirst + 2), typed);
    EXPECT_EQ(popup.CellColour(CColourPopup::kRecentFirst + 3), std::nullopt);

    // Clicking a recent cell picks its colour; an empty slot picks nothing.
    popup.show();
    QTest::mouseClick(&popup, Qt::LeftButton, {}, CellCentre(CColourPopup::kRecentFirst + 5));
    EXPECT_TRUE(popup.isVisible());
    QTest::mouseClick(&popup, Qt::LeftButton, {}, CellCentre(CColourPopup::kRecentFirst + 2));
    EXPECT_TRUE(popup.Picked());
    EXPECT_EQ(popup.Colour(), typed);
}

TEST_F(ColourButtonTest, TheRecentRowKeepsEightColours)
{
    for (int index = 0; index < 10; ++index) {
        EXPECT_TRUE(Choose([index](CColourPopup* popup) {
            QTest::mouseClick(popup, Qt::LeftButton, {}, CellCentre(index));
        }));
    }
    const std::vector<ColourRef> recent = CRecentColours::Load();
    ASSERT_EQ(recent.size(), 8u);
    EXPECT_EQ(recent.front(), CColourPopup::PaletteColour(9));
    EXPECT_EQ(recent.back(), CColourPopup::PaletteColour(2));
    EXPECT_EQ(platform::CRegistry::Read(CRecentColours::kKey, CRecentColours::kValue)
                  .section(QLatin1Char(','), 0, 1),
              "#C00000,#FF0000");
}

TEST_F(ColourPopupTest, StoredRecentColoursAreReadWithCare)
{
    const ColourRef green = MakeColourRef(0, 255, 0);
    EXPECT_EQ(CRecentColours::Parse("#ZZZZZZ,#00ff00,#00FF00, 123456 ,#1234567,,0x1234,+12345"),
              (std::vector<ColourRef>{green, MakeColourRef(0x12, 0x34, 0x56)}));
    EXPECT_TRUE(CRecentColours::Parse("").empty());
    QStringList many;
    for (int n = 0; n < 12; ++n) {
        many.append(QStringLiteral("#0000%1").arg(n, 2, 10, QLatin1Char('0')));
    }
    EXPECT_EQ(CRecentColours::Parse(many.join(',')).size(), 8u);
    // A value too long to be ours reads as no colours.
    platform::CRegistry::Write(CRecentColours::kKey, CRecentColours::kValue,
                               QString(300, QLatin1Char('#')) + ",#00FF00");
    EXPECT_TRUE(CRecentColours::Load().empty());
    CRecentColours::Add(green);
    EXPECT_EQ(CRecentColours::Load(), std::vector<ColourRef>{green});
}

TEST_F(ColourPopupTest, KeyboardMovesTheMarkOverGridAndRecentRowAndPicks)
{
    platform::CRegistry::DeleteValue(CRecentColours::kKey, CRecentColours::kValue);
    const ColourRef recent = MakeColourRef(1, 2, 3);
    CRecentColours::Add(recent);
    CColourPopup popup(nullptr, MakeColourRef(7, 8, 9));
    popup.show();
    popup.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popup));
    ASSERT_TRUE(popup.hasFocus());
    EXPECT_EQ(popup.Marked(), -1);

    // Nothing marked: the first arrow marks the first cell; the edges hold.
    QTest::keyClick(&popup, Qt::Key_Up);
    QTest::keyClick(&popup, Qt::Key_Left);
    EXPECT_EQ(popup.Marked(), 0);
    QTest::keyClick(&popup, Qt::Key_Right);
    QTest::keyClick(&popup, Qt::Key_Down);
    EXPECT_EQ(popup.Marked(), 1 + CColourPopup::kRows);
    // Below the grid lies the recent row; its empty slots are not reached.
    for (int step = 0; step < CColourPopup::kRows + 2; ++step) {
        QTest::keyClick(&popup, Qt::Key_Down);
    }
    EXPECT_EQ(popup.Marked(), CColourPopup::kRows + CColourPopup::kRows - 1);
    QTest::keyClick(&popup, Qt::Key_Left);
    QTest::keyClick(&popup, Qt::Key_Down);
    EXPECT_EQ(popup.Marked(), CColourPopup::kRecentFirst);
    EXPECT_EQ(popup.Colour(), recent);

    // Tab leads on to "Custom...", where Enter no longer picks a cell.
    QTest::keyClick(&popup, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), popup.findChild<QPushButton*>("custom"));
    QTest::keyClick(&popup, Qt::Key_Backtab);
    ASSERT_TRUE(popup.hasFocus());
    QTest::keyClick(&popup, Qt::Key_Return);
    EXPECT_EQ(popup.result(), QDialog::Accepted);
    EXPECT_TRUE(popup.Picked());
    EXPECT_EQ(popup.Colour(), recent);
    platform::CRegistry::DeleteValue(CRecentColours::kKey, CRecentColours::kValue);
}

TEST_F(ColourPopupTest, ScreenReadersSeeEachCellByItsColourAndCanPressIt)
{
    platform::CRegistry::DeleteValue(CRecentColours::kKey, CRecentColours::kValue);
    const ColourRef recent = MakeColourRef(0x12, 0x34, 0x56);
    CRecentColours::Add(recent);
    CColourPopup popup(nullptr, recent);
    popup.show();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&popup);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->text(QAccessible::Name), "색 목록");
    // The 48 cells of the grid and the one filled recent slot, then the
    // popup's own widgets.
    EXPECT_GT(face->childCount(), CColourPopup::kRecentFirst + 1);
    QAccessibleInterface* first = face->child(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->role(), QAccessible::Cell);
    EXPECT_EQ(first->text(QAccessible::Name), ColourHexText(CColourPopup::PaletteColour(0)));
    EXPECT_EQ(face->indexOfChild(first), 0);
    QAccessibleInterface* slot = face->child(CColourPopup::kRecentFirst);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->text(QAccessible::Name), "최근 색 #123456");
    EXPECT_TRUE(slot->state().selected);
    EXPECT_EQ(face->childAt(slot->rect().center().x(), slot->rect().center().y()), slot);
    QAccessibleInterface* custom =
        QAccessible::queryAccessibleInterface(popup.findChild<QPushButton*>("custom"));
    const int customAt = face->indexOfChild(custom);
    EXPECT_GT(customAt, CColourPopup::kRecentFirst);
    EXPECT_EQ(face->child(customAt), custom);

    first->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(popup.result(), QDialog::Accepted);
    EXPECT_TRUE(popup.Picked());
    EXPECT_EQ(popup.Colour(), CColourPopup::PaletteColour(0));
    platform::CRegistry::DeleteValue(CRecentColours::kKey, CRecentColours::kValue);
}
