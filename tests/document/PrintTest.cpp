#include "CFrameCommands.h"
#include "CItemCanvas.h"
#include "CMainFrame.h"
#include "COpenSizeDialog.h"
#include "CPageSetupDialog.h"
#include "CPictureItem.h"
#include "CPicturePrinter.h"
#include "CPrivateScheduler.h"
#include "CommandIds.h"
#include "EditorViewTesting.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr double kMmPerInch = 25.4;
// Resolution the printed page is rendered at for measuring.
constexpr int kRenderDpi = 100;

// Writes a dark blue picture with a red square in its top-left corner, so a
// turn shows on paper, at the given resolution.
QString WriteMarkedPicture(const QTemporaryDir& folder, QSize size, double dpi)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 128));
    QPainter(&picture).fillRect(0, 0, size.width() / 4, size.height() / 4, Qt::red);
    picture.setDotsPerMeterX(qRound(dpi / kMmPerInch * 1000));
    picture.setDotsPerMeterY(qRound(dpi / kMmPerInch * 1000));
    const QString path = folder.filePath("marked.png");
    picture.save(path);
    return path;
}

// Where the picture and its red corner lie on a rendered page, in millimetres.
struct PrintedPicture
{
    QRectF picture;
    QRectF marker;
};

PrintedPicture Measure(const QImage& page)
{
    QRect picture;
    QRect marker;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor colour = page.pixelColor(x, y);
            const bool red = colour.red() > 200 && colour.green() < 80 && colour.blue() < 80;
            const bool blue = colour.blue() > 80 && colour.red() < 80 && colour.green() < 80;
            if (red || blue) {
                picture |= QRect(x, y, 1, 1);
            }
            if (red) {
                marker |= QRect(x, y, 1, 1);
            }
        }
    }
    const double mm = kMmPerInch / kRenderDpi;
    auto inMm = [mm](const QRect& r) {
        return QRectF(r.x() * mm, r.y() * mm, r.width() * mm, r.height() * mm);
    };
    return {inMm(picture), inMm(marker)};
}

// Renders the first page of a PostScript file with ghostscript.
QImage Render(const QString& postScript, const QString& png)
{
    QProcess gs;
    gs.start("gs", {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=png16m",
                    QStringLiteral("-r%1").arg(kRenderDpi), "-dFirstPage=1", "-dLastPage=1",
                    "-sOutputFile=" + png, postScript});
    gs.waitForFinished(60000);
    return QImage(png);
}

