// The items page inside the editor's real frame and view: its rows and the
// item library's used tab name the canvas's layers after every command, and
// the opacity slider reaches the picture on screen and the saved file as
// pixvel-tool renders it.

#include "../frame/EditorWindowTesting.h"
#include "AppSettings.h"
#include "CAppendPictureDialog.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CItemBar.h"
#include "CItemCanvas.h"
#include "CItemLibraryPanel.h"
#include "CItemThumbnailList.h"
#include "CItemsPanel.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPictureItem.h"
#include "CTextItem.h"
#include "CommandIds.h"
#include "PanelTesting.h"

#include <QCheckBox>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <random>

namespace {

class ItemsPanelInFrameTest : public WidgetTest, protected CEditorWindow<>
{
protected:
    ItemsPanelInFrameTest()
    {
        ShowFrame({1000, 760});
        frame_.ApplyDefaultBarSizes();
    }
    ~ItemsPanelInFrameTest() override { CEditingState::Instance() = CEditingState(); }

    void Open(const QString& path)
    {
        prompter_.answers = {CPrompter::kNo}; // the old picture is not saved
        prompter_.openFiles = {path};
        frame_.RunCommand(cmd::kFileOpen);
    }
    void Place(const QString& path)
    {
        msg::ItemDropRequest request;
        request.entries.push_back({path, QImage()});
        frame_.Receive(msg::WithDrop(std::move(request)));
    }
    void ClickRow(int row)
    {
        QTableWidget* list = ItemsPanel()->List();
        const QRect cell = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QPoint OnPicture(QPointF at) const
    {
        return view_->PictureRect().topLeft() + at.toPoint() - view_->ScrollOffset();
    }

    // What the rows and the used tab should read: the canvas from the top.
    QStringList ExpectedRows() const
    {
        QStringList rows;
        for (int index = Canvas().Count() - 1; index >= 0; --index) {
            const auto* text = dynamic_cast<const CTextItem*>(Canvas().ItemAt(index));
            rows.append(text != nullptr ? text->Name() : CItemsPanel::RowName(Label(index)));
        }
        if (!rows.isEmpty()) {
            const QSize size =
                static_cast<const CPictureItem*>(Canvas().ItemAt(0))->Bitmap().size();
            rows.last() = QStringLiteral("(원본 %1×%2) %3")
                              .arg(size.width())
                              .arg(size.height())
                              .arg(rows.last());
        }
        return rows;
    }
    QStringList ExpectedUsed() const
    {
        QStringList used;
        for (int index = Canvas().Count() - 1; index >= 0; --index) {
            used.append(Label(index));
        }
        return used;
    }
    static QString Label(int index)
    {
        const auto* picture = dynamic_cast<const CPictureItem*>(Canvas().ItemAt(index));
        return picture != nullptr ? picture->SourceName() : QStringLiteral("문자열");
    }
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < ItemsPanel()->RowCount(); ++row) {
            rows.append(ItemsPanel()->RowText(row));
        }
        return rows;
    }
    QStringList Used() const { return frame_.ItemBar()->Library()->List()->UsedItems().Entries(); }
};

TEST_F(ItemsPanelInFrameTest, OpacityOfThePlacedStickerReachesScreenAndFileAsTheToolRendersIt)
{
    const QString photo = WritePicture("photo.png", {200, 150}, Qt::white);
    const QString a = WritePicture("a.png", {40, 30}, Qt::blue);
    const QString b = WritePicture("b.png", {30, 40}, Qt::red);
    Open(photo);
    Place(a);
    Place(b);
    EXPECT_EQ(Rows(), (QStringList{"b", "a", "(원본 200×150) photo"}));
    EXPECT_TRUE(ItemsPanel()->Marked(0));
    EXPECT_EQ(CEditingState::Instance().currentItem, Canvas().ItemAt(2));

    CValueSlider* slider = ItemsPanel()->Slider();
    ASSERT_TRUE(slider->isVisible());
    const QImage before = frame_.View()->Widget()->grab().toImage();
    const QImage composite = Canvas().Composite();
    DragThumb(slider, 40, false);
    // The thumb lands where the mouse is; the test wants 40 exactly.
    while (slider->Position() != 40) {
        const QPoint to =
            ThumbPoint(slider, slider->Position() + (slider->Position() < 40 ? 1 : -1));
        SendMouse(slider, QEvent::MouseMove, to);
    }
    QApplication::processEvents();
    EXPECT_EQ(Canvas().ItemAt(2)->Effects().opacity, 40);
    EXPECT_TRUE(Canvas().Composite() == composite) << "no full render while dragging";
    EXPECT_NE(frame_.View()->Widget()->grab().toImage(), before) << "but a preview";
    SendMouse(slider, QEvent::MouseButtonRelease, ThumbPoint(slider, 40));
    QApplication::processEvents();
    EXPECT_NE(frame_.View()->Widget()->grab().toImage(), before);

    const QString saved = folder_.filePath("saved.png");
    prompter_.saveFiles = {saved};
    frame_.RunCommand(cmd::kFileSaveAs);
    const auto place = [](const CItem* item) {
        const QRectF rect = item->Rect();
        return QStringLiteral("%1,%2,%3,%4")
            .arg(rect.center().x())
            .arg(rect.center().y())
            .arg(rect.width())
            .arg(rect.height());
    };
    const QString rendered = folder_.filePath("tool.png");
    QProcess tool;
    tool.start(QStringLiteral(PIXVEL_TOOL),
               {"render", photo, rendered, "--item", a + "@" + place(Canvas().ItemAt(1)), "--item",
                b + "@" + place(Canvas().ItemAt(2)), "--opacity", "40"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QFile mine(saved);
    QFile theirs(rendered);
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly) && theirs.open(QIODevice::ReadOnly));
    EXPECT_TRUE(mine.readAll() == theirs.readAll()) << "the saved file differs from pixvel-tool's";
    // Red at 40 % over the blue sticker under it.
    const QColor middle = QImage(saved).pixelColor(Canvas().ItemAt(2)->Rect().center().toPoint());
    EXPECT_EQ(middle, QColor(102, 0, 153));
}

