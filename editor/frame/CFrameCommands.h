#pragma once

#include <QAction>

#include <map>

// The frame's commands as QActions, one per command id (the id is the
// action's data), with their texts, tool tips, shortcuts and tool bar
// pictures. The same action stands in the main menu, the tool bar and the
// item menu, so one update sets every place it shows.
class CFrameCommands
{
public:
    explicit CFrameCommands(QObject* owner);

    QAction* Action(int id) const;
    const std::map<int, QAction*>& All() const { return actions_; }

    static int IdOf(const QAction* action);

private:
    std::map<int, QAction*> actions_;
};
