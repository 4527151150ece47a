#pragma once

#include <QDialog>

// "About VelunarCtrl Control": the control's name and version with an OK
// button.
class CAboutBox : public QDialog
{
public:
    explicit CAboutBox(QWidget* parent = nullptr);
};
