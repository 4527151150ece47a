#pragma once

#include "CImageToolBar.h"
#include "CItemBar.h"
#include "CMainFrame.h"

#include <QCoreApplication>

// Gives each bar of the frame (its view already set) a panel that hears the
// bar's messages and placements, and shows the frame at 1200 × 900, laid out.
template <typename Recorder>
void ShowViewInFrame(CMainFrame& frame, Recorder& toolBar, Recorder& itemBar)
{
    frame.ImageToolBar()->SetPanel(new QWidget, &toolBar, &toolBar);
    frame.ItemBar()->SetPanel(new QWidget, &itemBar, &itemBar);
    frame.resize(1200, 900);
    frame.show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}
