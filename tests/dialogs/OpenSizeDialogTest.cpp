#include "CNumberEdit.h"
#include "COpenSizeDialog.h"
#include "DialogTesting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class OpenSizeDialogTest : public WidgetTest
{
protected:
    // A picture file of the given size: red on the left half, blue on the right.
    QString PictureFile(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::blue);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width / 2; ++x) {
                image.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
        const QString path = folder_.filePath(QStringLiteral("%1x%2.png").arg(width).arg(height));
        image.save(path);
        return path;
    }

    void Open(int width, int height)
    {
        ASSERT_EQ(dialog_.SetPath(PictureFile(width, height)), Status::Ok);
        dialog_.show();
    }

    template <typename T> T* Child(const QString& name) { return dialog_.findChild<T*>(name); }

    void Choose(int choice)
    {
        // Clicked on its indicator: the button ends at its text.
        auto* radio = Child<QRadioButton>(QStringLiteral("choice%1").arg(choice));
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    }

    void TypeInto(const char* field, const QString& text)
    {
        auto* edit = Child<CNumberEdit>(field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    // Presses OK and returns the result once the decoding in the background
    // has delivered it.
    CBitmap Loaded()
    {
        QTest::mouseClick(Child<QPushButton>("ok"), Qt::LeftButton);
        CBitmap result;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                result = dialog_.TakeResult();
                return !result.IsNull();
            },
            10000))
            << "no picture arrived";
        return result;
    }
    QSize LoadedSize() { return Loaded().Image().size(); }

    QTemporaryDir folder_;
    COpenSizeDialog dialog_;
};

} // namespace

TEST_F(OpenSizeDialogTest, OpensAtTheOriginalSize)
{
    Open(1000, 500);
    EXPECT_EQ(Child<QLabel>("sourceSize")->text(), "(1000×500)");
    EXPECT_FALSE(Child<CNumberEdit>("width")->isEnabled());
    EXPECT_FALSE(Child<QComboBox>("otherSizes")->isEnabled());
    EXPECT_EQ(Child<QComboBox>("otherSizes")->itemText(5), "1600×1024");
    EXPECT_EQ(Child<CNumberEdit>("height")->text(), "500");
    EXPECT_EQ(LoadedSize(), QSize(1000, 500));
}

TEST_F(OpenSizeDialogTest, WebSizesKeepTheProportions)
{
    Open(1000, 500);
    Choose(COpenSizeDialog::Board);
    EXPECT_EQ(LoadedSize(), QSize(640, 320));
    Choose(COpenSizeDialog::Phone);
    EXPECT_EQ(LoadedSize(), QSize(160, 80));
}

TEST_F(OpenSizeDialogTest, OtherSizesFitTheBoxAndMayEnlarge)
{
    Open(300, 600);
    Choose(COpenSizeDialog::Other);
    EXPECT_TRUE(Child<QComboBox>("otherSizes")->isEnabled());
    EXPECT_EQ(LoadedSize(), QSize(300, 600));

    EXPECT_EQ(COpenSizeDialog::FitToBox(QSize(200, 100), QSize(1024, 768)), QSize(1024, 512));
    EXPECT_EQ(COpenSizeDialog::FitToBox(QSize(1, 16000), QSize(160, 120)), QSize(1, 120));
}

TEST_F(OpenSizeDialogTest, LinkedSizeRoundsHalvesUp)
{
    Open(4, 2);
    Choose(COpenSizeDialog::Custom);
    EXPECT_TRUE(Child<QCheckBox>("linked")->isEnabled());
    TypeInto("width", "3");
    EXPECT_EQ(Child<CNumberEdit>("height")->text(), "2"); // 1.5 rounds up
    TypeInto("height", "5");
    EXPECT_EQ(Child<CNumberEdit>("width")->text(), "10");
    EXPECT_EQ(LoadedSize(), QSize(10, 5));
}

TEST_F(OpenSizeDialogTest, CustomWithoutLinkDistortsToTheTypedSize)
{
    Open(1000, 500);
    Choose(COpenSizeDialog::Custom);
    QTest::mouseClick(Child<QCheckBox>("linked"), Qt::LeftButton);
    TypeInto("width", "40");
    TypeInto("height", "300");
    const CBitmap result = Loaded();
    ASSERT_EQ(result.Image().size(), QSize(40, 300));
    EXPECT_EQ(result.Image().pixel(2, 150), qRgb(255, 0, 0));
    EXPECT_EQ(result.Image().pixel(37, 150), qRgb(0, 0, 255));
    // Ticking the box again links the height to the width.
    QTest::mouseClick(Child<QCheckBox>("linked"), Qt::LeftButton);
    EXPECT_EQ(Child<CNumberEdit>("height")->text(), "20");
}

