#pragma once

#include "AppSettings.h"
#include "CContextItems.h"
#include "CFrameCommands.h"
#include "CFrameView.h"
#include "CMessageReceiver.h"
#include "CMessageRouter.h"
#include "CPlacementReceiver.h"

#include <QMainWindow>
#include <QUrl>

#include <functional>
#include <optional>

class CDropDownButton;
class CImageToolBar;
class CItemBar;
class CPrompter;
class QMenu;
class QToolBar;

// The editor's main window: menus, tool bar, status bar and the two panel
// bars around the view, and the hub of the private messages between the view
// and the panels. Commands go to the view first, then to the frame.
class CMainFrame : public QMainWindow, public CMessageReceiver
{
    Q_OBJECT

public:
    // Starts a browser on an address; whether one started.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // `prompter` tells the user of the frame's own refusals.
    CMainFrame(AppSettings& settings, CPrompter& prompter, QWidget* parent = nullptr);

    // Puts the view into the central area and into the routing table and
    // gives it the placement channel to both panel bars; the frame owns the
    // view's widget from then on.
    void SetView(CFrameView* view);
    CFrameView* View() const { return view_; }

    void Receive(msg::Message message) override;
    // The number of the registered "OnLogoClick" message.
    static unsigned LogoClickMessage();

    // Runs a command: the view first, then the frame; false when nobody
    // handles it.
    bool RunCommand(int id);
    // The enable and check state of every command, in one place; called
    // before menus show and after every command and message.
    void UpdateCommands();
    CommandState CommandStatus(int id) const;

    // Lays the bars out at their default sizes.
    void ApplyDefaultBarSizes();

    // Puts the path at the head of the recent-file list.
    void AddRecentFile(const QString& path);

    // How the logo and 사용법 start the desktop's browser (tests record it).
    void SetUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

    const CFrameCommands& Commands() const { return commands_; }
    CImageToolBar* ImageToolBar() const { return imageToolBar_; }
    CItemBar* ItemBar() const { return itemBar_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* ItemMenu() const { return itemMenu_; }
    QMenu* InsertMenu() const { return insertMenu_; }
    QMenu* CropMenu() const { return cropMenu_; }
    const msg::IndexList& ContextIndexes() const { return contextItems_.Indexes(); }
    const QStringList& FontNames() const { return fontNames_; }
    const AppSettings& Settings() const { return settings_; }

    // No menu of bars on a right click in the dock areas: the bars are shown
    // and hidden from the View menu only.
    QMenu* createPopupMenu() override { return nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Input to the view may change the state of commands (a right click
    // leaves panning, a click selects): the rules run again after it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Tells both panel bars what the view placed: the image tool bar first,
    // then the item bar, the order in which both get the selection (0x48D)
    // and delete (0x48E) copies that follow.
    class CBarPlacements : public CPlacementReceiver
    {
    public:
        explicit CBarPlacements(const CMainFrame& frame) : frame_(frame) {}
        void PictureOpened(const QString& path) override;
        void ItemPlaced(const QString& label) override;
        void TextPlaced(const QString& name) override;

    private:
        const CMainFrame& frame_;
    };

    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildBars();
    QMenu* AddMenu(QMenu* parent, const QString& title, std::initializer_list<int> ids);
    void UpdateRecentFiles();

    bool RunFrameCommand(int id);
    std::optional<CommandState> FrameCommandStatus(int id) const;
    bool IsAcceleratorKey(const QEvent* event) const;
    void ShowItemMenu(msg::IndexList indexes);
    // Delete, z-order and fit-to-picture of the item menu's items, sent
    // through the routing table.
    void RunItemCommand(int id);
    long ItemCount() const;
    void OpenServicePage(const char* path);
    void ShowAbout();
    void ScheduleUpdate();
    void FillFontNames();

    AppSettings& settings_;
    CPrompter& prompter_;
    CBarPlacements placements_{*this};
    CFrameCommands commands_;
    CMessageRouter router_;
    CFrameView* view_ = nullptr;
    CImageToolBar* imageToolBar_ = nullptr;
    CItemBar* itemBar_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* itemMenu_ = nullptr;
    QMenu* insertMenu_ = nullptr;
    QMenu* cropMenu_ = nullptr;
    CDropDownButton* insertButton_ = nullptr;
    CDropDownButton* cropButton_ = nullptr;
    CContextItems contextItems_;
    QStringList fontNames_;
    UrlOpener openUrl_;
    bool updatePending_ = false;
};
