#pragma once

#include "AppSettings.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CItemCanvas.h"
#include "CItemsPanel.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "EditorViewTesting.h"
#include "ScriptedPrompter.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

// The editor's real window for tests: the main frame with its real panels
// and the real editing view, dialogs scripted by a `Prompter` and a folder
// for picture files. A test fixture derives from it after WidgetTest (the
// application comes first).
template <typename Prompter = CScriptedPrompter> class CEditorWindow
{
public:
    CEditorWindow() { frame_.SetView(view_); } // the frame takes the view

    // Shows the frame at `size`, active and laid out.
    void ShowFrame(QSize size)
    {
        frame_.resize(size);
        frame_.show();
        frame_.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame_));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }

    static CItemCanvas& Canvas() { return CItemCanvas::Instance(); }
    QWidget* Viewport() const { return view_->viewport(); }
    CImageToolPanel* ToolPanel() const { return frame_.ImageToolBar()->ToolPanel(); }
    CItemsPanel* ItemsPanel() const { return ToolPanel()->ItemsPanel(); }

    // Writes a picture file of one colour to the folder and returns its path.
    QString WritePicture(const QString& name, QSize size, QColor colour = Qt::darkCyan) const
    {
        return WriteOneColourPicture(folder_.filePath(name), size, colour);
    }

    QTemporaryDir folder_;
    AppSettings settings_;
    COMRImageEditorDoc document_;
    Prompter prompter_;
    CMainFrame frame_{settings_, prompter_};
    COMRImageEditorView* view_ = new COMRImageEditorView(document_, settings_, &frame_, prompter_);
};
