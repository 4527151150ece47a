#include "CImageToolBar.h"
#include "CItemBar.h"
#include "CLogoControl.h"
#include "CommandIds.h"
#include "FrameTesting.h"

#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class MainFrameTest : public FrameTest
{
protected:
    // The item menu request the view sends on a right click.
    void RightClickOn(msg::IndexList indexes)
    {
        frame_->Receive(msg::WithIndexes(msg::kContextMenu, 0, std::move(indexes)));
        frame_->ItemMenu()->close();
    }

    QStringList& messages_ = prompter_.told;
};

TEST_F(MainFrameTest, ItemMenuRequestKeepsTheIndexesAndShowsTheMenu)
{
    frame_->Receive(msg::WithIndexes(msg::kContextMenu, 0, {2}));
    EXPECT_EQ(frame_->ContextIndexes(), msg::IndexList{2});
    EXPECT_TRUE(frame_->ItemMenu()->isVisible());
    frame_->ItemMenu()->close();
    EXPECT_TRUE(log_.empty());
}

TEST_F(MainFrameTest, DeletingTheBaseIsRefusedAndSendsAnEmptyList)
{
    RightClickOn({0});
    EXPECT_TRUE(frame_->RunCommand(cmd::kDeleteItem));
    EXPECT_EQ(messages_, QStringList{"원본이미지는 삭제할 수 없습니다."});
    ASSERT_EQ(Delivered(), (std::vector<std::string>{"toolbar", "itembar", "view"}));
    for (const auto& [name, message] : log_) {
        EXPECT_EQ(message.id, msg::kDeleteItems);
        ASSERT_TRUE(message.indexes.has_value());
        EXPECT_TRUE(message.indexes->empty()) << name;
    }
}

TEST_F(MainFrameTest, DeleteSendsTheItemsWithoutTheBase)
{
    view_->itemCount = 4;
    RightClickOn({0, 3});
    frame_->RunCommand(cmd::kDeleteItem);
    EXPECT_EQ(messages_.size(), 1);
    ASSERT_EQ(log_.size(), 3u);
    EXPECT_EQ(log_[2].second.indexes, msg::IndexList{3});

    // The indexes went with the request: a second delete sends nothing of them.
    log_.clear();
    frame_->RunCommand(cmd::kDeleteItem);
    EXPECT_EQ(log_[2].second.indexes, msg::IndexList{});
}

TEST_F(MainFrameTest, ZOrderCommandsSendFromAndTo)
{
    view_->itemCount = 5; // base and items 1..4
    const std::pair<int, msg::IndexList> cases[] = {
        {cmd::kToBack, {3, 1}},
        {cmd::kToFront, {3, 4}},
        {cmd::kOneUp, {3, 4}},
        {cmd::kOneDown, {3, 2}},
    };
    for (const auto& [command, expected] : cases) {
        log_.clear();
        RightClickOn({3});
        frame_->RunCommand(command);
        ASSERT_EQ(Delivered(), (std::vector<std::string>{"view", "itembar", "toolbar"})) << command;
        EXPECT_EQ(log_[0].second.id, msg::kMoveItem);
        EXPECT_EQ(log_[0].second.indexes, expected) << command;
    }
}

TEST_F(MainFrameTest, ZOrderNeverLeavesTheItemRange)
{
    view_->itemCount = 5;
    const std::pair<int, msg::IndexList> refused[] = {
        {cmd::kOneUp, {4}},   // already on top
        {cmd::kOneDown, {1}}, // would go under the base picture
        {cmd::kToBack, {1}},  // already just above the base
        {cmd::kToFront, {0}}, // the base picture never moves
        {cmd::kToBack, {7}},  // no such item
    };
    for (const auto& [command, indexes] : refused) {
        RightClickOn(indexes);
        frame_->RunCommand(command);
    }
    frame_->RunCommand(cmd::kToBack); // no request before it
    EXPECT_TRUE(log_.empty());
}

