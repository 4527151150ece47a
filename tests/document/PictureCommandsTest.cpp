// The picture commands of the view, end to end: the real view, canvas and
// dialogs, driven as a user drives them.
#include "CAppendPictureDialog.h"
#include "CColourButton.h"
#include "CColourPopup.h"
#include "CEditingState.h"
#include "CFontToolBar.h"
#include "CInsertPictureDialog.h"
#include "CPictureItem.h"
#include "CPlacementReceiver.h"
#include "CTextDialog.h"
#include "CTextItem.h"
#include "CTextStyleDialog.h"
#include "CommandIds.h"
#include "EditorViewTesting.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>

namespace {

class CPlacementRecorder : public CPlacementReceiver
{
public:
    void PictureOpened(const QString& path) override { opened.append(path); }
    void ItemPlaced(const QString& label) override { placed.append(label); }
    // A text is told by its name: marked apart from a path.
    void TextPlaced(const QString& name) override { placed.append("text:" + name); }

    QStringList opened;
    QStringList placed;
};

// Runs act on the dialog of type T once it is up, then presses its OK.
template <typename T> std::unique_ptr<QTimer> AnswerWithOk(std::function<void(T*)> act)
{
    return WhenOpen<T>([act](T* dialog) {
        act(dialog);
        QTest::mouseClick(dialog->template findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
}

// Types into a box of the font bar and ends the typing with Enter.
void EnterInto(QComboBox* box, const QString& text)
{
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
}

// "안녕하세요" in bold 36 point red, as a user writes it in the text dialog.
void WriteGreeting(CTextDialog* dialog)
{
    CommitText(dialog->TextBox(), QStringLiteral("안녕하세요"));
    CFontToolBar* bar = dialog->FontBar();
    QTest::mouseClick(bar->widgetForAction(bar->findChild<QAction*>("굵게")), Qt::LeftButton);
    EnterInto(bar->SizeBox(), "36");
    auto popup = WhenOpen<CColourPopup>([](CColourPopup* popup) {
        const QPoint red =
            CColourPopup::CellRect(8).center() + QPoint(CColourPopup::kFrame, CColourPopup::kFrame);
        QTest::mouseClick(popup, Qt::LeftButton, {}, red);
    });
    QTest::mouseClick(bar->ColourButton(), Qt::LeftButton);
}

class PictureCommandsTest : public EditorViewTest
{
protected:
    PictureCommandsTest() { view_->SetPlacementReceiver(&placements_); }

    // A 400 × 300 white picture at zoom 1, centred in the view.
    void OpenWhitePicture()
    {
        prompter_.openFiles.push_back(WritePicture("white.png", {400, 300}, Qt::white));
        view_->RunCommand(cmd::kFileOpen);
        ASSERT_EQ(view_->Zoom(), 1.0);
    }

    QPoint OnPicture(QPointF picture) const
    {
        return view_->PictureRect().topLeft() + picture.toPoint() - view_->ScrollOffset();
    }

    // Places text through the tool bar's text command and a click.
    void PlaceText(QPoint at, std::function<void(CTextDialog*)> write)
    {
        ASSERT_TRUE(view_->RunCommand(cmd::kNewText));
        auto dialog = AnswerWithOk<CTextDialog>(std::move(write));
        QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, OnPicture(at));
    }

    // Saves through Save As and reads the file back.
    QImage SaveAndRead(const QString& name)
    {
        const QString path = folder_.filePath(name);
        prompter_.saveFiles.push_back(path);
        view_->RunCommand(cmd::kFileSaveAs);
        return QImage(path).convertToFormat(QImage::Format_RGB32);
    }

    std::vector<unsigned> Sent() { return frame_.TakeIds(); }

    CTextItem* TextAt(int index) const { return dynamic_cast<CTextItem*>(Canvas().ItemAt(index)); }

    CPlacementRecorder placements_;
};

} // namespace

// ---- text

TEST_F(PictureCommandsTest, TextToolPlacesTextAtTheClickAndTellsBothBars)
{
    OpenWhitePicture();
    ASSERT_TRUE(view_->RunCommand(cmd::kNewText));
    EXPECT_TRUE(view_->CommandStatus(cmd::kNewText)->checked);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::IBeamCursor);
    ASSERT_TRUE(view_->RunCommand(cmd::kNewText)); // the command toggles
    EXPECT_FALSE(view_->CommandStatus(cmd::kNewText)->checked);

    frame_.sent.clear();
    QPointF position;
    PlaceText({20, 30}, [&position](CTextDialog* dialog) {
        EXPECT_EQ(dialog->GetMode(), CTextDialog::kNew);
        WriteGreeting(dialog);
    });
    ASSERT_EQ(Canvas().Count(), 2);
    CTextItem* text = TextAt(1);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text(), "안녕하세요");
    EXPECT_EQ(text->Label(), "문자열");
    EXPECT_EQ(text->Format().height, 720);
    EXPECT_EQ(text->Format().effects, CharFormat::kBold);
    EXPECT_EQ(text->Format().colour, MakeColourRef(255, 0, 0));
    CTextItem expected;
    expected.SetFormat(text->Format());
    expected.SetText(text->Text());
    expected.MakeOutline(QPointF(20, 30));
    EXPECT_EQ(text->Outline(), expected.Outline());
    EXPECT_EQ(placements_.placed, QStringList{"text:안녕하세요"});
    EXPECT_EQ(view_->SelectedIndex(), 1);
    EXPECT_EQ(CEditingState::Instance().currentItem, text);
    EXPECT_TRUE(document_.IsModified());
    EXPECT_FALSE(view_->CommandStatus(cmd::kNewText)->checked); // one text per click
    bool selected = false;
    for (const msg::Message& message : frame_.sent) {
        selected = selected || (message.id == msg::kSelectItems && message.indexes &&
                                message.indexes->back() == 1);
    }
    EXPECT_TRUE(selected);
    // The text is drawn in red on the picture.
    EXPECT_GT(
        Canvas().Composite().pixelColor(text->Outline().boundingRect().center().toPoint()).red(),
        0);
}

