#include "CColourPickerDialog.h"
#include "CColourSpectrum.h"
#include "CHoneycomb.h"
#include "CLuminanceBar.h"
#include "CNumberEdit.h"
#include "DialogTesting.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using Field = CColourPickerDialog::Field;

class ColourPickerTest : public WidgetTest
{
protected:
    static QString Shown(const CColourPickerDialog& dialog, Field field)
    {
        return dialog.FieldEdit(field)->text();
    }
};

} // namespace

TEST_F(ColourPickerTest, EveryHexagonCentreHitsItselfWithItsTableColour)
{
    const auto& hexagons = CHoneycomb::Hexagons();
    ASSERT_EQ(hexagons.size(), 127u + 8 + 7 + 2);
    for (std::size_t i = 0; i < hexagons.size(); ++i) {
        EXPECT_EQ(CHoneycomb::HitTest(hexagons[i].centre), int(i)) << i;
    }
    // Spot checks against the table: the corners of the main honeycomb, the
    // greys and the two large hexagons.
    EXPECT_EQ(hexagons[CHoneycomb::HitTest({49, 7})].colour, FromRgbHex(0x003366));
    EXPECT_EQ(hexagons[CHoneycomb::HitTest({91, 12 * 6 + 7})].colour, kWhite);
    EXPECT_EQ(hexagons[CHoneycomb::HitTest({49 + 14 * 6, 12 * 12 + 7})].colour,
              FromRgbHex(0xA50021));
    EXPECT_EQ(hexagons[CHoneycomb::HitTest({42, 179})].colour, FromRgbHex(0xF8F8F8));
    EXPECT_EQ(hexagons[CHoneycomb::HitTest({49 + 14 * 6, 191})].colour, FromRgbHex(0x111111));
    EXPECT_EQ(hexagons[CHoneycomb::HitTest({14, 181})].colour, kWhite);
    EXPECT_EQ(hexagons[CHoneycomb::HitTest({168, 181})].colour, kBlack);
}

TEST_F(ColourPickerTest, HoneycombMissesOutsideItsZones)
{
    EXPECT_EQ(CHoneycomb::HitTest({2, 2}), -1);     // corner beside row 0
    EXPECT_EQ(CHoneycomb::HitTest({91, 165}), -1);  // between honeycomb and greys
    EXPECT_EQ(CHoneycomb::HitTest({152, 180}), -1); // between greys and black
    EXPECT_EQ(CHoneycomb::HitTest({31, 180}), -1);  // between white and greys
}

TEST_F(ColourPickerTest, OpensOnTheStandardPageWithTheCurrentColour)
{
    CColourPickerDialog dialog(MakeColourRef(255, 0, 0));
    dialog.show();
    EXPECT_EQ(dialog.Pages()->currentIndex(), CColourPickerDialog::StandardPage);
    EXPECT_TRUE(dialog.Honeycomb()->isVisible());
    EXPECT_FALSE(dialog.Spectrum()->isVisible());
    EXPECT_EQ(Shown(dialog, Field::Hue), "255");
    EXPECT_EQ(Shown(dialog, Field::Saturation), "255");
    EXPECT_EQ(Shown(dialog, Field::Luminance), "128");
    EXPECT_EQ(Shown(dialog, Field::Red), "255");
    EXPECT_EQ(Shown(dialog, Field::Green), "0");
    dialog.Pages()->setCurrentIndex(CColourPickerDialog::CustomPage);
    EXPECT_TRUE(dialog.Spectrum()->isVisible());
    EXPECT_TRUE(dialog.LuminanceBar()->isVisible());
    EXPECT_FALSE(dialog.Honeycomb()->isVisible());
}

TEST_F(ColourPickerTest, PressingAHexagonMakesItTheWorkingColour)
{
    CColourPickerDialog dialog(kBlack);
    dialog.show();
    QTest::mouseClick(dialog.Honeycomb(), Qt::LeftButton, {}, QPoint(14, 181));
    EXPECT_EQ(dialog.Colour(), kWhite);
    EXPECT_EQ(Shown(dialog, Field::Luminance), "255");
    EXPECT_EQ(dialog.Current(), kBlack);
}

TEST_F(ColourPickerTest, LargeBlackHexagonPicksFromItsLeftmostColumn)
{
    CColourPickerDialog dialog(kWhite);
    dialog.show();
    QTest::mouseClick(dialog.Honeycomb(), Qt::LeftButton, {}, QPoint(153, 181));
    EXPECT_EQ(dialog.Colour(), kWhite); // outside: nothing picked
    QTest::mouseClick(dialog.Honeycomb(), Qt::LeftButton, {}, QPoint(154, 181));
    EXPECT_EQ(dialog.Colour(), kBlack);
}

TEST_F(ColourPickerTest, ValueAbove255IsRefusedAndBecomes255)
{
    CColourPickerDialog dialog(kBlack);
    dialog.show();
    dialog.Pages()->setCurrentIndex(CColourPickerDialog::CustomPage);
    CNumberEdit* red = dialog.FieldEdit(Field::Red);
    red->selectAll();
    const QString message = MessageShownBy([red] { QTest::keyClicks(red, "300"); });
    EXPECT_EQ(message, "0 부터 255 사이의 양의 정수를 입력하십시오");
    EXPECT_EQ(red->text(), "255");
    EXPECT_EQ(dialog.Colour(), MakeColourRef(255, 0, 0));
    EXPECT_EQ(Shown(dialog, Field::Hue), "255");
    EXPECT_EQ(Shown(dialog, Field::Luminance), "128");
}

