#pragma once

#include "CImageToolBar.h"
#include "CItemBar.h"
#include "CMainFrame.h"
#include "COMRImageEditorView.h"

#include <QCoreApplication>

// Puts the real view into the real frame, with a panel in each bar that
// hears the bar's messages and placements, and shows the frame at
// 1200 × 900, laid out.
template <typename Recorder>
void ShowViewInFrame(CMainFrame& frame, COMRImageEditorView* view, Recorder& toolBar,
                     Recorder& itemBar)
{
    frame.SetView(view);
    frame.ImageToolBar()->SetPanel(new QWidget, &toolBar, &toolBar);
    frame.ItemBar()->SetPanel(new QWidget, &itemBar, &itemBar);
    frame.resize(1200, 900);
    frame.show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}