TEST_F(PictureCommandsTest, TextRefusalsAndCancelAddNothing)
{
    ASSERT_TRUE(view_->RunCommand(cmd::kNewText));
    EXPECT_EQ(refusals_, QStringList{"현재 편집할 이미지가 없습니다"});
    EXPECT_FALSE(view_->CommandStatus(cmd::kNewText)->checked);

    OpenWhitePicture();
    ASSERT_TRUE(view_->RunCommand(cmd::kNewText));
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, {10, 10});
    EXPECT_EQ(refusals_.last(), "이미지 영역 밖을 선택하였습니다. ");
    EXPECT_FALSE(view_->CommandStatus(cmd::kNewText)->checked);

    ASSERT_TRUE(view_->RunCommand(cmd::kNewText));
    auto cancel = WhenOpen<CTextDialog>([](CTextDialog* dialog) {
        CommitText(dialog->TextBox(), "never placed");
        dialog->reject();
    });
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, OnPicture({50, 50}));
    EXPECT_EQ(
        MessageShownBy([this] {
            PlaceText({60, 60}, [](CTextDialog* dialog) { CommitText(dialog->TextBox(), "   "); });
        }),
        "문자열을 입력하십시오.");
    EXPECT_EQ(Canvas().Count(), 1);
    EXPECT_TRUE(placements_.placed.isEmpty());
    EXPECT_FALSE(document_.IsModified());
}

