#include "CMainFrame.h"

#include "CAboutDialog.h"
#include "CDecorationButton.h"
#include "CDropDownButton.h"
#include "CImageToolBar.h"
#include "CItemBar.h"
#include "CLogoControl.h"
#include "COpenableFile.h"
#include "CPrompter.h"
#include "CWebBrowser.h"
#include "CommandIds.h"
#include "ServicePages.h"

#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

constexpr int kSeparator = 0;

} // namespace

CMainFrame::CMainFrame(AppSettings& settings, CPrompter& prompter, QWidget* parent)
    : QMainWindow(parent), settings_(settings), prompter_(prompter), commands_(this)
{
    setWindowTitle(QStringLiteral("제목 없음 - %1").arg(settings_.title));
    for (const auto& [id, action] : commands_.All()) {
        addAction(action);
        connect(action, &QAction::triggered, this, [this, id = id] { RunCommand(id); });
    }
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    BuildBars();
    statusBar()->hide();
    resize(QSize(1100, 800).boundedTo(screen()->availableSize() * 9 / 10));
    // The font list is filled once the window is up, as the text dialog
    // needs it only later.
    QTimer::singleShot(10, this, &CMainFrame::FillFontNames);
    UpdateCommands();
}

unsigned CMainFrame::LogoClickMessage()
{
    static const unsigned id = msg::RegisterMessage("OnLogoClick");
    return id;
}

