#pragma once

#include <QDialog>

// "Pixvel 정보": the program icon, the version line and an OK button.
class CAboutDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kVersionLine = "Pixvel 버전 1.5.0.0";

    explicit CAboutDialog(QWidget* parent = nullptr);
};