TEST_F(PictureCommandsTest, CropModeEndsTextPlacementAndTextPlacementEndsCrop)
{
    OpenWhitePicture();
    ASSERT_TRUE(view_->RunCommand(cmd::kNewText));
    ASSERT_TRUE(view_->RunCommand(cmd::kCropFree));
    EXPECT_TRUE(view_->InCropMode());
    EXPECT_FALSE(view_->CommandStatus(cmd::kNewText)->checked);
    ASSERT_TRUE(view_->RunCommand(cmd::kNewText));
    EXPECT_FALSE(view_->InCropMode());
    EXPECT_TRUE(view_->CommandStatus(cmd::kNewText)->checked);
    QTest::keyClick(view_.get(), Qt::Key_Escape); // Esc leaves it too
    EXPECT_FALSE(view_->CommandStatus(cmd::kNewText)->checked);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PictureCommandsTest, OutlineChosenInTheTextDialogIsDrawnSavedAndUndone)
{
    OpenWhitePicture();
    PlaceText({40, 40}, [](CTextDialog* dialog) {
        CommitText(dialog->TextBox(), "Caption");
        EnterInto(dialog->FontBar()->SizeBox(), "48");
    });
    CTextItem* text = TextAt(1);
    ASSERT_NE(text, nullptr);
    const QImage plain = SaveAndRead("plain.png");

    // Edited: a red outline 4 pixels wide, chosen in the text dialog.
    auto edit = AnswerWithOk<CTextDialog>([](CTextDialog* dialog) {
        CFontToolBar* bar = dialog->FontBar();
        auto outline = AnswerWithOk<CTextStyleDialog>([](CTextStyleDialog* style) {
            auto popup = WhenOpen<CColourPopup>([](CColourPopup* popup) {
                const QPoint red = CColourPopup::CellRect(8).center() +
                                   QPoint(CColourPopup::kFrame, CColourPopup::kFrame);
                QTest::mouseClick(popup, Qt::LeftButton, {}, red);
            });
            QTest::mouseClick(style->ColourButton(), Qt::LeftButton);
            style->Fields()[0]->setFocus();
            style->Fields()[0]->selectAll();
            QTest::keyClicks(style->Fields()[0], "4");
        });
        QTest::mouseClick(bar->widgetForAction(bar->DecorationAction(CTextStyleDialog::kOutline)),
                          Qt::LeftButton);
    });
    ASSERT_TRUE(view_->RunCommand(cmd::kEditText));
    EXPECT_EQ(text->Decoration().outline, (TextOutline{true, MakeColourRef(255, 0, 0), 4}));
    // Red round the letters, and only there.
    const QImage outlined = SaveAndRead("outlined.png");
    int red = 0;
    for (int y = 0; y < outlined.height(); ++y) {
        for (int x = 0; x < outlined.width(); ++x) {
            if (outlined.pixel(x, y) == 0xFFFF0000) {
                ++red;
                ASSERT_GT(qGray(plain.pixel(x, y)), 200) << x << "," << y; // not on a letter
            }
        }
    }
    EXPECT_GT(red, 300);

    // One undo step takes the outline away, redo brings it back.
    ASSERT_TRUE(view_->RunCommand(cmd::kUndo));
    EXPECT_FALSE(TextAt(1)->Decoration().outline.on);
    EXPECT_EQ(SaveAndRead("undone.png"), plain);
    ASSERT_TRUE(view_->RunCommand(cmd::kRedo));
    EXPECT_TRUE(TextAt(1)->Decoration().outline.on);
    EXPECT_EQ(SaveAndRead("redone.png"), outlined);
}

TEST_F(PictureCommandsTest, DoubleClickOnTheSelectedTextEditsItInPlace)
{
    OpenWhitePicture();
    PlaceText({40, 40}, [](CTextDialog* dialog) { CommitText(dialog->TextBox(), "Hello"); });
    CTextItem* text = TextAt(1);
    ASSERT_NE(text, nullptr);
    const QPoint on =
        (text->Outline().boundingRect().center() + view_->PictureRect().topLeft()).toPoint();
    document_.SetModifiedFlag(false);
    frame_.sent.clear();
    auto edit = AnswerWithOk<CTextDialog>([](CTextDialog* dialog) {
        EXPECT_EQ(dialog->GetMode(), CTextDialog::kEdit);
        EXPECT_EQ(dialog->TextBox()->toPlainText(), "Hello");
        dialog->TextBox()->selectAll();
        CommitText(dialog->TextBox(), "Hello, world");
    });
    QTest::mouseDClick(Viewport(), Qt::LeftButton, Qt::NoModifier, on);
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_EQ(TextAt(1), text);
    EXPECT_EQ(text->Text(), "Hello, world");
    EXPECT_TRUE(document_.IsModified());
    // The lists hear the picture again, the text by its new first line.
    EXPECT_EQ(placements_.placed, QStringList({"text:Hello", "text:Hello, world"}));
    EXPECT_EQ(view_->SelectedIndex(), 1);

    // The edit command does the same for the current item.
    EXPECT_TRUE(view_->CommandStatus(cmd::kEditText)->enabled);
    auto again = AnswerWithOk<CTextDialog>([](CTextDialog* dialog) {
        dialog->TextBox()->selectAll();
        CommitText(dialog->TextBox(), "Bye");
    });
    ASSERT_TRUE(view_->RunCommand(cmd::kEditText));
    EXPECT_EQ(text->Text(), "Bye");
}

