#pragma once

#include "AppSettings.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "ScriptedPrompter.h"

#include <QTemporaryDir>

// The editor's real window for tests: the main frame with its real panels
// and the real editing view, scripted dialogs and a folder for picture files.
// A test fixture derives from it after WidgetTest (the application comes
// first).
class CEditorWindow
{
public:
    CEditorWindow() { frame_.SetView(view_); } // the frame takes the view

    QTemporaryDir folder_;
    AppSettings settings_;
    COMRImageEditorDoc document_;
    CScriptedPrompter prompter_;
    CMainFrame frame_{settings_, prompter_};
    COMRImageEditorView* view_ = new COMRImageEditorView(document_, settings_, &frame_, prompter_);
};
