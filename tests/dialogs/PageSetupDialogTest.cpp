#include "CPageSetupDialog.h"
#include "CPageSetupPreview.h"
#include "DialogTesting.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr double kCmPerInch = 2.54;

// A4 at 600 dpi, printed edge to edge: the page a PDF printer reports.
PrinterPage A4At600Dpi()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    return PrinterPage::Of(printer);
}

// A page setup dialog for a picture of the given size and resolution on A4,
// with margins of 1 cm.
class PageSetupDialogTest : public WidgetTest
{
protected:
    void Open(QSize pixels, double dpi = 96)
    {
        QImage thumbnail(pixels.scaled(300, 300, Qt::KeepAspectRatio), QImage::Format_RGB32);
        thumbnail.fill(Qt::darkCyan);
        dialog_ = std::make_unique<CPageSetupDialog>(page_, PictureMetrics{pixels, {dpi, dpi}},
                                                     thumbnail, PageMargins{1, 1, 1, 1});
        dialog_->show();
    }

    template <typename T> T* Child(const QString& name) const
    {
        return dialog_->findChild<T*>(name);
    }
    QString Text(const char* field) const { return Child<QLineEdit>(field)->text(); }
    double Number(const char* field) const { return Text(field).toDouble(); }

    void TypeInto(const char* field, const QString& text)
    {
        auto* edit = Child<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    void Click(const QString& button)
    {
        QTest::mouseClick(Child<QAbstractButton>(button), Qt::LeftButton);
    }
    QString PrintRefusal()
    {
        return MessageShownBy([this] { Click("print"); });
    }

    const CPagePlacement& Placement() const { return dialog_->Placement(); }

    PrinterPage page_ = A4At600Dpi();
    std::unique_ptr<CPageSetupDialog> dialog_;
};

} // namespace

TEST_F(PageSetupDialogTest, PrinterPageComesFromTheDevice)
{
    // A4 is 595 × 842 points.
    EXPECT_NEAR(page_.printable.width(), 595 / 72.0 * 600, 1);
    EXPECT_NEAR(page_.printable.height(), 842 / 72.0 * 600, 1);
    EXPECT_NEAR(page_.paperCm.width(), 21.0, 0.02);
    EXPECT_NEAR(page_.paperCm.height(), 29.7, 0.02);
    EXPECT_DOUBLE_EQ(page_.printable.width() / page_.paperCm.width(), 600 / 2.54);
    EXPECT_EQ(page_.dpi, QSizeF(600, 600));
}

TEST_F(PageSetupDialogTest, SmallPictureOpensAtItsNaturalSizeCentredInPortrait)
{
    Open({600, 400});
    EXPECT_EQ(dialog_->windowTitle(), "페이지 설정");
    EXPECT_TRUE(Child<QRadioButton>("position4")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>("portrait")->isChecked());
    for (const char* margin : {"left", "right", "top", "bottom"}) {
        EXPECT_EQ(Text(margin), "1") << margin;
    }
    EXPECT_EQ(Text("size"), "100");
    // 600 pixels at 96 dpi are 6.25 inches.
    EXPECT_NEAR(Number("printedWidth"), 15.875, 0.02);
    EXPECT_NEAR(Number("printedHeight"), 10.583, 0.02);
    EXPECT_NEAR(Placement().NaturalCm().width(), 600 / 96.0 * kCmPerInch, 0.01);

    // The sheet is 300 pixels high, centred across the preview.
    const QSizeF paper = page_.paperCm;
    const QRectF sheet = Placement().Sheet();
    EXPECT_DOUBLE_EQ(sheet.height(), 300);
    EXPECT_NEAR(sheet.width(), 300 * paper.width() / paper.height(), 1e-9);
    EXPECT_NEAR(sheet.center().x(), 5 + 150, 1e-9);
    const double k = Placement().PixelsPerCm();
    EXPECT_NEAR(k, 300 / paper.height(), 1e-9);
    const QRectF area = Placement().PrintableArea();
    EXPECT_NEAR(area.left() - sheet.left(), k, 1e-9);
    EXPECT_NEAR(sheet.bottom() - area.bottom(), k, 1e-9);
    const QRectF box = Placement().Box();
    EXPECT_NEAR(box.center().x(), area.center().x(), 1e-9);
    EXPECT_NEAR(box.center().y(), area.center().y(), 1e-9);
    EXPECT_NEAR(box.width() / k, 15.875, 0.02);

    Click("print");
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    // On paper the box is 15.875 cm wide, centred between margins of 1 cm.
    const PagePlacement result = Placement().Result();
    const double mm = result.MillimetresPerPreviewPixel();
    EXPECT_EQ(result.orientation, 0);
    EXPECT_NEAR(result.box.width() * mm, 158.75, 0.2);
    EXPECT_NEAR(result.box.x() * mm, (210 - 158.75) / 2, 0.2);
    EXPECT_NEAR(result.box.center().y() * mm, 297 / 2.0, 0.2);
}

