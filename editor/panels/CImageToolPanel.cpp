#include "CImageToolPanel.h"

#include "CCategoryTabStrip.h"
#include "CContrastGammaPage.h"
#include "CEditingState.h"
#include "CFilterPage.h"
#include "CHueSaturationPage.h"
#include "CItemCanvas.h"
#include "CItemsPanel.h"
#include "CNewsView.h"
#include "CNewsViewFactory.h"
#include "COtherPage.h"
#include "CPageHeaderButton.h"
#include "CZoomPage.h"
#include "Refusal.h"

#include <QFrame>
#include <QTimer>

#include <chrono>

namespace {

qint64 SteadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

CImageToolPanel::CImageToolPanel(CMessageReceiver* mainWindow, CNewsView* news, QWidget* parent)
    : QWidget(parent), mainWindow_(mainWindow), tabs_(new CCategoryTabStrip(this)),
      hueSaturation_(new CHueSaturationPage(mainWindow, this)),
      contrastGamma_(new CContrastGammaPage(mainWindow, this)),
      filter_(new CFilterPage(mainWindow, this)), other_(new COtherPage(mainWindow, this)),
      separator_(new QFrame(this)), zoom_(new CZoomPage(mainWindow, this)),
      items_(new CItemsPanel(mainWindow, this)),
      news_(news != nullptr ? news : CNewsViewFactory::Create()), clock_(SteadyMilliseconds)
{
    tabs_->setFont(font());
    tabs_->setAccessibleName(QStringLiteral("이미지 편집툴"));
    tabs_->SetTabs({QStringLiteral("효 과  "), QStringLiteral("새소식  ")});
    tabs_->SetReceiver(this);
    tabs_->setGeometry(0, 0, width(), kTabHeight);
    pages_ = {hueSaturation_, contrastGamma_, filter_, other_};
    for (CAdjustmentPage* page : pages_) {
        connect(page, &CAdjustmentPage::PageRequested, this, &CImageToolPanel::OpenPage);
    }
    separator_->setFrameShape(QFrame::HLine);
    separator_->setFrameShadow(QFrame::Sunken);
    news_->setParent(this);
    SwitchTab(kEffectsTab);
    // The opening load waits for the event loop, so that the address read
    // during start-up is known; it does not count as a tab switch's load.
    QTimer::singleShot(0, this, &CImageToolPanel::LoadNews);
}

void CImageToolPanel::Receive(msg::Message message)
{
    switch (message.id) {
    case msg::kTabChanged:
        SwitchTab(int(message.wparam));
        break;
    case msg::kRefreshPanels:
        Refresh();
        break;
    case msg::kZoom:
        zoom_->ShowZoom(int(message.lparam));
        break;
    case msg::kSelectItems:
    case msg::kDeleteItems:
    case msg::kMoveItem:
    case msg::kBaseSize:
    case msg::kSelectAllRows:
    case msg::kDeselectAll:
        items_->Receive(std::move(message));
        break;
    default:
        break;
    }
}

void CImageToolPanel::OpenPage(int number)
{
    if (CEditingState::Instance().mode == CEditingState::kNoPicture) {
        ShowRefusal(this, QStringLiteral("현재 편집할 이미지가 없습니다"));
        return;
    }
    requestedPage_ = number;
    LayOutEffects(number);
}

void CImageToolPanel::LayOutEffects(int requested)
{
    int top = kFirstPageY;
    int bottom = top;
    for (CAdjustmentPage* page : pages_) {
        const bool expanded = page->Number() == requested && page->Header()->isChecked();
        page->Header()->setChecked(expanded);
        page->ShowBody(expanded);
        const int height = expanded ? page->ExpandedHeight() : kCollapsedHeight;
        page->setGeometry(kPageX, top, CPanelPage::kWidth, height);
        bottom = top + height;
        top = bottom + kPageGap;
    }
    separator_->setGeometry(kPageX, bottom + 5, CPanelPage::kWidth, 2);
    zoom_->setGeometry(kPageX, bottom + 12, CPanelPage::kWidth, CZoomPage::kHeight);
    items_->setGeometry(kPageX, bottom + 87, CPanelPage::kWidth,
                        std::max(0, height() - 5 - (bottom + 87)));
    if (tabs_->CurrentTab() != kNewsTab) {
        news_->setGeometry(0, 0, 0, 0);
    }
    for (CAdjustmentPage* page : pages_) {
        page->update();
    }
    zoom_->update();
}

void CImageToolPanel::LayOutNews()
{
    news_->setGeometry(kPageX, 30, CPanelPage::kWidth, std::max(0, height() - 35));
}

void CImageToolPanel::ShowEffects(bool visible)
{
    for (QWidget* part : std::initializer_list<QWidget*>{hueSaturation_, contrastGamma_, filter_,
                                                         other_, separator_, zoom_, items_}) {
        part->setVisible(visible);
        if (!visible) {
            part->setGeometry(0, 0, 0, 0);
        }
    }
    news_->setVisible(!visible);
}

void CImageToolPanel::SwitchTab(int tab)
{
    tabs_->SetCurrentTab(tab);
    if (tab == kNewsTab) {
        ShowEffects(false);
        const qint64 now = clock_();
        if (!lastNewsLoad_ || now - *lastNewsLoad_ > kNewsReloadMs) {
            lastNewsLoad_ = now;
            LoadNews();
        }
        LayOutNews();
        return;
    }
    news_->setGeometry(0, 0, 0, 0);
    LayOutEffects(requestedPage_ >= 1 && requestedPage_ <= 4 ? requestedPage_ : 1);
    ShowEffects(true);
}

void CImageToolPanel::LoadNews()
{
    news_->Navigate(newsAddress_ ? newsAddress_() : QUrl());
}

void CImageToolPanel::Refresh()
{
    if (CEditingState::Instance().currentItem == nullptr) {
        return;
    }
    for (CAdjustmentPage* page : pages_) {
        page->Refresh();
    }
    zoom_->ShowZoomFactor(CItemCanvas::Instance().Zoom());
    items_->Refresh();
}

void CImageToolPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    tabs_->setGeometry(0, 0, width(), kTabHeight);
    const QRect items = items_->geometry();
    if (tabs_->CurrentTab() == kNewsTab) {
        LayOutNews();
    } else {
        items_->setGeometry(items.x(), items.y(), items.width(),
                            std::max(0, height() - 5 - items.y()));
    }
}
