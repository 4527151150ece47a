#pragma once

#include <QWidget>

// Stands in a bar's client area until the bar's real panel is built: the
// panel's caption on a plain dialog background.
class CPlaceholderPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CPlaceholderPanel(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};