TEST_F(PictureCommandsTest, EditTextIsOnlyForTextItems)
{
    OpenWhitePicture();
    DropItem({40, 40}, OnPicture({200, 150}));
    EXPECT_FALSE(view_->CommandStatus(cmd::kEditText)->enabled);
    auto never = WhenOpen<CTextDialog>([](CTextDialog* dialog) {
        ADD_FAILURE() << "the text dialog opened for a picture item";
        dialog->reject();
    });
    QTest::mouseDClick(Viewport(), Qt::LeftButton, Qt::NoModifier, OnPicture({200, 150}));
    EXPECT_TRUE(view_->RunCommand(cmd::kEditText));
}

TEST_F(PictureCommandsTest, EditorAndToolDrawTheSameText)
{
    OpenWhitePicture();
    PlaceText({20, 30}, WriteGreeting);
    ASSERT_EQ(Canvas().Count(), 2);
    const QImage editor = SaveAndRead("editor.png");

    const QString tool = folder_.filePath("tool.png");
    QProcess process;
    process.start(PIXVEL_TOOL,
                  {"render", folder_.filePath("white.png"), tool, "--text", "안녕하세요@20,30",
                   "--size", "36", "--bold", "--color", "#ff0000"});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage drawn = QImage(tool).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(editor.size(), drawn.size());
    EXPECT_TRUE(editor == drawn);
    int red = 0;
    for (int y = 0; y < editor.height(); ++y) {
        for (int x = 0; x < editor.width(); ++x) {
            red += editor.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(red, 1000); // the Korean glyphs are drawn, not empty boxes
}

// ---- insert and append

TEST_F(PictureCommandsTest, InsertPlacesTheFileAtTheChosenShareOfThePicture)
{
    OpenWhitePicture();
    const QString path = WritePicture("strip.png", {100, 50}, Qt::blue);
    prompter_.openFiles.push_back(path);
    auto dialog = AnswerWithOk<CInsertPictureDialog>([](CInsertPictureDialog* dialog) {
        auto* fits = dialog->findChild<QComboBox*>("fits");
        fits->setCurrentIndex(fits->findText("배경이미지의 50%"));
    });
    frame_.sent.clear();
    ASSERT_TRUE(view_->RunCommand(cmd::kInsertPicture));
    ASSERT_EQ(Canvas().Count(), 2);
    // Box 200 × 150; the 2:1 picture fills its width, centred on the picture.
    EXPECT_EQ(ItemBounds(1), QRectF(100, 100, 200, 100));
    EXPECT_EQ(placements_.placed, QStringList{path});
    EXPECT_EQ(view_->SelectedIndex(), 1);
    EXPECT_TRUE(document_.IsModified());
    ASSERT_FALSE(frame_.sent.empty());
    EXPECT_EQ(frame_.sent.front().id, msg::kPlaceItems);
    EXPECT_EQ(frame_.sent.front().wparam, 1);
}

TEST_F(PictureCommandsTest, InsertAtACustomSizeOrTheSourceSize)
{
    OpenWhitePicture();
    QImage pattern(100, 50, QImage::Format_RGB32);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 100; ++x) {
            pattern.setPixel(x, y, qRgb(x * 2, y * 5, (x + y) % 256));
        }
    }
    pattern.save(folder_.filePath("b.png"));
    prompter_.openFiles = {WritePicture("a.png", {100, 50}), folder_.filePath("b.png")};
    auto custom = AnswerWithOk<CInsertPictureDialog>([](CInsertPictureDialog* dialog) {
        QTest::mouseClick(dialog->findChild<QRadioButton*>("choice1"), Qt::LeftButton, {},
                          QPoint(6, 6));
        auto* width = dialog->findChild<QLineEdit*>("width");
        width->selectAll();
        QTest::keyClicks(width, "60"); // linked: height 30
    });
    ASSERT_TRUE(view_->RunCommand(cmd::kInsertPicture));
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_EQ(Canvas().ItemAt(1)->Size(), QSizeF(60, 30));
    // Custom mode with the size untouched: the picture as the file holds it.
    auto source = AnswerWithOk<CInsertPictureDialog>([](CInsertPictureDialog* dialog) {
        QTest::mouseClick(dialog->findChild<QRadioButton*>("choice1"), Qt::LeftButton, {},
                          QPoint(6, 6));
    });
    ASSERT_TRUE(view_->RunCommand(cmd::kInsertPicture));
    ASSERT_EQ(Canvas().Count(), 3);
    const auto* placed = dynamic_cast<const CPictureItem*>(Canvas().ItemAt(2));
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->Bitmap().convertToFormat(QImage::Format_RGB32),
              QImage(folder_.filePath("b.png")).convertToFormat(QImage::Format_RGB32));
}

