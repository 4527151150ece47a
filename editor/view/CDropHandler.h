#pragma once

#include "Messages.h"

#include <QObject>
#include <QPoint>
#include <QStringList>

#include <functional>
#include <optional>

class CPrompter;
class QMimeData;
class QWidget;

// Files and pictures dragged from other programs (a file manager, a
// browser) onto the window. Without a picture a dropped picture file opens
// as File Open opens it; with one, each dropped picture is placed as an item
// at the drop point, the next ones 20 pixels further down and right each. A
// project file always opens. A file that is not a picture is refused with a
// message. Installed as an event filter on the view's viewport (drops at a
// point) and on the main window (drops elsewhere land at the picture's
// centre).
class CDropHandler : public QObject
{
public:
    static constexpr int kStep = 20;

    // What the handler asks of the editing surface.
    struct Site
    {
        std::function<bool()> hasPicture;
        // The centre of the picture in screen coordinates.
        std::function<QPoint()> pictureCentre;
        // Opens a picture or project file as File Open does.
        std::function<void(const QString&)> open;
        // Places items (message 0x48C).
        std::function<void(msg::ItemDropRequest)> place;
    };

    CDropHandler(QWidget* viewport, CPrompter& prompter, Site site);

    // Whether the data holds something a drop can take: local files, or a
    // picture.
    static bool Accepts(const QMimeData* data);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Contents
    {
        QStringList files;
        QImage picture;
        QString pictureName;
    };
    static Contents Read(const QMimeData& data);
    // `at` in screen coordinates; none: the picture's centre.
    void Drop(const Contents& contents, std::optional<QPoint> at);
    void DropPicture(const Contents& contents, std::optional<QPoint> at);
    // Handles one file; false when the rest of the drop should stop.
    bool DropFile(const QString& path, std::optional<QPoint> at, int& placed);
    void Place(QString name, QImage picture, std::optional<QPoint> at, int& placed);

    QWidget* viewport_;
    CPrompter& prompter_;
    Site site_;
};