TEST_F(PageSetupDialogTest, LargePictureIsShrunkUntilItTouchesThePrintableArea)
{
    // 3000 × 1000 at 96 dpi is 79 cm wide: limited by its width.
    Open({3000, 1000});
    const QRectF area = Placement().PrintableArea();
    QRectF box = Placement().Box();
    EXPECT_NEAR(box.left(), area.left(), 1e-9);
    EXPECT_NEAR(box.right(), area.right(), 1e-9);
    EXPECT_LT(box.height(), area.height());
    const double expected = (page_.paperCm.width() - 2) / (3000 / 96.0 * kCmPerInch) * 100;
    EXPECT_NEAR(Placement().Size(), expected, 1e-9);
    EXPECT_EQ(Text("size"), QString::number(Placement().Size(), 'f', 2));
    EXPECT_NEAR(Number("printedWidth"), page_.paperCm.width() - 2, 0.006);

    // A tall picture is limited by its height.
    Open({1000, 5000}, 300);
    box = Placement().Box();
    EXPECT_NEAR(box.top(), area.top(), 1e-9);
    EXPECT_NEAR(box.bottom(), area.bottom(), 1e-9);
    EXPECT_NEAR(Number("printedHeight"), page_.paperCm.height() - 2, 0.006);
    EXPECT_NEAR(Number("printedWidth"), (page_.paperCm.height() - 2) / 5, 0.006);
}

TEST_F(PageSetupDialogTest, ResolutionOfThePictureSetsItsNaturalSize)
{
    Open({600, 300}, 300);
    EXPECT_EQ(Text("size"), "100");
    EXPECT_EQ(Text("printedWidth"), "5.08");
    EXPECT_EQ(Text("printedHeight"), "2.54");
}

TEST_F(PageSetupDialogTest, TypedSizeAndPrintedSizeFollowEachOther)
{
    Open({600, 400});
    const double width = Number("printedWidth");
    const double height = Number("printedHeight");
    TypeInto("size", "50");
    EXPECT_NEAR(Number("printedWidth"), width / 2, 0.01);
    EXPECT_NEAR(Number("printedHeight"), height / 2, 0.01);
    EXPECT_DOUBLE_EQ(Placement().Size(), 50);

    TypeInto("printedWidth", "3.175");
    EXPECT_NEAR(Number("size"), 20, 0.05);
    EXPECT_EQ(Text("printedWidth"), "3.175"); // the field being typed is left alone
    EXPECT_NEAR(Number("printedHeight"), height / 5, 0.01);

    TypeInto("printedHeight", "21.1667");
    EXPECT_NEAR(Number("size"), 200, 0.5);
    EXPECT_NEAR(Number("printedWidth"), width * 2, 0.05);
}

TEST_F(PageSetupDialogTest, PositionsPlaceTheBoxInsideThePrintableArea)
{
    Open({600, 400});
    Click("position8"); // ┛
    EXPECT_EQ(Child<QRadioButton>("position8")->text(), "┛");
    QRectF area = Placement().PrintableArea();
    QRectF box = Placement().Box();
    EXPECT_NEAR(box.right(), area.right(), 1e-9);
    EXPECT_NEAR(box.bottom(), area.bottom(), 1e-9);

    Click("position0"); // ┏
    box = Placement().Box();
    EXPECT_EQ(box.topLeft(), area.topLeft());

    Click("position5"); // ┫
    box = Placement().Box();
    EXPECT_NEAR(box.right(), area.right(), 1e-9);
    EXPECT_NEAR(box.center().y(), area.center().y(), 1e-9);

    // The arrow keys move through the grid as well.
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    Child<QRadioButton>("position5")->setFocus();
    QTest::keyClick(Child<QRadioButton>("position5"), Qt::Key_Up);
    EXPECT_TRUE(Child<QRadioButton>("position2")->isChecked());
    EXPECT_EQ(Placement().Position(), 2);

    // Margins change the area the position rule works in.
    Click("position8");
    TypeInto("right", "3");
    TypeInto("bottom", "4.5");
    area = Placement().PrintableArea();
    box = Placement().Box();
    const double k = Placement().PixelsPerCm();
    EXPECT_NEAR(Placement().Sheet().right() - box.right(), 3 * k, 1e-9);
    EXPECT_NEAR(Placement().Sheet().bottom() - box.bottom(), 4.5 * k, 1e-9);
}