TEST_F(MainFrameTest, HelpAndLogoOpenTheServicePages)
{
    frame_->RunCommand(cmd::kHelp);
    frame_->Receive(msg::Make(CMainFrame::LogoClickMessage()));
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_EQ(opened_[0], QUrl("http://items.example:8080/pixvel/help.html"));
    EXPECT_EQ(opened_[1], QUrl("http://items.example:8080/pixvel/item_mall.html"));

    // Without an update address there is no site to open.
    settings_.infoUrl.clear();
    frame_->RunCommand(cmd::kHelp);
    EXPECT_EQ(opened_.size(), 2u);
}

TEST_F(MainFrameTest, ABrowserThatCannotStartIsReportedWithTheAddressToCopy)
{
    browserStarts_ = false;
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
    QString told;
    QString copied;
    const auto answer = [&told, &copied](QMessageBox* box) {
        told = box->text();
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (label->text().startsWith("http")) {
                label->setFocus();
                QTest::keyClick(label, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(label, Qt::Key_C, Qt::ControlModifier);
                copied = QApplication::clipboard()->text();
            }
        }
        box->accept();
    };
    auto* logo = frame_->ToolBar()->findChild<CLogoControl*>();
    ASSERT_NE(logo, nullptr);
    {
        auto watcher = WhenOpen<QMessageBox>(answer);
        QTest::mouseClick(logo, Qt::LeftButton);
    }
    EXPECT_EQ(told, "웹 브라우저를 열 수 없습니다.");
    EXPECT_EQ(copied, "http://items.example:8080/pixvel/item_mall.html");

    told.clear();
    {
        auto watcher = WhenOpen<QMessageBox>(answer);
        frame_->Commands().Action(cmd::kHelp)->trigger();
    }
    EXPECT_EQ(told, "웹 브라우저를 열 수 없습니다.");
    EXPECT_EQ(copied, "http://items.example:8080/pixvel/help.html");
    EXPECT_EQ(opened_.size(), 2u);
}

TEST_F(MainFrameTest, ViewMenuShowsAndHidesTheBars)
{
    frame_->show();
    frame_->UpdateCommands();
    QAction* tools = frame_->Commands().Action(cmd::kViewImageToolBar);
    EXPECT_TRUE(tools->isChecked());
    tools->trigger();
    EXPECT_TRUE(frame_->ImageToolBar()->isHidden());
    EXPECT_FALSE(tools->isChecked());
    tools->trigger();
    EXPECT_TRUE(frame_->ImageToolBar()->isVisible());
    EXPECT_TRUE(tools->isChecked());

    frame_->RunCommand(cmd::kViewItemBar);
    frame_->UpdateCommands();
    EXPECT_TRUE(frame_->ItemBar()->isHidden());
    EXPECT_FALSE(frame_->Commands().Action(cmd::kViewItemBar)->isChecked());
    // The dock areas offer no menu of their own to hide the bars.
    EXPECT_EQ(frame_->createPopupMenu(), nullptr);
}

TEST_F(MainFrameTest, StatusBarStartsHiddenAndFontsArriveAfterStart)
{
    frame_->show();
    EXPECT_TRUE(frame_->statusBar()->isHidden());
    EXPECT_FALSE(frame_->Commands().Action(cmd::kViewStatusBar)->isChecked());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !frame_->FontNames().isEmpty(); }, 2000));
}

TEST_F(MainFrameTest, CommandsGoToTheViewFirstAndUnhandledOnesAreDisabled)
{
    view_->handled = {cmd::kRotateRight, cmd::kInsertMenu};
    frame_->UpdateCommands();
    EXPECT_TRUE(frame_->RunCommand(cmd::kRotateRight));
    EXPECT_EQ(view_->commands, std::vector<int>{cmd::kRotateRight});

    // Cut and the pane keys have no handler (nor, here, undo): their keys
    // do nothing.
    for (const int id : {cmd::kUndo, cmd::kRedo, cmd::kCut, cmd::kNextPane, cmd::kFileSaveAs}) {
        EXPECT_FALSE(frame_->Commands().Action(id)->isEnabled()) << id;
        EXPECT_FALSE(frame_->RunCommand(id)) << id;
    }
    EXPECT_EQ(frame_->Commands().Action(cmd::kUndo)->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    EXPECT_EQ(frame_->Commands().Action(cmd::kRedo)->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));

    // The view's rule disables a command without a picture.
    view_->pictureOpen = false;
    frame_->UpdateCommands();
    EXPECT_FALSE(frame_->Commands().Action(cmd::kRotateRight)->isEnabled());
    EXPECT_FALSE(frame_->RunCommand(cmd::kRotateRight));
}