void ExpectNear(const QRectF& actual, const QRectF& expected, double tolerance)
{
    EXPECT_NEAR(actual.left(), expected.left(), tolerance);
    EXPECT_NEAR(actual.top(), expected.top(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

// The editor as the user has it: the main frame with its commands and the
// view with scripted questions, active so that Ctrl+P reaches the command.
class EditorPrintTest : public WidgetTest
{
protected:
    EditorPrintTest() : EditorPrintTest(nullptr) {}
    // With `prompter` the editor asks the user through it, else by script.
    explicit EditorPrintTest(CPrompter* prompter)
    {
        CPrompter& asks = prompter != nullptr ? *prompter : prompter_;
        frame_ = std::make_unique<CMainFrame>(settings_, asks);
        frame_->SetView(new COMRImageEditorView(document_, settings_, frame_.get(), asks));
        frame_->resize(1000, 750);
        frame_->show();
        frame_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    }

    void OpenPicture(const QString& path)
    {
        frame_->View()->OpenDocument(QFileInfo(path).absoluteFilePath());
        QCoreApplication::processEvents(); // the command rules run again
    }

    QAction* PrintAction() const { return frame_->Commands().Action(cmd::kFilePrint); }

    // Presses Ctrl+P; `act` handles the page setup dialog if one opens.
    // True when the dialog opened.
    bool PressPrint(const std::function<void(CPageSetupDialog*)>& act)
    {
        bool opened = false;
        auto watcher = WhenOpen<CPageSetupDialog>([&](CPageSetupDialog* dialog) {
            opened = true;
            act(dialog);
        });
        QTest::keyClick(frame_->View()->Widget(), Qt::Key_P, Qt::ControlModifier);
        return opened;
    }

    static void Click(CPageSetupDialog* dialog, const char* button)
    {
        QTest::mouseClick(dialog->findChild<QAbstractButton*>(button), Qt::LeftButton);
    }

    QTemporaryDir folder_;
    AppSettings settings_;
    COMRImageEditorDoc document_;
    CScriptedPrompter prompter_;
    std::unique_ptr<CMainFrame> frame_;
};

// Printing through a CUPS scheduler of the tests' own, started once for
// these tests and stopped after them.
class SchedulerPrintTest : public EditorPrintTest
{
protected:
    SchedulerPrintTest() = default;
    explicit SchedulerPrintTest(CPrompter* prompter) : EditorPrintTest(prompter) {}

    static void SetUpTestSuite()
    {
        scheduler_ = new CPrivateScheduler;
        if (!scheduler_->Start(&notRunning_)) {
            delete scheduler_;
            scheduler_ = nullptr;
        }
    }
    static void TearDownTestSuite()
    {
        delete scheduler_;
        scheduler_ = nullptr;
    }

    void SetUp() override
    {
        if (scheduler_ == nullptr) {
            GTEST_SKIP() << "No CUPS scheduler for the printing tests: "
                         << notRunning_.toStdString();
        }
    }
    void TearDown() override
    {
        if (scheduler_ != nullptr && !printer_.isEmpty()) {
            scheduler_->RemovePrinter(printer_);
        }
    }

    // A new default printer for this test, so each test has its own output.
    void AddDefaultPrinter(const char* name)
    {
        printer_ = QString::fromUtf8(name);
        ASSERT_TRUE(scheduler_->AddPrinter(printer_, true));
        ASSERT_EQ(QPrinterInfo::defaultPrinter().printerName(), printer_);
    }

    // The default printer's printable area on the paper, in millimetres.
    static QRectF PrintableArea()
    {
        const QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        return printer.pageLayout().paintRect(QPageLayout::Millimeter);
    }

    // Waits for the job, checks that the scheduler finished it under the name
    // "Test", and measures where the picture came out.
    PrintedPicture PrintedJob()
    {
        EXPECT_EQ(scheduler_->WaitForFinishedJobs(printer_, 1), QStringList{"Test"});
        const QString completed =
            CPrivateScheduler::Client("lpstat", {"-W", "completed", "-o", printer_});
        EXPECT_TRUE(completed.startsWith(printer_ + "-")) << completed.toStdString();
        const QImage page = Render(scheduler_->OutputOf(printer_), folder_.filePath("page.png"));
        EXPECT_FALSE(page.isNull());
        return Measure(page);
    }

    static CPrivateScheduler* scheduler_;
    static QString notRunning_;
    QString printer_;
};

CPrivateScheduler* SchedulerPrintTest::scheduler_ = nullptr;
QString SchedulerPrintTest::notRunning_;

// The editor asking through the program's own boxes and file dialogs.
class PdfPrintTest : public SchedulerPrintTest
{
protected:
    PdfPrintTest() : SchedulerPrintTest(&Dialogs()) {}
    static CDialogPrompter& Dialogs()
    {
        static CDialogPrompter dialogs;
        return dialogs;
    }

    // Opens a picture, answering the open-size dialog with its own size.
    void OpenAtItsOwnSize(const QString& path)
    {
        auto sized = WhenOpen<COpenSizeDialog>([](COpenSizeDialog* dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton);
        });
        OpenPicture(path);
        // Ctrl+P is the frame's once it is the active window again.
        frame_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    }

    // Presses Ctrl+P with no printer and answers the message box with
    // "PDF로 저장" or OK; the texts of the box's other buttons.
    QStringList PressPrintAnswering(bool savePdf)
    {
        QStringList others;
        auto box = WhenOpen<QMessageBox>([&others, savePdf](QMessageBox* shown) {
            EXPECT_EQ(shown->text(), "기본 프린터가 설치되어 있지 않습니다.");
            QAbstractButton* pdf = nullptr;
            for (QAbstractButton* button : shown->buttons()) {
                if (button->text() == "PDF로 저장") {
                    pdf = button;
                } else if (button != shown->button(QMessageBox::Ok)) {
                    others.append(button->text());
                }
            }
            EXPECT_NE(pdf, nullptr);
            QTest::mouseClick(savePdf && pdf != nullptr ? pdf : shown->button(QMessageBox::Ok),
                              Qt::LeftButton);
        });
        QTest::keyClick(frame_->View()->Widget(), Qt::Key_P, Qt::ControlModifier);
        return others;
    }
};

} // namespace

TEST_F(EditorPrintTest, PrintIsEnabledOnceAPictureIsOpen)
{
    EXPECT_FALSE(PrintAction()->isEnabled());
    EXPECT_EQ(PrintAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    OpenPicture(WriteMarkedPicture(folder_, {200, 100}, 96));
    EXPECT_TRUE(PrintAction()->isEnabled());
}

TEST(PictureResolutionTest, FileResolutionIsKeptAnd96WhenTheFileHasNone)
{
    QTemporaryDir folder;
    const CBitmap marked = CBitmap::FromFile(WriteMarkedPicture(folder, {40, 30}, 300));
    const QSizeF dpi = CPicturePrinter::ResolutionOf(marked.Image());
    EXPECT_NEAR(dpi.width(), 300, 0.02);
    EXPECT_NEAR(dpi.height(), 300, 0.02);

    // A BMP header naming no resolution.
    QImage plain(40, 30, QImage::Format_RGB32);
    plain.fill(Qt::gray);
    const QString bmp = folder.filePath("plain.bmp");
    ASSERT_TRUE(plain.save(bmp));
    QFile file(bmp);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(38); // biXPelsPerMeter, biYPelsPerMeter
    file.write(QByteArray(8, '\0'));
    file.close();
    EXPECT_EQ(CPicturePrinter::ResolutionOf(CBitmap::FromFile(bmp).Image()), QSizeF(96, 96));
    EXPECT_EQ(CPicturePrinter::ResolutionOf(QImage(5, 5, QImage::Format_RGB32)), QSizeF(96, 96));
}

TEST(PictureResolutionTest, CroppingTurningAndAppendingKeepTheResolution)
{
    QTemporaryDir folder;
    CItemCanvas canvas;
    canvas.AddPicture(CBitmap::FromFile(WriteMarkedPicture(folder, {80, 60}, 300)).Image(), 0, 0, 0,
                      0, 1.0f);
    auto base = [&canvas] {
        return CPicturePrinter::ResolutionOf(static_cast<CPictureItem*>(canvas.ItemAt(0))->Bitmap())
            .width();
    };
    canvas.TurnPicture(RotateFlipType::Rotate90FlipNone);
    EXPECT_NEAR(base(), 300, 0.02);
    ASSERT_NE(canvas.CutItem(0, 5, 5, 40, 30), nullptr);
    EXPECT_NEAR(base(), 300, 0.02);
    QImage added(10, 10, QImage::Format_RGB32);
    added.fill(Qt::green);
    ASSERT_TRUE(canvas.AppendPicture(0, added, CItemCanvas::Right, 2, Qt::white, false));
    EXPECT_NEAR(base(), 300, 0.02);
}

TEST_F(SchedulerPrintTest, WithoutADefaultPrinterOnlyTheMessageIsShown)
{
    // A printer that is not the default one is not used.
    printer_ = QStringLiteral("NotDefault");
    ASSERT_TRUE(scheduler_->AddPrinter(printer_, false));
    OpenPicture(WriteMarkedPicture(folder_, {200, 100}, 96));
    ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull());
    const QString jobs = CPrivateScheduler::Client("lpstat", {"-W", "all", "-o"});
    EXPECT_FALSE(PressPrint([](CPageSetupDialog* dialog) { dialog->reject(); }));
    EXPECT_EQ(prompter_.told, QStringList{"기본 프린터가 설치되어 있지 않습니다."});
    EXPECT_EQ(CPrivateScheduler::Client("lpstat", {"-W", "all", "-o"}), jobs);
}

TEST_F(PdfPrintTest, WithoutAPrinterThePageSetupLeadsToAChosenPdfFile)
{
    OpenAtItsOwnSize(WriteMarkedPicture(folder_, {600, 400}, 150));
    ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull());
    const QString pdf = folder_.filePath("page.pdf");
    bool placed = false;
    auto setup = WhenOpen<CPageSetupDialog>([&placed](CPageSetupDialog* dialog) {
        placed = true;
        Click(dialog, "print");
    });
    QString proposed;
    auto save = WhenOpen<QFileDialog>([&proposed, pdf](QFileDialog* dialog) {
        proposed = dialog->selectedFiles().value(0);
        dialog->selectFile(QFileInfo(pdf).absoluteFilePath().chopped(4)); // no suffix
        static_cast<QDialog*>(dialog)->accept();                          // as the save button does
    });
    EXPECT_EQ(PressPrintAnswering(true), QStringList()) << "OK and PDF로 저장 only";
    EXPECT_TRUE(placed);
    EXPECT_EQ(QFileInfo(proposed).fileName(), "marked.pdf");

    // One A4 page, the picture at its own size in the middle of the margins.
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5) == "%PDF-");
    const PrintedPicture printed = Measure(Render(pdf, folder_.filePath("pdf.png")));
    const QSizeF size(4 * kMmPerInch, 4 * kMmPerInch * 2 / 3);
    ExpectNear(printed.picture,
               QRectF(QPointF(105, 148.5) - QPointF(size.width(), size.height()) / 2, size), 1);
    EXPECT_NEAR(printed.marker.top(), printed.picture.top(), 1);
}