TEST_F(PageSetupDialogTest, LandscapeTurnsTheSheetAndTheResultOntoPortraitPaper)
{
    Open({600, 400});
    Click("position8");
    Click("landscape");
    const QRectF sheet = Placement().Sheet();
    EXPECT_DOUBLE_EQ(sheet.width(), 300);
    EXPECT_NEAR(sheet.height(), 300 * page_.paperCm.width() / page_.paperCm.height(), 1e-9);
    EXPECT_EQ(Placement().SheetCm(), page_.paperCm.transposed());
    const QRectF area = Placement().PrintableArea();
    const QRectF box = Placement().Box();
    EXPECT_NEAR(box.right(), area.right(), 1e-9);
    EXPECT_NEAR(box.bottom(), area.bottom(), 1e-9);
    EXPECT_EQ(Text("size"), "100"); // the size stays

    Click("print");
    ASSERT_EQ(dialog_->result(), QDialog::Accepted);
    // The lower right corner of the landscape sheet is the lower left corner
    // of the portrait paper; the picture lies along the paper's height.
    const PagePlacement result = Placement().Result();
    const double mm = result.MillimetresPerPreviewPixel();
    EXPECT_EQ(result.orientation, 1);
    EXPECT_NEAR(result.box.x() * mm, 10, 0.3);
    EXPECT_NEAR(result.box.bottom() * mm, 297 - 10, 0.3);
    EXPECT_NEAR(result.box.width() * mm, 105.83, 0.3);
    EXPECT_NEAR(result.box.height() * mm, 158.75, 0.3);
}

TEST_F(PageSetupDialogTest, MarginsAndSizesThatCannotBePrintedAreRefused)
{
    Open({600, 400});
    // The PDF printer's A4 is 595 × 842 points: 20.99 × 29.71 cm.
    const struct
    {
        const char* field;
        const char* text;
        const char* message;
    } cases[] = {
        {"left", "-1", "왼쪽 여백은 0 부터 10.49 센치미터 미만의 숫자로 입력하십시오."},
        {"right", "10.5", "오른쪽 여백은 0 부터 10.49 센치미터 미만의 숫자로 입력하십시오."},
        {"bottom", "", "아래쪽 여백은 0 부터 14.85 센치미터 미만의 숫자로 입력하십시오."},
        {"size", "0", "크기는 0 보다 큰 숫자로 입력하십시오."},
        {"size", "-", "크기는 0 보다 큰 숫자로 입력하십시오."},
        {"printedHeight", "0", "출력 크기는 0 보다 큰 숫자로 입력하십시오."},
    };
    for (const auto& c : cases) {
        const QString before = Text(c.field);
        TypeInto(c.field, QString::fromUtf8(c.text));
        EXPECT_EQ(PrintRefusal(), QString::fromUtf8(c.message)) << c.field << " " << c.text;
        EXPECT_TRUE(dialog_->isVisible());
        EXPECT_EQ(dialog_->focusWidget(), Child<QLineEdit>(c.field)) << c.field;
        TypeInto(c.field, before);
    }
    // What could not be taken never reached the preview (the printed height
    // typed back is rounded).
    EXPECT_NEAR(Placement().Size(), 100, 0.05);
    EXPECT_DOUBLE_EQ(Placement().Margins().right, 1);

    // In landscape the sheet is 29.7 cm wide.
    Click("landscape");
    TypeInto("left", "14");
    EXPECT_EQ(PrintRefusal(), "");
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(Placement().Margins().left, 14);
}

TEST_F(PageSetupDialogTest, EveryControlHasANameAndTakesTheKeyboard)
{
    Open({600, 400});
    QList<QWidget*> controls;
    for (QAbstractButton* button : dialog_->findChildren<QAbstractButton*>()) {
        controls.append(button);
    }
    for (QLineEdit* field : dialog_->findChildren<QLineEdit*>()) {
        controls.append(field);
    }
    EXPECT_EQ(controls.size(), 9 + 2 + 2 + 4 + 3);
    for (QWidget* control : controls) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
            << control->objectName().toStdString();
        EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << control->objectName().toStdString();
    }
    EXPECT_EQ(Child<QPushButton>("print")->text(), "인  쇄");
    EXPECT_EQ(Child<QPushButton>("cancel")->text(), "취  소");
    auto* preview = Child<CPageSetupPreview>("preview");
    EXPECT_EQ(preview->accessibleName(), "미리 보기");
    EXPECT_EQ(preview->accessibleDescription(),
              "용지 21.0 × 29.7 센치미터, 그림 15.9 × 10.6 센치미터");
}

TEST(PagePlacementTest, PaperWiderThanTallKeepsOnePreviewPixelAtOneOverKCentimetres)
{
    // 20 × 10 cm at 254 dpi (100 pixels per cm).
    const PrinterPage page{QSize(2000, 1000), QSizeF(20, 10), QSizeF(254, 254)};
    CPagePlacement placement(page, {QSize(254, 254), QSizeF(254, 254)}, {0, 0, 0, 0});
    EXPECT_DOUBLE_EQ(placement.Sheet().width(), 300);
    EXPECT_DOUBLE_EQ(placement.PixelsPerCm(), 15);
    const PagePlacement result = placement.Result();
    EXPECT_NEAR(result.MillimetresPerPreviewPixel(), 10 / 15.0, 1e-9);
    // A one-inch picture prints one inch wide, centred.
    EXPECT_NEAR(result.box.width() * result.MillimetresPerPreviewPixel(), 25.4, 1e-6);
    EXPECT_NEAR(result.box.center().x() * result.MillimetresPerPreviewPixel(), 100, 1e-6);
}