// One random command of the view: what a user might do next.
enum Command
{
    kPlace,
    kPaste,
    kDeleteRow,
    kDeleteCommand,
    kDeleteSeveral,
    kOrder,
    kCropMerged,
    kAppendMerged,
    kNewPicture,
    kOpen,
    kCommandCount
};

TEST_F(ItemsPanelInFrameTest, RowsAndUsedTabNameTheCanvasLayersAfterEveryCommand)
{
    const QStringList stickers{WritePicture("a.png", {30, 30}, Qt::blue),
                               WritePicture("b.png", {20, 40}, Qt::red),
                               WritePicture("c.png", {40, 20}, Qt::green)};
    const QString photo = WritePicture("photo.png", {400, 300}, Qt::white);
    Open(photo);
    // Every message box (refusals, the base picture's) is answered at once.
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->accept();
        }
    });
    dismiss.start(5);

    std::mt19937 random(17);
    const auto pick = [&random](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };
    const int orders[] = {cmd::kToFront, cmd::kOneUp, cmd::kOneDown, cmd::kToBack};
    QStringList done;
    for (int step = 0; step < 30; ++step) {
        const auto command = Command(pick(kCommandCount));
        done.append(QString::number(command));
        prompter_.answers.clear();
        switch (command) {
        case kPlace:
            Place(stickers[pick(3)]);
            break;
        case kPaste:
            ClickRow(pick(ItemsPanel()->RowCount()));
            frame_.RunCommand(cmd::kCopyItem);
            frame_.RunCommand(cmd::kPasteItem);
            break;
        case kDeleteRow:
            ClickRow(pick(ItemsPanel()->RowCount()));
            QTest::keyClick(ItemsPanel()->List(), Qt::Key_Delete);
            break;
        case kDeleteCommand:
            ClickRow(pick(ItemsPanel()->RowCount()));
            frame_.RunCommand(cmd::kDeleteItem);
            break;
        case kDeleteSeveral: {
            msg::IndexList indexes;
            for (int n = pick(4); n >= 0; --n) {
                indexes.push_back(uint32_t(pick(Canvas().Count() + 1)));
            }
            frame_.Receive(msg::WithIndexes(msg::kDeleteItems, 0, indexes));
            break;
        }
        case kOrder:
            ClickRow(pick(ItemsPanel()->RowCount()));
            frame_.RunCommand(orders[pick(4)]);
            break;
        case kCropMerged:
            frame_.RunCommand(cmd::kCropPhone);
            QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, OnPicture({80, 60}));
            prompter_.answers = {CPrompter::kYes};
            frame_.RunCommand(cmd::kCrop);
            break;
        case kAppendMerged: {
            prompter_.openFiles = {stickers[pick(3)]};
            auto answer = WhenOpen<CAppendPictureDialog>([](CAppendPictureDialog* dialog) {
                dialog->findChild<QCheckBox*>("merge")->setChecked(true);
                dialog->accept();
            });
            frame_.RunCommand(cmd::kAppendPicture);
            break;
        }
        case kNewPicture:
            prompter_.answers = {CPrompter::kNo};
            prompter_.newPictures = {{QSize(120 + pick(100), 90), ColourRef(0xFFFFFF), "new"}};
            frame_.RunCommand(cmd::kFileNew);
            break;
        case kOpen:
            Open(photo);
            break;
        default:
            break;
        }
        QApplication::processEvents();
        const QString where = "after commands " + done.join(' ');
        ASSERT_EQ(Rows(), ExpectedRows()) << where.toStdString();
        ASSERT_EQ(Used(), ExpectedUsed()) << where.toStdString();
    }
    EXPECT_GE(QSet<QString>(done.begin(), done.end()).size(), 8) << "most commands were tried";
}

} // namespace