TEST_F(PictureCommandsTest, InsertAndAppendAskForPicturesOnly)
{
    OpenWhitePicture();
    EXPECT_EQ(prompter_.pictureFileAsks, 0) << "File Open offers projects too";
    prompter_.openFiles = {QString(), QString()}; // both dialogs cancelled
    ASSERT_TRUE(view_->RunCommand(cmd::kInsertPicture));
    ASSERT_TRUE(view_->RunCommand(cmd::kAppendPicture));
    EXPECT_EQ(prompter_.pictureFileAsks, 2);
}

// The file dialogs of the program: File Open offers pictures and projects,
// the picture dialog of insert and append pictures only.
TEST(PictureFileDialogTest, OnlyFileOpenOffersProjects)
{
    EnsureApplication();
    CDialogPrompter prompter;
    const auto filtersOf = [](const std::function<QString()>& ask) {
        QStringList filters;
        auto watcher = WhenOpen<QFileDialog>([&filters](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            dialog->reject();
        });
        EXPECT_TRUE(ask().isEmpty());
        return filters;
    };
    const QStringList open = filtersOf([&prompter] { return prompter.OpenFileName(nullptr); });
    const QStringList pictures =
        filtersOf([&prompter] { return prompter.PictureFileName(nullptr); });
    EXPECT_TRUE(open.join(' ').contains("*.pixvel"));
    ASSERT_FALSE(pictures.isEmpty());
    EXPECT_FALSE(pictures.join(' ').contains("pixvel"));
    EXPECT_TRUE(pictures.first().contains("*.png"));
}

