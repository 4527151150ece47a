#pragma once

#include <QIcon>

// The tool bar's pictures, drawn once per command id: page, folder, disk,
// turning arrows, mirror marks, crop marks, move arrows, letter, picture and
// question mark.
class CToolBarIcons
{
public:
    static constexpr int kSize = 20;

    // An empty icon for ids without a picture.
    static QIcon Icon(int id);
};
