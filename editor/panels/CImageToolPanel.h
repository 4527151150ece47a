#pragma once

#include "CMessageReceiver.h"

#include <QUrl>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class CAdjustmentPage;
class CCategoryTabStrip;
class CContrastGammaPage;
class CFilterPage;
class CHueSaturationPage;
class CItemsPanel;
class CNewsView;
class COtherPage;
class CZoomPage;
class QFrame;

// The client of the image tool bar. Tab "효 과  " holds an accordion of the
// four adjustment pages (at most one expanded), the zoom page under them and
// the items page filling the rest; tab "새소식  " holds the
// news page of the item service. The panel owns no picture data: the pages
// edit the current item's effects and send their requests to the main
// window.
class CImageToolPanel : public QWidget, public CMessageReceiver
{
    Q_OBJECT

public:
    enum Tab : int
    {
        kEffectsTab = 0,
        kNewsTab = 1,
    };
    static constexpr int kPageX = 7;
    static constexpr int kFirstPageY = 25;
    static constexpr int kPageGap = 5;
    static constexpr int kCollapsedHeight = 25;
    static constexpr int kTabHeight = 20;
    // The news page is loaded again on a tab switch once this much time has
    // passed since the last such load.
    static constexpr qint64 kNewsReloadMs = 120000;

    using Clock = std::function<qint64()>; // milliseconds, steady
    using AddressSource = std::function<QUrl()>;

    // `news` null: the view of this build (CNewsViewFactory::Create).
    explicit CImageToolPanel(CMessageReceiver* mainWindow, CNewsView* news = nullptr,
                             QWidget* parent = nullptr);

    // Where the news page is; asked at every load, so a setting read after
    // start-up is seen. No source or an empty address shows an empty page.
    void SetNewsAddress(AddressSource source) { newsAddress_ = std::move(source); }
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // kTabChanged from the tab strip; kRefreshPanels, kZoom and the item
    // list messages (select, delete, move, base size, select all, deselect)
    // relayed by the bar.
    void Receive(msg::Message message) override;

    // A page's header was clicked: expand or collapse it, or refuse without
    // a picture.
    void OpenPage(int number);
    void SwitchTab(int tab);
    // Every page reloads from the current item; nothing without one.
    void Refresh();

    CHueSaturationPage* HueSaturationPage() const { return hueSaturation_; }
    CContrastGammaPage* ContrastGammaPage() const { return contrastGamma_; }
    CFilterPage* FilterPage() const { return filter_; }
    COtherPage* OtherPage() const { return other_; }
    CAdjustmentPage* Page(int number) const { return pages_.at(size_t(number - 1)); }
    CZoomPage* ZoomPage() const { return zoom_; }
    CItemsPanel* ItemsPanel() const { return items_; }
    QFrame* Separator() const { return separator_; }
    CCategoryTabStrip* TabStrip() const { return tabs_; }
    CNewsView* NewsView() const { return news_; }
    int RequestedPage() const { return requestedPage_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOutEffects(int requested);
    void LayOutNews();
    void ShowEffects(bool visible);
    void LoadNews();

    CMessageReceiver* mainWindow_;
    CCategoryTabStrip* tabs_;
    std::array<CAdjustmentPage*, 4> pages_{};
    CHueSaturationPage* hueSaturation_;
    CContrastGammaPage* contrastGamma_;
    CFilterPage* filter_;
    COtherPage* other_;
    QFrame* separator_;
    CZoomPage* zoom_;
    CItemsPanel* items_;
    CNewsView* news_;
    AddressSource newsAddress_;
    Clock clock_;
    int requestedPage_ = 1;
    // When a tab switch last loaded the news page; none until one did.
    std::optional<qint64> lastNewsLoad_;
};
