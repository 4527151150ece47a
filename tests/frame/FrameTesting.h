#pragma once

#include "CFrameView.h"
#include "CMainFrame.h"
#include "CPanelBar.h"
#include "DialogTesting.h"
#include "ScriptedPrompter.h"

#include <QWidget>

#include <set>
#include <string>
#include <utility>
#include <vector>

// Records every message it receives, tagged with its own name.
class CRecorder : public CMessageReceiver
{
public:
    CRecorder(const char* name, std::vector<std::pair<std::string, msg::Message>>* log)
        : name_(name), log_(log)
    {}
    void Receive(msg::Message message) override { log_->emplace_back(name_, std::move(message)); }

private:
    std::string name_;
    std::vector<std::pair<std::string, msg::Message>>* log_;
};

// A view that records messages and commands and reports a canvas size.
class CRecordingView : public QWidget, public CFrameView
{
public:
    explicit CRecordingView(std::vector<std::pair<std::string, msg::Message>>* log)
        : recorder_("view", log)
    {}
    QWidget* Widget() override { return this; }
    bool RunCommand(int id) override
    {
        commands.push_back(id);
        return handled.contains(id);
    }
    std::optional<CommandState> CommandStatus(int id) const override
    {
        if (handled.contains(id)) {
            return CommandState{pictureOpen, false};
        }
        return std::nullopt;
    }
    void OpenDocument(const QString& path) override { opened.push_back(path); }
    bool InCropMode() const override { return cropMode; }
    int ItemCount() const override { return itemCount; }
    void Receive(msg::Message message) override { recorder_.Receive(std::move(message)); }

    std::set<int> handled;
    bool pictureOpen = true;
    bool cropMode = false;
    int itemCount = 1;
    std::vector<int> commands;
    QStringList opened;

private:
    CRecorder recorder_;
};

// A main frame with a recording view and recording panels in both bars.
class FrameTest : public WidgetTest
{
protected:
    FrameTest()
    {
        settings_.infoUrl = QStringLiteral("http://items.example:8080/update/update.inf");
        frame_ = std::make_unique<CMainFrame>(settings_, prompter_);
        view_ = new CRecordingView(&log_);
        frame_->SetView(view_);
        frame_->ImageToolBar()->SetPanel(new QWidget, &toolPanel_);
        frame_->ItemBar()->SetPanel(new QWidget, &itemPanel_);
        frame_->SetUrlOpener([this](const QUrl& url) {
            opened_.push_back(url);
            return browserStarts_;
        });
    }

    // Names of the receivers that got messages, in order, and clears the log.
    std::vector<std::string> Delivered()
    {
        std::vector<std::string> names;
        for (const auto& [name, message] : log_) {
            names.push_back(name);
        }
        return names;
    }

    AppSettings settings_;
    CScriptedPrompter prompter_;
    std::vector<std::pair<std::string, msg::Message>> log_;
    CRecorder toolPanel_{"toolbar", &log_};
    CRecorder itemPanel_{"itembar", &log_};
    std::unique_ptr<CMainFrame> frame_;
    CRecordingView* view_ = nullptr;
    std::vector<QUrl> opened_;
    bool browserStarts_ = true;
};
