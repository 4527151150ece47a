#pragma once

#include <QImage>
#include <QWidget>

class CPagePlacement;

// The page setup preview: the sheet in white with a black outline, the
// picture in its box, and the printable area outlined with a dotted red line.
class CPageSetupPreview : public QWidget
{
    Q_OBJECT

public:
    static const QColor kAreaColour;

    // `placement` outlives the preview; `thumbnail` is the picture at preview
    // size.
    CPageSetupPreview(const CPagePlacement& placement, QImage thumbnail, QWidget* parent = nullptr);

    // Repaints after a change and says where the picture lies for screen
    // readers.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CPagePlacement& placement_;
    QImage thumbnail_;
};
