#pragma once

#include "CMessageReceiver.h"

#include <QString>

#include <optional>

class CPlacementReceiver;
class QObject;
class QWidget;

// Whether a command is enabled and checked, as a menu or a tool bar shows it.
struct CommandState
{
    bool enabled = true;
    bool checked = false;
};

// What the main frame needs of the view that fills its central area: the
// view takes the relayed private messages, answers commands first, and
// tells the enable and check rules of the commands it handles.
class CFrameView : public CMessageReceiver
{
public:
    virtual QWidget* Widget() = 0;

    // Runs the command; false when the view does not handle it.
    virtual bool RunCommand(int id) = 0;
    // The command's state, or none when the view has no rule for it.
    virtual std::optional<CommandState> CommandStatus(int id) const = 0;
    // The command's menu text when it changes with the state (undo, redo),
    // or none.
    virtual std::optional<QString> CommandText(int) const { return std::nullopt; }

    // Opens the picture at `path` (from the command line or the recent-file
    // list).
    virtual void OpenDocument(const QString& path) = 0;

    // Asked before the window closes: false keeps it open (the user
    // cancelled, or unsaved changes could not be written).
    virtual bool CanClose() { return true; }

    // Where the view tells the panel bars of a new picture and of each item
    // it places; may be null.
    virtual void SetPlacementReceiver(CPlacementReceiver*) {}

    // Takes the drag-and-drop events of the whole window (files and pictures
    // dropped from other programs); none when the view takes no drops.
    virtual QObject* DropFilter() { return nullptr; }

    virtual bool InCropMode() const = 0;
    // Number of canvas entries, the base picture included.
    virtual int ItemCount() const = 0;
};