TEST_F(MainFrameTest, ToolBarHoldsItsGroupsInOrder)
{
    std::vector<int> ids;
    for (QAction* action : frame_->ToolBar()->actions()) {
        if (action->isSeparator()) {
            ids.push_back(0);
        } else if (action->data().isValid()) {
            ids.push_back(action->data().toInt());
        }
    }
    // The drop-down buttons stand in the bar as widgets; the ids above come from
    // plain buttons, so the crop and insert buttons are checked separately.
    const std::vector<int> expected = {cmd::kFileNew,
                                       cmd::kFileOpen,
                                       cmd::kFileSave,
                                       0,
                                       cmd::kUndo,
                                       cmd::kRedo,
                                       0,
                                       cmd::kRotateRight,
                                       cmd::kRotateLeft,
                                       cmd::kRotate180,
                                       0,
                                       cmd::kMirrorLeftRight,
                                       cmd::kMirrorTopBottom,
                                       0,
                                       cmd::kMove,
                                       0,
                                       cmd::kNewText,
                                       0,
                                       cmd::kHelp};
    EXPECT_EQ(ids, expected);
    for (const int id : {cmd::kCropButton, cmd::kMove, cmd::kNewText}) {
        EXPECT_TRUE(frame_->Commands().Action(id)->isCheckable()) << id;
    }
}

TEST_F(MainFrameTest, DropDownArrowsPopUpTheirSubMenus)
{
    view_->handled = {cmd::kCropButton};
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
    frame_->UpdateCommands();
    const auto arrowOf = [this](int id) {
        for (auto* button : frame_->ToolBar()->findChildren<QToolButton*>()) {
            if (button->defaultAction() == frame_->Commands().Action(id)) {
                return std::pair(button, QPoint(button->width() - 3, button->height() / 2));
            }
        }
        return std::pair<QToolButton*, QPoint>(nullptr, {});
    };
    // The crop presets drop down only outside crop mode.
    view_->cropMode = true;
    auto [crop, cropArrow] = arrowOf(cmd::kCropButton);
    ASSERT_NE(crop, nullptr);
    QTest::mousePress(crop, Qt::LeftButton, {}, cropArrow);
    EXPECT_FALSE(frame_->CropMenu()->isVisible());
    view_->cropMode = false;
    QTest::mousePress(crop, Qt::LeftButton, {}, cropArrow);
    EXPECT_TRUE(frame_->CropMenu()->isVisible());
    frame_->CropMenu()->close();
    EXPECT_TRUE(view_->commands.empty());

    // The insert button and its arrow both show the picture sub-menu.
    auto [insert, insertArrow] = arrowOf(cmd::kInsertMenu);
    ASSERT_NE(insert, nullptr);
    QTest::mousePress(insert, Qt::LeftButton, {}, insertArrow);
    EXPECT_TRUE(frame_->InsertMenu()->isVisible());
    frame_->InsertMenu()->close();
}

TEST_F(MainFrameTest, RecentFilesOpenThroughTheView)
{
    // Only entries whose pictures are there open.
    QTemporaryDir folder;
    const QString a = folder.filePath("a.jpg");
    const QString b = folder.filePath("b.jpg");
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(a) && picture.save(b));
    frame_->AddRecentFile(a);
    frame_->AddRecentFile(b);
    frame_->AddRecentFile(a);
    EXPECT_EQ(settings_.recentFiles, (QStringList{a, b}));
    frame_->UpdateCommands();
    EXPECT_TRUE(frame_->RunCommand(cmd::kRecentFile1 + 1));
    EXPECT_EQ(view_->opened, QStringList{b});
    EXPECT_EQ(settings_.recentFiles.front(), b);
    EXPECT_FALSE(frame_->RunCommand(cmd::kRecentFile1 + 2));
    for (int more = 0; more < 5; ++more) {
        frame_->AddRecentFile(QStringLiteral("/q/%1.png").arg(more));
    }
    EXPECT_EQ(settings_.recentFiles.size(), cmd::kRecentFileCount);
}

} // namespace
