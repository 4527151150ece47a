#include "CColourButton.h"
#include "CNewPictureDialog.h"
#include "CNumberEdit.h"
#include "DialogTesting.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class NewPictureDialogTest : public WidgetTest
{
protected:
    void SetUp() override { dialog_.show(); }

    template <typename T> T* Child(const char* name) { return dialog_.findChild<T*>(name); }

    void ChooseEntry(int index)
    {
        auto* sizes = Child<QComboBox>("sizes");
        sizes->setCurrentIndex(index);
        emit sizes->activated(index);
    }

    void TypeInto(const char* field, const QString& text)
    {
        auto* edit = Child<CNumberEdit>(field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    void PressOk() { QTest::mouseClick(Child<QPushButton>("ok"), Qt::LeftButton); }

    CNewPictureDialog dialog_;
};

} // namespace

TEST_F(NewPictureDialogTest, OkAtOnceGivesWhiteUntitled640By480)
{
    EXPECT_EQ(Child<QComboBox>("sizes")->currentText(), "게시판용(640×480)");
    EXPECT_FALSE(Child<CNumberEdit>("width")->isEnabled());
    PressOk();
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
    const NewPictureSettings settings = dialog_.Settings();
    EXPECT_EQ(settings.size, QSize(640, 480));
    EXPECT_EQ(settings.background, kWhite);
    EXPECT_EQ(settings.title, "제목없음");
}

TEST_F(NewPictureDialogTest, CustomModeKeepsTheLastEntryAndTakesTypedNumbers)
{
    ASSERT_EQ(CNewPictureDialog::EntryCount(), 10);
    EXPECT_EQ(CNewPictureDialog::EntrySize(0), QSize(160, 120));
    ChooseEntry(8);
    EXPECT_EQ(Child<QComboBox>("sizes")->currentText(), "1280×1024");
    QTest::mouseClick(Child<QRadioButton>("customMode"), Qt::LeftButton);
    EXPECT_FALSE(Child<QComboBox>("sizes")->isEnabled());
    EXPECT_TRUE(Child<CNumberEdit>("height")->isEnabled());
    EXPECT_EQ(Child<CNumberEdit>("height")->text(), "1024");
    TypeInto("width", "500");
    PressOk();
    EXPECT_EQ(dialog_.Settings().size, QSize(500, 1024));
}

TEST_F(NewPictureDialogTest, SizesThatCannotBeMadeAreRefusedAndTheDialogStays)
{
    QTest::mouseClick(Child<QRadioButton>("customMode"), Qt::LeftButton);
    const struct
    {
        const char* width;
        const char* height;
        const char* message;
    } cases[] = {
        {"0", "480", "가로크기와 세로크기는 1 부터 30000 사이의 정수로 입력하십시오."},
        {"", "480", "가로크기와 세로크기는 1 부터 30000 사이의 정수로 입력하십시오."},
        {"640", "30001", "가로크기와 세로크기는 1 부터 30000 사이의 정수로 입력하십시오."},
        {"30000", "20001",
         "그림이 너무 큽니다. 가로크기 × 세로크기가 6억 화소를 넘지 않도록 입력하십시오."},
    };
    for (const auto& c : cases) {
        TypeInto("width", c.width);
        TypeInto("height", c.height);
        EXPECT_EQ(MessageShownBy([this] { PressOk(); }), c.message) << c.width << "×" << c.height;
        EXPECT_TRUE(dialog_.isVisible());
    }
    // The focus goes to the field that failed.
    TypeInto("width", "640");
    TypeInto("height", "0");
    Child<CNumberEdit>("width")->setFocus();
    MessageShownBy([this] { PressOk(); });
    EXPECT_EQ(dialog_.focusWidget(), Child<CNumberEdit>("height"));
    TypeInto("width", "0");
    TypeInto("height", "480");
    MessageShownBy([this] { PressOk(); });
    EXPECT_EQ(dialog_.focusWidget(), Child<CNumberEdit>("width"));

    TypeInto("width", "30000");
    TypeInto("height", "20000");
    EXPECT_EQ(MessageShownBy([this] { PressOk(); }), "");
    EXPECT_EQ(dialog_.Settings().size, QSize(30000, 20000));
}

TEST_F(NewPictureDialogTest, BackgroundComesFromTheColourButton)
{
    Child<CColourButton>("background")->SetColour(MakeColourRef(1, 2, 3));
    PressOk();
    EXPECT_EQ(dialog_.Settings().background, MakeColourRef(1, 2, 3));
}

// Screen readers and UI automation find every field by the caption beside it.
TEST_F(NewPictureDialogTest, FieldsAreNamedByTheirCaptions)
{
    // A drop-down reads out its current entry; its own name is the caption.
    EXPECT_EQ(Child<QComboBox>("sizes")->accessibleName(), "크기 선택");
    EXPECT_EQ(AccessibleName(Child<CNumberEdit>("width")), "가로크기");
    EXPECT_EQ(AccessibleName(Child<CNumberEdit>("height")), "세로크기");
    EXPECT_EQ(AccessibleName(Child<CColourButton>("background")), "배경색 선택");
}
