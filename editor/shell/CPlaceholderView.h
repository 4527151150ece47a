#pragma once

#include "CFrameView.h"

#include <QImage>
#include <QWidget>

#include <functional>

// Fills the frame's central area until the editing view is built: it opens a
// picture (from the command line, the recent-file list or File Open), shows it
// centred and shrunk to fit on white, and takes no part in item editing.
class CPlaceholderView : public QWidget, public CFrameView
{
    Q_OBJECT

public:
    // `opened` hears of every picture opened through the File Open dialog.
    explicit CPlaceholderView(std::function<void(const QString&)> opened,
                              QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    bool RunCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;
    void OpenDocument(const QString& path) override;
    bool InCropMode() const override { return false; }
    int ItemCount() const override { return picture_.isNull() ? 0 : 1; }
    void Receive(msg::Message) override {}

    const QImage& Picture() const { return picture_; }
    const QString& Path() const { return path_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void(const QString&)> opened_;
    QImage picture_;
    QString path_;
};
