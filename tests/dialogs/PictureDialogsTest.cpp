#include "CAppendPictureDialog.h"
#include "CColourButton.h"
#include "CInsertPictureDialog.h"
#include "CNumberEdit.h"
#include "DialogTesting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class PictureDialogTest : public WidgetTest
{
protected:
    template <typename T> static T* Child(QDialog& dialog, const QString& name)
    {
        return dialog.findChild<T*>(name);
    }

    static void Choose(QDialog& dialog, int choice)
    {
        auto* radio = Child<QRadioButton>(dialog, QStringLiteral("choice%1").arg(choice));
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    }

    static void TypeInto(QDialog& dialog, const char* field, const QString& text)
    {
        auto* edit = Child<CNumberEdit>(dialog, field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    static QString Text(QDialog& dialog, const char* field)
    {
        return Child<CNumberEdit>(dialog, field)->text();
    }

    // Presses OK; the message box it showed, if any.
    static QString PressOk(QDialog& dialog)
    {
        return MessageShownBy(
            [&] { QTest::mouseClick(Child<QPushButton>(dialog, "ok"), Qt::LeftButton); });
    }
};

class InsertDialogTest : public PictureDialogTest
{
protected:
    InsertDialogTest() : dialog_(QSize(400, 300)) { dialog_.show(); }

    CInsertPictureDialog dialog_;
};

} // namespace

TEST_F(InsertDialogTest, OpensInAutomaticModeAtTheSourceSize)
{
    EXPECT_EQ(dialog_.windowTitle(), "그림삽입");
    auto* fits = Child<QComboBox>(dialog_, "fits");
    ASSERT_EQ(fits->count(), CInsertPictureDialog::kFitEntries);
    EXPECT_EQ(fits->itemText(0), "원본크기(400×300)");
    EXPECT_EQ(fits->itemText(1), "배경이미지크기");
    EXPECT_EQ(fits->itemText(10), "배경이미지의 10%");
    EXPECT_TRUE(fits->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(dialog_, "keepProportions")->isChecked());
    EXPECT_FALSE(Child<CNumberEdit>(dialog_, "width")->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>(dialog_, "linked")->isEnabled());
    EXPECT_EQ(Text(dialog_, "width"), "400");
    EXPECT_EQ(PressOk(dialog_), "");
    EXPECT_EQ(dialog_.Choice().mode, CInsertPictureDialog::kAutomatic);
    EXPECT_EQ(dialog_.Choice().scale, 0.0);
}

TEST_F(InsertDialogTest, FitEntriesGiveTheirScales)
{
    auto* fits = Child<QComboBox>(dialog_, "fits");
    fits->setCurrentIndex(fits->findText("배경이미지의 50%"));
    PressOk(dialog_);
    EXPECT_DOUBLE_EQ(dialog_.Choice().scale, 0.5);
    EXPECT_DOUBLE_EQ(CInsertPictureDialog::ScaleOf(1), 1.0);
    EXPECT_DOUBLE_EQ(CInsertPictureDialog::ScaleOf(10), 0.1);
}

TEST_F(InsertDialogTest, LinkedSizeFollowsTheSourceProportions)
{
    Choose(dialog_, CInsertPictureDialog::kCustom);
    EXPECT_FALSE(Child<QComboBox>(dialog_, "fits")->isEnabled());
    TypeInto(dialog_, "width", "200");
    EXPECT_EQ(Text(dialog_, "height"), "150");
    TypeInto(dialog_, "height", "100");
    EXPECT_EQ(Text(dialog_, "width"), "133");
    EXPECT_EQ(PressOk(dialog_), "");
    EXPECT_EQ(dialog_.Choice().mode, CInsertPictureDialog::kCustom);
    EXPECT_EQ(dialog_.Choice().size, QSize(133, 100));
}

TEST_F(InsertDialogTest, CustomSizesThatCannotBeDrawnAreRefused)
{
    Choose(dialog_, CInsertPictureDialog::kCustom);
    QTest::mouseClick(Child<QCheckBox>(dialog_, "linked"), Qt::LeftButton);
    for (const auto& [width, height] :
         {std::pair{"0", "100"}, {"100", "0"}, {"30001", "10"}, {"25000", "25000"}, {"", "10"}}) {
        TypeInto(dialog_, "width", width);
        TypeInto(dialog_, "height", height);
        EXPECT_FALSE(PressOk(dialog_).isEmpty()) << width << "×" << height;
        EXPECT_TRUE(dialog_.isVisible());
    }
    TypeInto(dialog_, "width", "20000");
    TypeInto(dialog_, "height", "30000"); // exactly 600 megapixels
    EXPECT_EQ(PressOk(dialog_), "");
    EXPECT_EQ(dialog_.Choice().size, QSize(20000, 30000));
}

TEST(InsertPlacedSize, FollowsModeScaleAndProportions)
{
    const QSize source(100, 50);
    const QSizeF base(400, 300);
    InsertPictureChoice choice;
    EXPECT_EQ(CInsertPictureDialog::PlacedSize(choice, source, base), source);
    choice.scale = 0.5; // box 200 × 150; the picture is wider than the box
    EXPECT_EQ(CInsertPictureDialog::PlacedSize(choice, source, base), QSize(200, 100));
    EXPECT_EQ(CInsertPictureDialog::PlacedSize(choice, QSize(50, 100), base), QSize(75, 150));
    choice.keepProportions = false;
    EXPECT_EQ(CInsertPictureDialog::PlacedSize(choice, source, base), QSize(200, 150));
    // A base lying turned: the caller exchanges its sides.
    EXPECT_EQ(CInsertPictureDialog::PlacedSize(choice, source, base.transposed()), QSize(150, 200));
    choice.mode = CInsertPictureDialog::kCustom;
    choice.size = QSize(7, 9);
    EXPECT_EQ(CInsertPictureDialog::PlacedSize(choice, source, base), QSize(7, 9));
}

TEST_F(PictureDialogTest, AppendOkAtOnceGivesBottomNoGapWhite)
{
    CAppendPictureDialog dialog(QSize(100, 50), QSizeF(400, 300));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "그림 이어붙이기");
    EXPECT_TRUE(Child<QRadioButton>(dialog, "choice1")->isChecked());
    EXPECT_EQ(PressOk(dialog), "");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Choice().side, CItemCanvas::Below);
    EXPECT_EQ(dialog.Choice().gap, 0);
    EXPECT_EQ(dialog.Choice().gapColour, kWhite);
    EXPECT_FALSE(dialog.Choice().merge);
}

