#include "CContrastGammaPage.h"
#include "CFilterPage.h"
#include "CHueSaturationPage.h"
#include "COtherPage.h"
#include "PanelTesting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace {

// Each page alone, shown, with a picture open and its base picture current.
class AdjustmentPagesTest : public PictureOpenTest
{
protected:
    template <typename Page> std::unique_ptr<Page> Show()
    {
        auto page = std::make_unique<Page>(&mainWindow_);
        page->resize(200, 175);
        page->show();
        return page;
    }
    static CValueSlider* Slider(QWidget* page, int id)
    {
        return page->findChild<CValueSlider*>(QString::number(id));
    }
    // The value field next to a slider.
    static QString Field(QWidget* page, int id)
    {
        const QRect slider = Slider(page, id)->geometry();
        for (QLineEdit* field : page->findChildren<QLineEdit*>()) {
            if (field->y() == slider.y() - 2) {
                return field->text();
            }
        }
        return QStringLiteral("(none)");
    }
};

TEST_F(AdjustmentPagesTest, HueDragWritesWhileMovingAndRendersOnRelease)
{
    auto page = Show<CHueSaturationPage>();
    CValueSlider* hue = Slider(page.get(), CHueSaturationPage::kHueSlider);
    EXPECT_EQ(hue->geometry(), QRect(5, 55, 142, 19));
    Effects().saturation = 150; // shown after a refresh
    page->Refresh();
    DragThumb(hue, 90, false);
    EXPECT_NEAR(Effects().hue, 90, 2);
    EXPECT_EQ(Effects().saturation, 150) << "all three numbers written together";
    EXPECT_EQ(Field(page.get(), CHueSaturationPage::kHueSlider), QString::number(Effects().hue));
    EXPECT_EQ(mainWindow_.Take(msg::kEffectsChanged), 0) << "a moving thumb does not re-render";
    SendMouse(hue, QEvent::MouseButtonRelease, ThumbPoint(hue, 90));
    EXPECT_EQ(mainWindow_.Take(msg::kEffectsChanged), 1);
}

TEST_F(AdjustmentPagesTest, WithoutACurrentItemOnlyThePageChanges)
{
    auto page = Show<CHueSaturationPage>();
    State().currentItem = nullptr;
    CValueSlider* brightness = Slider(page.get(), CHueSaturationPage::kBrightnessSlider);
    DragThumb(brightness, 50);
    EXPECT_EQ(page->Brightness(), brightness->Position());
    EXPECT_EQ(Field(page.get(), CHueSaturationPage::kBrightnessSlider),
              QString::number(brightness->Position()));
    EXPECT_EQ(Effects(), ItemEffects());
    EXPECT_EQ(mainWindow_.Take(msg::kEffectsChanged), 1) << "the release still re-renders";
}

TEST_F(AdjustmentPagesTest, ReleasingWithoutMovingStillRendersAgain)
{
    auto page = Show<CHueSaturationPage>();
    CValueSlider* saturation = Slider(page.get(), CHueSaturationPage::kSaturationSlider);
    SendMouse(saturation, QEvent::MouseButtonPress, ThumbPoint(saturation, 100));
    SendMouse(saturation, QEvent::MouseButtonRelease, ThumbPoint(saturation, 100));
    EXPECT_EQ(mainWindow_.Take(msg::kEffectsChanged), 1);
    EXPECT_EQ(Effects().saturation, 100);
}

TEST_F(AdjustmentPagesTest, KeysSetTheValueAndRender)
{
    auto page = Show<CContrastGammaPage>();
    CValueSlider* gamma = Slider(page.get(), CContrastGammaPage::kGammaSlider);
    QTest::keyClick(gamma, Qt::Key_PageDown);
    EXPECT_FLOAT_EQ(Effects().gamma, 1.2f);
    EXPECT_EQ(Field(page.get(), CContrastGammaPage::kGammaSlider), QStringLiteral("1.2"));
    EXPECT_EQ(mainWindow_.Take(msg::kEffectsChanged), 1);
}

TEST_F(AdjustmentPagesTest, ContrastRunsFromPointTwoToFourAndTheMarkerGivesOne)
{
    auto page = Show<CContrastGammaPage>();
    CValueSlider* contrast = Slider(page.get(), CContrastGammaPage::kContrastSlider);
    EXPECT_EQ(contrast->Position(), 100);
    DragThumb(contrast, 0); // past the left end
    EXPECT_FLOAT_EQ(Effects().contrast, 0.2f);
    EXPECT_EQ(Field(page.get(), CContrastGammaPage::kContrastSlider), QStringLiteral("0.2"));
    DragThumb(contrast, 1000);
    EXPECT_FLOAT_EQ(Effects().contrast, 4.0f);
    EXPECT_EQ(Field(page.get(), CContrastGammaPage::kContrastSlider), QStringLiteral("4"));
    SendMouse(contrast, QEvent::MouseButtonPress, contrast->MarkerRect().center());
    SendMouse(contrast, QEvent::MouseButtonRelease, contrast->MarkerRect().center());
    EXPECT_FLOAT_EQ(Effects().contrast, 1.0f);
    EXPECT_FLOAT_EQ(Effects().gamma, 1.0f);
    EXPECT_EQ(mainWindow_.Take(msg::kEffectsChanged), 3);
}

