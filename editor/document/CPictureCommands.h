#pragma once

#include "Messages.h"

#include <QImage>
#include <QSizeF>
#include <QString>

#include <optional>

class CItemCanvas;
class CPrompter;
class QWidget;

// The insert and append flows of the view: each asks for a picture file
// (a file that is not a readable picture is refused before any dialog
// opens), asks how to size or join it, and loads and resamples it. The view
// places what insert hands back and repaints after an append.
class CPictureCommands
{
public:
    static const QString kUnreadable;

    CPictureCommands(CPrompter& prompter, CItemCanvas& canvas);

    // The picture to insert, at the size the user chose, as a drop request
    // for the centre of the picture; none when cancelled or refused.
    std::optional<msg::ItemDropRequest> InsertPicture(QWidget* parent);
    // Joins a picture to the base picture as the user chose. None when
    // nothing changed; otherwise whether the items were merged into the base
    // picture (they are still on the canvas, to be removed by the caller).
    std::optional<bool> AppendPicture(QWidget* parent);

    // The box an inserted picture is scaled into: the base picture's size,
    // with width and height exchanged while the base picture lies turned by
    // a quarter (its outline oriented the other way than its bitmap).
    QSizeF BaseBox() const;

private:
    struct Picture
    {
        QString path;
        QImage image;
    };
    std::optional<Picture> ChoosePicture(QWidget* parent);

    CPrompter& prompter_;
    CItemCanvas& canvas_;
};