TEST_F(PictureDialogTest, AppendTakesSideGapColourAndMerge)
{
    CAppendPictureDialog dialog(QSize(100, 50), QSizeF(400, 300));
    dialog.show();
    Choose(dialog, CItemCanvas::Left);
    TypeInto(dialog, "gap", "12");
    Child<CColourButton>(dialog, "gapColour")->SetColour(MakeColourRef(0, 0, 255));
    QTest::mouseClick(Child<QCheckBox>(dialog, "merge"), Qt::LeftButton);
    EXPECT_EQ(PressOk(dialog), "");
    EXPECT_EQ(dialog.Choice().side, CItemCanvas::Left);
    EXPECT_EQ(dialog.Choice().gap, 12);
    EXPECT_EQ(dialog.Choice().gapColour, MakeColourRef(0, 0, 255));
    EXPECT_TRUE(dialog.Choice().merge);
}

TEST_F(PictureDialogTest, AppendRefusesAJoinedPictureTooLarge)
{
    // A thin strip below a wide picture grows very tall.
    CAppendPictureDialog dialog(QSize(10, 1000), QSizeF(400, 300));
    dialog.show();
    EXPECT_FALSE(PressOk(dialog).isEmpty()); // 400 × 40300
    EXPECT_TRUE(dialog.isVisible());
    Choose(dialog, CItemCanvas::Right);
    TypeInto(dialog, "gap", "999999999");
    EXPECT_FALSE(PressOk(dialog).isEmpty());
    TypeInto(dialog, "gap", "10");
    EXPECT_EQ(PressOk(dialog), "");
    EXPECT_EQ(dialog.Choice().side, CItemCanvas::Right);
}