TEST_F(PictureCommandsTest, AFileThatIsNoPictureIsRefusedBeforeAnyDialog)
{
    OpenWhitePicture();
    QFile bad(folder_.filePath("notes.png"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    auto never = WhenOpen<QDialog>([](QDialog* dialog) {
        ADD_FAILURE() << "a dialog opened: " << dialog->windowTitle().toStdString();
        dialog->reject();
    });
    for (const int command : {cmd::kInsertPicture, cmd::kAppendPicture}) {
        prompter_.openFiles.push_back(bad.fileName());
        ASSERT_TRUE(view_->RunCommand(command));
    }
    ASSERT_EQ(refusals_.size(), 2);
    EXPECT_TRUE(refusals_[0].startsWith("그림 파일을 열 수 없습니다."));
    EXPECT_EQ(Canvas().Count(), 1);
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(400, 300));
    EXPECT_FALSE(document_.IsModified());
}

TEST_F(PictureCommandsTest, AppendBelowWithAGapGrowsTheSavedPicture)
{
    OpenWhitePicture();
    prompter_.openFiles.push_back(WritePicture("below.png", {100, 50}, Qt::blue));
    auto dialog = AnswerWithOk<CAppendPictureDialog>([](CAppendPictureDialog* dialog) {
        auto* gap = dialog->findChild<QLineEdit*>("gap");
        gap->selectAll();
        QTest::keyClicks(gap, "10");
        auto popup = WhenOpen<CColourPopup>([](CColourPopup* popup) {
            const QPoint green = CColourPopup::CellRect(26).center() +
                                 QPoint(CColourPopup::kFrame, CColourPopup::kFrame);
            QTest::mouseClick(popup, Qt::LeftButton, {}, green);
        });
        QTest::mouseClick(dialog->findChild<CColourButton*>("gapColour"), Qt::LeftButton);
    });
    frame_.sent.clear();
    ASSERT_TRUE(view_->RunCommand(cmd::kAppendPicture));
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(400, 510));
    EXPECT_EQ(view_->PictureRect().size(), QSize(400, 510));
    EXPECT_TRUE(document_.IsModified());
    ASSERT_FALSE(frame_.sent.empty());
    EXPECT_EQ(frame_.sent.back().id, msg::kBaseSize);
    EXPECT_EQ(frame_.sent.back().lparam, msg::MakeLong(400, 510));

    const QImage saved = SaveAndRead("joined.png");
    ASSERT_EQ(saved.size(), QSize(400, 510));
    for (const int x : {0, 200, 399}) {
        EXPECT_EQ(saved.pixel(x, 299), qRgb(255, 255, 255)) << x;
        EXPECT_EQ(saved.pixel(x, 300), qRgb(0, 255, 0)) << x; // the gap
        EXPECT_EQ(saved.pixel(x, 309), qRgb(0, 255, 0)) << x;
        EXPECT_EQ(saved.pixel(x, 311), qRgb(0, 0, 255)) << x; // 400 × 200 appended
        EXPECT_EQ(saved.pixel(x, 509), qRgb(0, 0, 255)) << x;
    }
}

TEST_F(PictureCommandsTest, AppendWithMergeDrawsTheItemsInAndRemovesThem)
{
    OpenWhitePicture();
    DropItem({40, 40}, OnPicture({200, 150}), Qt::red);
    prompter_.openFiles.push_back(WritePicture("left.png", {30, 300}, Qt::blue));
    auto dialog = AnswerWithOk<CAppendPictureDialog>([](CAppendPictureDialog* dialog) {
        QTest::mouseClick(dialog->findChild<QRadioButton*>("choice2"), Qt::LeftButton, {},
                          QPoint(6, 6));
        QTest::mouseClick(dialog->findChild<QCheckBox*>("merge"), Qt::LeftButton, {}, QPoint(6, 6));
    });
    frame_.sent.clear();
    ASSERT_TRUE(view_->RunCommand(cmd::kAppendPicture));
    EXPECT_EQ(Canvas().Count(), 1);
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(430, 300));
    bool deleted = false;
    for (const msg::Message& message : frame_.sent) {
        deleted = deleted || (message.id == msg::kDeleteItems && message.indexes &&
                              *message.indexes == msg::IndexList{1});
    }
    EXPECT_TRUE(deleted);
    EXPECT_EQ(CEditingState::Instance().currentItem, Canvas().ItemAt(0));
    // The item moved with the picture and is now part of it.
    EXPECT_EQ(Canvas().Composite().pixel(230, 150), qRgb(255, 0, 0));
    EXPECT_EQ(Canvas().Composite().pixel(10, 150), qRgb(0, 0, 255));
}

TEST_F(PictureCommandsTest, AppendWithoutMergeMovesTheItemsWithThePicture)
{
    OpenWhitePicture();
    DropItem({40, 40}, OnPicture({200, 150}));
    prompter_.openFiles.push_back(WritePicture("above.png", {400, 100}, Qt::blue));
    auto dialog = AnswerWithOk<CAppendPictureDialog>([](CAppendPictureDialog* dialog) {
        QTest::mouseClick(dialog->findChild<QRadioButton*>("choice0"), Qt::LeftButton, {},
                          QPoint(6, 6));
    });
    ASSERT_TRUE(view_->RunCommand(cmd::kAppendPicture));
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(400, 400));
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_EQ(ItemBounds(1), QRectF(180, 230, 40, 40));
}