QMenu* CMainFrame::AddMenu(QMenu* parent, const QString& title, std::initializer_list<int> ids)
{
    QMenu* menu = parent != nullptr ? parent->addMenu(title) : menuBar()->addMenu(title);
    for (const int id : ids) {
        if (id == kSeparator) {
            menu->addSeparator();
        } else {
            menu->addAction(commands_.Action(id));
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    return menu;
}

void CMainFrame::BuildMenus()
{
    QMenu* file = AddMenu(nullptr, QStringLiteral("파일(&F)"),
                          {cmd::kFileNew, cmd::kFileOpen, cmd::kFileSave, cmd::kFileSaveAs,
                           cmd::kFileSaveProject, cmd::kFileExportOra, kSeparator, cmd::kFilePrint,
                           kSeparator});
    for (int slot = 0; slot < cmd::kRecentFileCount; ++slot) {
        file->addAction(commands_.Action(cmd::kRecentFile1 + slot));
    }
    file->addSeparator();
    file->addAction(commands_.Action(cmd::kExit));
    connect(file, &QMenu::aboutToShow, this, &CMainFrame::UpdateRecentFiles);
    AddMenu(nullptr, QStringLiteral("편집(&E)"),
            {cmd::kUndo, cmd::kRedo, kSeparator, cmd::kCopyImage});
    AddMenu(nullptr, QStringLiteral("보기(&V)"),
            {cmd::kViewToolBar, cmd::kViewStatusBar, kSeparator, cmd::kGuideline, kSeparator,
             cmd::kViewImageToolBar, cmd::kViewItemBar});
    AddMenu(nullptr, QStringLiteral("도움말(&H)"), {cmd::kAbout, cmd::kHelp});

    // The item menu; its picture and crop sub-menus also drop down from the
    // tool bar.
    itemMenu_ = new QMenu(this);
    connect(itemMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    itemMenu_->addAction(commands_.Action(cmd::kDeleteItem));
    AddMenu(itemMenu_, QStringLiteral("위치변경"),
            {cmd::kToFront, cmd::kOneUp, cmd::kOneDown, cmd::kToBack});
    AddMenu(itemMenu_, QStringLiteral("회전"),
            {cmd::kRotateRight, cmd::kRotateLeft, cmd::kRotate180});
    AddMenu(itemMenu_, QStringLiteral("대칭"), {cmd::kMirrorLeftRight, cmd::kMirrorTopBottom});
    itemMenu_->addAction(commands_.Action(cmd::kFitToPicture));
    itemMenu_->addSeparator();
    itemMenu_->addAction(commands_.Action(cmd::kCopyItem));
    itemMenu_->addAction(commands_.Action(cmd::kPasteItem));
    itemMenu_->addSeparator();
    AddMenu(itemMenu_, QStringLiteral("문자편집"), {cmd::kNewText, cmd::kEditText});
    insertMenu_ =
        AddMenu(itemMenu_, QStringLiteral("그림삽입"), {cmd::kInsertPicture, cmd::kAppendPicture});
    cropMenu_ = AddMenu(itemMenu_, QStringLiteral("잘라내기"),
                        {cmd::kCropFree, kSeparator, cmd::kCropPhone, cmd::kCropVideo,
                         cmd::kCropHomePage, cmd::kCropBoard});
}

void CMainFrame::BuildToolBar()
{
    toolBar_ = addToolBar(QStringLiteral("도구 모음"));
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setIconSize(QSize(20, 20));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const auto add = [this](std::initializer_list<int> ids) {
        for (const int id : ids) {
            toolBar_->addAction(commands_.Action(id));
        }
    };
    add({cmd::kFileNew, cmd::kFileOpen, cmd::kFileSave});
    toolBar_->addSeparator();
    add({cmd::kUndo, cmd::kRedo});
    toolBar_->addSeparator();
    add({cmd::kRotateRight, cmd::kRotateLeft, cmd::kRotate180});
    toolBar_->addSeparator();
    add({cmd::kMirrorLeftRight, cmd::kMirrorTopBottom});
    toolBar_->addSeparator();
    cropButton_ = new CDropDownButton(commands_.Action(cmd::kCropButton), cropMenu_, [this] {
        // The crop presets drop down only outside crop mode.
        if (view_ == nullptr || !view_->InCropMode()) {
            UpdateCommands();
            cropButton_->PopUp(cropMenu_);
        }
    });
    toolBar_->addWidget(cropButton_);
    add({cmd::kMove});
    toolBar_->addSeparator();
    add({cmd::kNewText});
    insertButton_ = new CDropDownButton(commands_.Action(cmd::kInsertMenu), insertMenu_,
                                        [this] { RunCommand(cmd::kInsertMenu); });
    toolBar_->addWidget(insertButton_);
    toolBar_->addSeparator();
    add({cmd::kHelp});

    auto* spacer = new QWidget(toolBar_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar_->addWidget(spacer);
    toolBar_->addWidget(
        new CLogoControl([this] { Receive(msg::Make(LogoClickMessage())); }, toolBar_));
    auto* decoration = new CDecorationButton(toolBar_);
    decoration->setObjectName(QStringLiteral("DecorationButton"));
    toolBar_->addWidget(decoration);
}

void CMainFrame::BuildStatusBar()
{
    statusBar()->showMessage(QStringLiteral("준비"));
}

void CMainFrame::BuildBars()
{
    // The bottom bar runs under the side bars, across the whole width.
    setCorner(Qt::BottomLeftCorner, Qt::BottomDockWidgetArea);
    setCorner(Qt::BottomRightCorner, Qt::BottomDockWidgetArea);
    itemBar_ = new CItemBar(this, this);
    imageToolBar_ = new CImageToolBar(this, this);
    imageToolBar_->SetNewsAddress(
        [this] { return service::PageUrl(settings_.infoUrl, service::kNewsPage); });
    for (CPanelBar* bar :
         {static_cast<CPanelBar*>(itemBar_), static_cast<CPanelBar*>(imageToolBar_)}) {
        bar->SetMinimumSizes(QSize(7, 7), QSize(7, 7));
    }
    addDockWidget(Qt::BottomDockWidgetArea, itemBar_);
    addDockWidget(Qt::RightDockWidgetArea, imageToolBar_);
    router_.SetReceiver(CMessageRouter::Party::ItemBar, itemBar_);
    router_.SetReceiver(CMessageRouter::Party::ImageToolBar, imageToolBar_);
}

void CMainFrame::ApplyDefaultBarSizes()
{
    itemBar_->ApplyCurrentSize();
    imageToolBar_->ApplyCurrentSize();
}

void CMainFrame::SetView(CFrameView* view)
{
    view_ = view;
    setCentralWidget(view->Widget());
    view->Widget()->installEventFilter(this);
    for (QWidget* child : view->Widget()->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
    view->Widget()->setFocus(); // the keys reach the picture from the start
    router_.SetReceiver(CMessageRouter::Party::View, view);
    view->SetPlacementReceiver(&placements_);
    if (QObject* drops = view->DropFilter()) {
        setAcceptDrops(true);
        installEventFilter(drops);
    }
    UpdateCommands();
}

void CMainFrame::CBarPlacements::PictureOpened(const QString& path)
{
    frame_.imageToolBar_->PictureOpened(path);
    frame_.itemBar_->PictureOpened(path);
}

void CMainFrame::CBarPlacements::ItemPlaced(const QString& label)
{
    frame_.imageToolBar_->ItemPlaced(label);
    frame_.itemBar_->ItemPlaced(label);
}

void CMainFrame::CBarPlacements::TextPlaced(const QString& name)
{
    frame_.imageToolBar_->TextPlaced(name);
    frame_.itemBar_->TextPlaced(name);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (view_ != nullptr && !view_->CanClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool CMainFrame::IsAcceleratorKey(const QEvent* event) const
{
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const QKeySequence pressed(static_cast<const QKeyEvent*>(event)->keyCombination());
    for (const auto& [id, action] : commands_.All()) {
        if (action->shortcuts().contains(pressed)) {
            return true;
        }
    }
    return false;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // A key of the accelerator table is the command's, whether the command
    // runs or not: a disabled command's key (cut, undo) does nothing, and
    // never reaches the view as a plain key.
    if (IsAcceleratorKey(event)) {
        return true;
    }
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonPress:
    case QEvent::KeyRelease:
        ScheduleUpdate();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::Receive(msg::Message message)
{
    if (message.id == msg::kContextMenu) {
        ShowItemMenu(message.indexes.value_or(msg::IndexList{}));
    } else if (message.id == LogoClickMessage()) {
        OpenServicePage(service::kItemShopPage);
    } else if (message.id == msg::kDeleteItems) {
        router_.Route(CContextItems::WithCleanDeleteList(std::move(message), ItemCount()));
    } else {
        router_.Route(message);
    }
    ScheduleUpdate();
}

bool CMainFrame::RunCommand(int id)
{
    if (!CommandStatus(id).enabled) {
        return false;
    }
    const bool handled = (view_ != nullptr && view_->RunCommand(id)) || RunFrameCommand(id);
    ScheduleUpdate();
    return handled;
}

bool CMainFrame::RunFrameCommand(int id)
{
    switch (id) {
    case cmd::kViewImageToolBar:
        imageToolBar_->setVisible(imageToolBar_->isHidden());
        return true;
    case cmd::kViewItemBar:
        itemBar_->setVisible(itemBar_->isHidden());
        return true;
    case cmd::kViewToolBar:
        toolBar_->setVisible(toolBar_->isHidden());
        return true;
    case cmd::kViewStatusBar:
        statusBar()->setVisible(statusBar()->isHidden());
        return true;
    case cmd::kDeleteItem:
    case cmd::kToFront:
    case cmd::kOneUp:
    case cmd::kOneDown:
    case cmd::kToBack:
    case cmd::kFitToPicture:
        RunItemCommand(id);
        return true;
    case cmd::kHelp:
        OpenServicePage(service::kHelpPage);
        return true;
    case cmd::kInsertMenu:
        insertButton_->PopUp(insertMenu_);
        return true;
    case cmd::kAbout:
        ShowAbout();
        return true;
    case cmd::kExit:
        close();
        return true;
    default:
        break;
    }
    const int slot = id - cmd::kRecentFile1;
    if (slot >= 0 && slot < settings_.recentFiles.size() && view_ != nullptr) {
        const QString path = settings_.recentFiles[slot];
        // A file gone or no longer openable leaves the list instead.
        if (const std::optional<QString> refusal = COpenableFile::Refusal(path)) {
            settings_.recentFiles.removeAt(slot);
            prompter_.Tell(this, *refusal);
            return true;
        }
        AddRecentFile(path);
        view_->OpenDocument(path);
        return true;
    }
    return false;
}

CommandState CMainFrame::CommandStatus(int id) const
{
    if (view_ != nullptr) {
        if (const std::optional<CommandState> state = view_->CommandStatus(id)) {
            return *state;
        }
    }
    // A command nobody handles is disabled.
    return FrameCommandStatus(id).value_or(CommandState{false, false});
}

std::optional<CommandState> CMainFrame::FrameCommandStatus(int id) const
{
    switch (id) {
    case cmd::kViewImageToolBar:
        return CommandState{true, !imageToolBar_->isHidden()};
    case cmd::kViewItemBar:
        return CommandState{true, !itemBar_->isHidden()};
    case cmd::kViewToolBar:
        return CommandState{true, !toolBar_->isHidden()};
    case cmd::kViewStatusBar:
        return CommandState{true, !statusBar()->isHidden()};
    case cmd::kDeleteItem:
    case cmd::kToFront:
    case cmd::kOneUp:
    case cmd::kOneDown:
    case cmd::kToBack:
    case cmd::kHelp:
    case cmd::kInsertMenu:
    case cmd::kAbout:
    case cmd::kExit:
        return CommandState{};
    case cmd::kFitToPicture:
        return CommandState{contextItems_.First(ItemCount()).has_value(), false};
    default:
        break;
    }
    const int slot = id - cmd::kRecentFile1;
    if (slot >= 0 && slot < cmd::kRecentFileCount) {
        return CommandState{slot < settings_.recentFiles.size() && view_ != nullptr, false};
    }
    return std::nullopt;
}

void CMainFrame::UpdateCommands()
{
    updatePending_ = false;
    for (const auto& [id, action] : commands_.All()) {
        const CommandState state = CommandStatus(id);
        action->setEnabled(state.enabled);
        if (view_ != nullptr) {
            if (const std::optional<QString> text = view_->CommandText(id)) {
                action->setText(*text);
            }
        }
        if (action->isCheckable()) {
            action->setChecked(state.checked);
        }
    }
}

void CMainFrame::ScheduleUpdate()
{
    if (!updatePending_) {
        updatePending_ = true;
        QTimer::singleShot(0, this, &CMainFrame::UpdateCommands);
    }
}

void CMainFrame::UpdateRecentFiles()
{
    const QStringList& files = settings_.recentFiles;
    for (int slot = 0; slot < cmd::kRecentFileCount; ++slot) {
        QAction* action = commands_.Action(cmd::kRecentFile1 + slot);
        if (slot < files.size()) {
            const QString path = QDir::toNativeSeparators(files[slot]);
            const QString shown = fontMetrics().elidedText(path, Qt::ElideMiddle, 320);
            action->setText(QStringLiteral("&%1 %2").arg(slot + 1).arg(shown));
            action->setVisible(true);
        } else {
            // An empty list shows one disabled "최근 파일" entry in its place.
            action->setText(QStringLiteral("최근 파일"));
            action->setVisible(slot == 0);
        }
    }
}

void CMainFrame::AddRecentFile(const QString& path)
{
    QStringList& files = settings_.recentFiles;
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > cmd::kRecentFileCount) {
        files.removeLast();
    }
}

void CMainFrame::ShowItemMenu(msg::IndexList indexes)
{
    contextItems_.Open(std::move(indexes));
    UpdateCommands();
    itemMenu_->popup(QCursor::pos());
}

void CMainFrame::RunItemCommand(int id)
{
    const CContextItems::Request request = contextItems_.Take(id, ItemCount());
    if (request.refusal) {
        prompter_.Tell(this, *request.refusal);
    }
    if (request.message) {
        Receive(*request.message);
    }
}

long CMainFrame::ItemCount() const
{
    return view_ != nullptr ? view_->ItemCount() : 0;
}

void CMainFrame::OpenServicePage(const char* path)
{
    const QUrl url = service::PageUrl(settings_.infoUrl, path);
    if (url.isEmpty()) {
        return;
    }
    CWebBrowser::Open(this, url, openUrl_);
}

void CMainFrame::ShowAbout()
{
    CAboutDialog about(this);
    about.exec();
}

void CMainFrame::FillFontNames()
{
    fontNames_.append(QFontDatabase::families());
}