TEST_F(OpenSizeDialogTest, ZeroOrHugeCustomSizesAreRefused)
{
    Open(100, 50);
    Choose(COpenSizeDialog::Custom);
    QTest::mouseClick(Child<QCheckBox>("linked"), Qt::LeftButton);
    TypeInto("width", "0");
    QString message;
    message =
        MessageShownBy([this] { QTest::mouseClick(Child<QPushButton>("ok"), Qt::LeftButton); });
    EXPECT_EQ(message, "가로크기와 세로크기는 1 부터 30000 사이의 정수로 입력하십시오.");
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_TRUE(dialog_.TakeResult().IsNull());
    TypeInto("width", "50000");
    message =
        MessageShownBy([this] { QTest::mouseClick(Child<QPushButton>("ok"), Qt::LeftButton); });
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_EQ(dialog_.focusWidget(), Child<CNumberEdit>("width"));

    // A wrong height puts the focus on the height.
    TypeInto("width", "100");
    TypeInto("height", "0");
    Child<CNumberEdit>("width")->setFocus();
    MessageShownBy([this] { QTest::mouseClick(Child<QPushButton>("ok"), Qt::LeftButton); });
    EXPECT_EQ(dialog_.focusWidget(), Child<CNumberEdit>("height"));
}

TEST_F(OpenSizeDialogTest, UnreadableFileIsRefusedBeforeTheDialogShows)
{
    const QString path = folder_.filePath("broken.jpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    bool dialogShown = false;
    auto watcher = WhenOpen<COpenSizeDialog>([&dialogShown](COpenSizeDialog* dialog) {
        dialogShown = true;
        dialog->reject();
    });
    CBitmap loaded;
    const QString message =
        MessageShownBy([&loaded, &path] { loaded = COpenSizeDialog::OpenPicture(nullptr, path); });
    EXPECT_EQ(message, "그림 파일을 열 수 없습니다.\n" + path);
    EXPECT_TRUE(loaded.IsNull());
    EXPECT_FALSE(dialogShown);
}

TEST_F(OpenSizeDialogTest, OpenPictureReturnsTheChosenSize)
{
    const QString path = PictureFile(1000, 500);
    auto watcher = WhenOpen<COpenSizeDialog>([](COpenSizeDialog* dialog) {
        QTest::mouseClick(dialog->findChild<QRadioButton*>("choice3"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    const CBitmap loaded = COpenSizeDialog::OpenPicture(nullptr, path);
    EXPECT_EQ(loaded.Image().size(), QSize(320, 160));
    EXPECT_EQ(loaded.PixelFormat(), QImage::Format_ARGB32_Premultiplied);
}

TEST_F(OpenSizeDialogTest, FieldsAreNamedByTheirCaptions)
{
    EXPECT_EQ(Child<QComboBox>(QStringLiteral("otherSizes"))->accessibleName(), "기타 크기");
    EXPECT_EQ(AccessibleName(Child<CNumberEdit>(QStringLiteral("width"))), "가로크기");
    EXPECT_EQ(AccessibleName(Child<CNumberEdit>(QStringLiteral("height"))), "세로크기");
}

// ---- decoding in the background

TEST_F(OpenSizeDialogTest, WaitsForTheDecodeWithItsChoicesDisabledAndCancelDropsThePicture)
{
    Open(1000, 500);
    QTest::mouseClick(Child<QPushButton>("ok"), Qt::LeftButton);
    // The result arrives through the event loop, which has not run yet.
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_FALSE(Child<QRadioButton>("choice0")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>("ok")->isEnabled());
    ASSERT_TRUE(Child<QPushButton>("cancel")->isEnabled());
    QTest::mouseClick(Child<QPushButton>("cancel"), Qt::LeftButton);
    EXPECT_FALSE(dialog_.isVisible());
    QTest::qWait(200);
    EXPECT_TRUE(dialog_.TakeResult().IsNull());
    EXPECT_EQ(dialog_.result(), QDialog::Rejected);
    EXPECT_TRUE(Child<QPushButton>("ok")->isEnabled()) << "ready for another try";
}

TEST_F(OpenSizeDialogTest, PixelsThatCannotBeDecodedAreRefusedAfterOk)
{
    // The header is whole, so the dialog opens; the pixels are cut off.
    const QString path = PictureFile(400, 300);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() / 2));
    file.close();
    auto watcher = WhenOpen<COpenSizeDialog>([](COpenSizeDialog* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    CBitmap loaded;
    const QString message =
        MessageShownBy([&loaded, &path] { loaded = COpenSizeDialog::OpenPicture(nullptr, path); });
    EXPECT_EQ(message, "그림 파일을 열 수 없습니다.\n" + path);
    EXPECT_TRUE(loaded.IsNull());
}