TEST_F(ColourPickerTest, HslFieldsAndSpinButtonsRecomputeRgb)
{
    CColourPickerDialog dialog(MakeColourRef(255, 0, 0));
    dialog.show();
    dialog.Pages()->setCurrentIndex(CColourPickerDialog::CustomPage);
    CNumberEdit* luminance = dialog.FieldEdit(Field::Luminance);
    luminance->selectAll();
    QTest::keyClicks(luminance, "0");
    EXPECT_EQ(dialog.Colour(), kBlack);
    EXPECT_EQ(Shown(dialog, Field::Hue), "255"); // H and S are kept

    // The spin buttons beside the blue field step it and act as typing.
    QWidget* row = dialog.FieldEdit(Field::Blue)->parentWidget();
    const auto arrows = row->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QTest::mouseClick(arrows[0], Qt::LeftButton);
    QTest::mouseClick(arrows[0], Qt::LeftButton);
    EXPECT_EQ(dialog.Colour(), MakeColourRef(0, 0, 2));
    QTest::mouseClick(arrows[1], Qt::LeftButton);
    EXPECT_EQ(Shown(dialog, Field::Blue), "1");
}

TEST_F(ColourPickerTest, SpectrumSetsHueAndSaturationAndKeepsLuminance)
{
    CColourPickerDialog dialog(MakeColourRef(128, 128, 128));
    dialog.show();
    dialog.Pages()->setCurrentIndex(CColourPickerDialog::CustomPage);
    CColourSpectrum* spectrum = dialog.Spectrum();
    const QPoint target(spectrum->width() / 4, 0);
    QTest::mousePress(spectrum, Qt::LeftButton, {}, target);
    EXPECT_TRUE(spectrum->Held());
    QTest::mouseRelease(spectrum, Qt::LeftButton, {}, target);
    EXPECT_FLOAT_EQ(dialog.Working().Hue(), 90.5f);
    EXPECT_FLOAT_EQ(dialog.Working().Saturation(), 1.0f);
    EXPECT_EQ(Shown(dialog, Field::Luminance), "128");
    EXPECT_EQ(Shown(dialog, Field::Saturation), "255");
    EXPECT_EQ(dialog.Colour(), CColourValue::FromHsl(90.5f, 1, 256.0f / 510));
    EXPECT_EQ(spectrum->Crosshair(), QPoint(std::lround(90.5 * spectrum->width() / 360), 0));
}

TEST_F(ColourPickerTest, LuminanceBarMovesLuminanceOnly)
{
    CColourPickerDialog dialog(MakeColourRef(255, 0, 0));
    dialog.show();
    dialog.Pages()->setCurrentIndex(CColourPickerDialog::CustomPage);
    CLuminanceBar* bar = dialog.LuminanceBar();
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() - 2, 0));
    EXPECT_FLOAT_EQ(dialog.Working().Luminance(), 1.0f);
    EXPECT_EQ(dialog.Colour(), kWhite);
    EXPECT_EQ(Shown(dialog, Field::Hue), "255");
    QTest::mouseMove(bar, QPoint(bar->width() - 2, bar->height()));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() - 2, bar->height()));
    EXPECT_EQ(dialog.Colour(), kBlack);
    EXPECT_EQ(bar->PointerY(), bar->height() - 6);
}

TEST_F(ColourPickerTest, HexFieldFollowsTheColourAndSetsItWhenWhole)
{
    CColourPickerDialog dialog(MakeColourRef(255, 0, 0));
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.Pages()->setCurrentIndex(CColourPickerDialog::CustomPage);
    QLineEdit* hex = dialog.HexEdit();
    EXPECT_EQ(hex->text(), "#FF0000");
    EXPECT_EQ(AccessibleName(hex), "16진수");

    hex->setFocus();
    hex->selectAll();
    QTest::keyClicks(hex, "#00ff8");
    EXPECT_EQ(dialog.Colour(), MakeColourRef(255, 0, 0)); // not whole yet
    QTest::keyClicks(hex, "0");
    EXPECT_EQ(dialog.Colour(), MakeColourRef(0, 255, 128));
    EXPECT_EQ(Shown(dialog, Field::Green), "255");
    EXPECT_EQ(Shown(dialog, Field::Blue), "128");
    EXPECT_EQ(hex->text(), "#00ff80"); // left as typed while typing

    // Letters that are no hex digits never enter; a part left behind is
    // replaced by the working colour when the field is left.
    QTest::keyClick(hex, Qt::Key_Backspace);
    QTest::keyClicks(hex, "zz");
    EXPECT_EQ(hex->text(), "#00ff8");
    dialog.FieldEdit(Field::Red)->setFocus();
    EXPECT_EQ(hex->text(), "#00FF80");

    CNumberEdit* red = dialog.FieldEdit(Field::Red);
    red->selectAll();
    QTest::keyClicks(red, "16");
    EXPECT_EQ(hex->text(), "#10FF80");
}