TEST_F(PdfPrintTest, OkOnTheMessageSavesNothing)
{
    OpenAtItsOwnSize(WriteMarkedPicture(folder_, {200, 100}, 96));
    auto never = WhenOpen<CPageSetupDialog>([](CPageSetupDialog* dialog) {
        ADD_FAILURE() << "the page setup opened";
        dialog->reject();
    });
    PressPrintAnswering(false);
    EXPECT_EQ(QDir(folder_.path()).entryList({"*.pdf"}), QStringList());
}

TEST_F(SchedulerPrintTest, CancelPrintsNothing)
{
    AddDefaultPrinter("Cancelled");
    OpenPicture(WriteMarkedPicture(folder_, {200, 100}, 96));
    EXPECT_TRUE(PressPrint([](CPageSetupDialog* dialog) { Click(dialog, "cancel"); }));
    EXPECT_TRUE(prompter_.told.isEmpty());
    EXPECT_EQ(CPrivateScheduler::Client("lpstat", {"-W", "all", "-o", printer_}).trimmed(), "");
}

TEST_F(SchedulerPrintTest, DefaultsPrintTheJobTestCentredAtNaturalSizeInPortrait)
{
    AddDefaultPrinter("Portrait");
    // 600 × 400 pixels at 150 dpi: 4 × 2⅔ inches.
    OpenPicture(WriteMarkedPicture(folder_, {600, 400}, 150));
    PagePlacement placed;
    EXPECT_TRUE(PressPrint([&placed](CPageSetupDialog* dialog) {
        placed = dialog->Placement().Result();
        Click(dialog, "print");
    }));
    EXPECT_TRUE(prompter_.told.isEmpty());
    const PrintedPicture printed = PrintedJob();

    const QRectF area = PrintableArea().adjusted(10, 10, -10, -10); // margins of 1 cm
    const QSizeF size(4 * kMmPerInch, 4 * kMmPerInch * 2 / 3);
    ExpectNear(printed.picture,
               QRectF(area.center() - QPointF(size.width(), size.height()) / 2, size), 2);
    // Upright: the red corner is at the top left.
    EXPECT_NEAR(printed.marker.topLeft().x(), printed.picture.left(), 1);
    EXPECT_NEAR(printed.marker.top(), printed.picture.top(), 1);
    EXPECT_NEAR(printed.marker.width(), size.width() / 4, 1);
    EXPECT_EQ(placed.orientation, 0);
}

TEST_F(SchedulerPrintTest, LandscapeLowerRightPrintsThePictureTurnedClockwise)
{
    AddDefaultPrinter("Landscape");
    OpenPicture(WriteMarkedPicture(folder_, {600, 400}, 150));
    EXPECT_TRUE(PressPrint([](CPageSetupDialog* dialog) {
        Click(dialog, "landscape");
        Click(dialog, "position8"); // ┛
        Click(dialog, "print");
    }));
    const PrintedPicture printed = PrintedJob();

    // The landscape sheet's lower right corner is the paper's lower left;
    // the picture's width runs down the paper.
    const QRectF area = PrintableArea().adjusted(10, 10, -10, -10);
    const QSizeF size(4 * kMmPerInch * 2 / 3, 4 * kMmPerInch);
    ExpectNear(printed.picture, QRectF(QPointF(area.left(), area.bottom() - size.height()), size),
               2);
    // Turned clockwise: the red corner is now at the top right.
    EXPECT_NEAR(printed.marker.right(), printed.picture.right(), 1);
    EXPECT_NEAR(printed.marker.top(), printed.picture.top(), 1);
}
