#pragma once

#include "Messages.h"

#include <QImage>

#include <optional>

class CItem;

// The editor's pictures on the system clipboard: the whole picture, a copied
// item as drawn, and pictures other programs put there to paste as items.
class CClipboardPictures
{
public:
    static const QString kLabel;
    // The format that marks the clipboard's picture as an item copied here.
    static const QString kItemFormat;

    // Puts the picture on the clipboard, opaque.
    static void PutPicture(const QImage& picture);
    // Puts the item on the clipboard as drawn (its effects applied, turned
    // as it lies), with a transparent background.
    static void PutItem(const CItem& item);
    // The item as drawn, cut to its bounds.
    static QImage DrawnItem(const CItem& item);
    // The clipboard's picture when it should be pasted instead of the item
    // copied here: when nothing was copied here, or when another program
    // put a picture on the clipboard since.
    static std::optional<QImage> PictureToPaste(bool itemCopied);
    // A drop of the picture at the centre of the edited picture, labelled
    // "클립보드".
    static msg::ItemDropRequest CentreDrop(QImage picture);
};