// ---- the other flows once more

TEST_F(PictureCommandsTest, TurningAnItemOrThePicture)
{
    OpenWhitePicture();
    DropItem({100, 50}, OnPicture({100, 100}));
    ASSERT_EQ(view_->SelectedIndex(), 1);
    ASSERT_TRUE(view_->RunCommand(cmd::kRotateRight));
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(400, 300));
    EXPECT_EQ(ItemBounds(1), QRectF(75, 50, 50, 100)); // about its own centre
    ASSERT_TRUE(view_->RunCommand(cmd::kMirrorLeftRight));
    EXPECT_EQ(ItemBounds(1), QRectF(75, 50, 50, 100));

    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, OnPicture({350, 250}));
    ASSERT_EQ(view_->SelectedIndex(), 0);
    ASSERT_TRUE(view_->RunCommand(cmd::kRotateLeft));
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(300, 400));
    EXPECT_EQ(ItemBounds(1), QRectF(50, 275, 100, 50)); // kept its place on the picture
    ASSERT_TRUE(view_->RunCommand(cmd::kMirrorTopBottom));
    EXPECT_EQ(ItemBounds(1), QRectF(50, 75, 100, 50));
    EXPECT_TRUE(document_.IsModified());
}

TEST_F(PictureCommandsTest, CropOfAPresetAnsweringYesMergesTheItems)
{
    OpenWhitePicture();
    DropItem({20, 20}, OnPicture({50, 50}), Qt::red);
    ASSERT_TRUE(view_->RunCommand(cmd::kCropPhone));
    // The preset is placed centred on the click.
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, OnPicture({80, 60}));
    prompter_.answers.push_back(CPrompter::kCancel);
    ASSERT_TRUE(view_->RunCommand(cmd::kCrop));
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(400, 300)); // cancelled: nothing changes
    EXPECT_EQ(Canvas().Count(), 2);
    prompter_.answers.push_back(CPrompter::kYes);
    ASSERT_TRUE(view_->RunCommand(cmd::kCrop));
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(160, 120));
    EXPECT_EQ(Canvas().Count(), 1);
    EXPECT_EQ(Canvas().Composite().pixel(50, 50), qRgb(255, 0, 0));
}

TEST_F(PictureCommandsTest, CopiesPastesAndDrops)
{
    OpenWhitePicture();
    DropItem({40, 20}, OnPicture({100, 100}));
    EXPECT_EQ(placements_.placed, QStringList{"item.png"});
    QTest::keyClick(view_.get(), Qt::Key_C, Qt::ControlModifier);
    // The base picture cannot be copied and the earlier copy stays.
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, OnPicture({300, 250}));
    QTest::keyClick(view_.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(refusals_, QStringList{"원본 이미지는 복사할 수 없습니다."});
    // Pasted with its top-left at the right-click.
    QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, OnPicture({250, 200}));
    ASSERT_TRUE(view_->RunCommand(cmd::kPasteItem));
    ASSERT_EQ(Canvas().Count(), 3);
    EXPECT_EQ(ItemBounds(2), QRectF(250, 200, 40, 20));
    EXPECT_EQ(placements_.placed, QStringList({"item.png", "item.png"}));

    // A dropped item outside the picture is refused and adds nothing.
    DropItem({10, 10}, OnPicture({-20, 10}));
    EXPECT_EQ(refusals_.last(), "아이템이 놓일 위치가 기본 이미지 영역 밖에 있습니다.");
    EXPECT_EQ(Canvas().Count(), 3);

    // A pasted text item is told by its text.
    PlaceText({10, 10}, [](CTextDialog* dialog) { CommitText(dialog->TextBox(), "T"); });
    QTest::keyClick(view_.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(view_.get(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Canvas().Count(), 5);
    EXPECT_EQ(placements_.placed.last(), "text:T");
}