TEST_F(AdjustmentPagesTest, RefreshShowsTheItemsValuesExactly)
{
    auto page = Show<CContrastGammaPage>();
    CValueSlider* contrast = Slider(page.get(), CContrastGammaPage::kContrastSlider);
    Effects().contrast = 1.15f;
    Effects().gamma = 0.29f;
    page->Refresh();
    EXPECT_EQ(contrast->Position(), 115);
    EXPECT_EQ(Field(page.get(), CContrastGammaPage::kContrastSlider), QStringLiteral("1.15"));
    EXPECT_EQ(Slider(page.get(), CContrastGammaPage::kGammaSlider)->Position(), 29);
    // Every slider position survives the trip through the item and back.
    for (int position = 20; position <= 400; ++position) {
        contrast->SetPosition(position);
        emit contrast->Set(contrast->Id(), position);
        contrast->SetPosition(100);
        page->Refresh();
        ASSERT_EQ(contrast->Position(), position);
    }
}

TEST_F(AdjustmentPagesTest, FilterListAndItsEnablingRule)
{
    auto page = Show<CFilterPage>();
    QComboBox* list = page->List();
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->itemText(0), QStringLiteral("필터선택"));
    EXPECT_EQ(list->itemText(1), QString(40, QLatin1Char('-')));
    EXPECT_EQ(list->itemText(2), QStringLiteral("예리하게"));
    EXPECT_EQ(list->itemText(3), QStringLiteral("흐리게"));
    EXPECT_EQ(list->currentIndex(), 0);
    CValueSlider* value = Slider(page.get(), CFilterPage::kValueSlider);
    CValueSlider* range = Slider(page.get(), CFilterPage::kRangeSlider);
    const std::tuple<int, bool, bool> rule[] = {
        {0, false, false}, {1, false, false}, {2, true, true}, {3, false, true}};
    for (const auto& [selection, valueOn, rangeOn] : rule) {
        list->setCurrentIndex(selection);
        EXPECT_EQ(value->isEnabled(), valueOn) << selection;
        EXPECT_EQ(range->isEnabled(), rangeOn) << selection;
    }
    EXPECT_EQ(mainWindow_.Take(msg::kEffectsChanged), 0) << "choosing does not re-render";
}

TEST_F(AdjustmentPagesTest, SharpenAndBlurAreKeptApart)
{
    auto page = Show<CFilterPage>();
    page->List()->setCurrentIndex(CFilterPage::kSharpen);
    CValueSlider* value = Slider(page.get(), CFilterPage::kValueSlider);
    CValueSlider* range = Slider(page.get(), CFilterPage::kRangeSlider);
    QTest::keyClick(value, Qt::Key_PageDown); // 1.2
    QTest::keyClick(range, Qt::Key_End);      // 8
    EXPECT_FLOAT_EQ(Effects().sharpenAmount, 1.2f);
    EXPECT_FLOAT_EQ(Effects().sharpenRadius, 8.0f);
    EXPECT_FLOAT_EQ(Effects().blurRadius, 1.0f);

    page->List()->setCurrentIndex(CFilterPage::kBlur);
    EXPECT_FALSE(value->isEnabled());
    EXPECT_EQ(range->Position(), 100) << "the blur radius is shown";
    QTest::keyClick(range, Qt::Key_PageDown);
    EXPECT_FLOAT_EQ(Effects().blurRadius, 1.2f);
    EXPECT_FLOAT_EQ(Effects().sharpenRadius, 8.0f) << "blur keeps the sharpening";

    page->List()->setCurrentIndex(CFilterPage::kSharpen);
    EXPECT_EQ(value->Position(), 120);
    EXPECT_EQ(range->Position(), 800);
    EXPECT_EQ(Field(page.get(), CFilterPage::kRangeSlider), QStringLiteral("8"));

    page->List()->setCurrentIndex(CFilterPage::kChoose);
    const ItemEffects before = Effects();
    range->setEnabled(true); // nothing is written without a filter chosen
    QTest::keyClick(range, Qt::Key_Home);
    EXPECT_EQ(Effects(), before);
}

TEST_F(AdjustmentPagesTest, CheckBoxesSetTheFlagsAndRender)
{
    auto page = Show<COtherPage>();
    EXPECT_EQ(page->GreyscaleBox()->geometry(), QRect(20, 40, 60, 16));
    QTest::mouseClick(page->GreyscaleBox(), Qt::LeftButton);
    EXPECT_TRUE(Effects().greyscale);
    QTest::mouseClick(page->InvertBox(), Qt::LeftButton);
    EXPECT_TRUE(Effects().invert);
    EXPECT_EQ(mainWindow_.Take(msg::kEffectsChanged), 2);
    State().currentItem = nullptr;
    QTest::mouseClick(page->InvertBox(), Qt::LeftButton);
    EXPECT_TRUE(Effects().invert);
    EXPECT_EQ(mainWindow_.Take(msg::kEffectsChanged), 1);
}

TEST_F(AdjustmentPagesTest, RowsSitWhereTheFormPutsThem)
{
    auto hue = Show<CHueSaturationPage>();
    EXPECT_EQ(Slider(hue.get(), CHueSaturationPage::kBrightnessSlider)->geometry(),
              QRect(5, 143, 142, 19));
    auto filter = Show<CFilterPage>();
    EXPECT_EQ(Slider(filter.get(), CFilterPage::kRangeSlider)->geometry(), QRect(5, 126, 142, 19));
    EXPECT_EQ(Field(filter.get(), CFilterPage::kRangeSlider), QStringLiteral("1"));
    EXPECT_EQ(Slider(filter.get(), CFilterPage::kValueSlider)->MarkerPosition(), 100);
}

} // namespace
