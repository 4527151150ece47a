// Writes pictures of the colour popup, both colour picker pages, the new
// picture dialog, the open size dialog, the page setup dialog, the text
// dialog and the insert and append picture dialogs into the folder given as
// argument.
#include "CAppendPictureDialog.h"
#include "CColourPickerDialog.h"
#include "CColourPopup.h"
#include "CInsertPictureDialog.h"
#include "CNewPictureDialog.h"
#include "COpenSizeDialog.h"
#include "CPageSetupDialog.h"
#include "CRecentColours.h"
#include "CTextDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool Save(QWidget& widget, const QDir& folder, const char* name)
{
    widget.show();
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromUtf8(name));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// A picture of the given size with a gradient sky and a sun, for the page
// setup preview.
QImage Landscape(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(70, 130, 200));
    sky.setColorAt(1, QColor(240, 200, 140));
    painter.fillRect(picture.rect(), sky);
    painter.setBrush(QColor(250, 220, 80));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(size.width() * 0.7, size.height() * 0.4), size.height() * 0.15,
                        size.height() * 0.15);
    return picture;
}

// Page setup on A4 at 600 dpi for a picture of the given size at 96 dpi.
bool SavePageSetup(const QDir& folder, QSize pixels, bool landscape, const char* name)
{
    const PrinterPage a4{QSize(4958, 7017), QSizeF(21.0, 29.7), QSizeF(600, 600)};
    CPageSetupDialog dialog(a4, {pixels, QSizeF(96, 96)},
                            Landscape(pixels.scaled(300, 300, Qt::KeepAspectRatio)),
                            {1.0, 1.0, 1.0, 1.0});
    if (landscape) {
        dialog.findChild<QRadioButton*>("landscape")->click();
        dialog.findChild<QRadioButton*>("position8")->click();
    }
    return Save(dialog, folder, name);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialogs_screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool ok = true;

    // A few recent colours, in settings of this program's own.
    QTemporaryDir registry;
    qputenv("PIXVEL_REGISTRY_DIR", QFile::encodeName(registry.path()));
    for (const ColourRef colour : {MakeColourRef(0x3D, 0x8B, 0xFD), MakeColourRef(0xFF, 0x7E, 0xB6),
                                   MakeColourRef(0x33, 0x66, 0x99), MakeColourRef(255, 0, 0)}) {
        CRecentColours::Add(colour);
    }
    CColourPopup popup(nullptr, MakeColourRef(255, 0, 0));
    ok &= Save(popup, folder, "colour-popup.png");

    CColourPickerDialog picker(MakeColourRef(51, 102, 204));
    ok &= Save(picker, folder, "colour-picker-standard.png");
    picker.Pages()->setCurrentIndex(CColourPickerDialog::CustomPage);
    ok &= Save(picker, folder, "colour-picker-custom.png");

    CNewPictureDialog newPicture;
    ok &= Save(newPicture, folder, "new-picture.png");

    CTextItem hello;
    CharFormat format;
    format.height = 36 * 20;
    format.effects = CharFormat::kBold;
    format.colour = MakeColourRef(255, 0, 0);
    hello.SetFormat(format);
    hello.SetText(QStringLiteral("안녕하세요"));
    CTextDialog text(QFontDatabase::families());
    text.SetEditItem(&hello);
    ok &= Save(text, folder, "text-dialog.png");

    CInsertPictureDialog insert(QSize(1000, 500));
    ok &= Save(insert, folder, "insert-picture.png");
    CAppendPictureDialog append(QSize(1000, 500), QSizeF(640, 480));
    ok &= Save(append, folder, "append-picture.png");

    QTemporaryDir temporary;
    const QString picture = temporary.filePath("photo.png");
    QImage image(1000, 500, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.save(picture);
    COpenSizeDialog openSize;
    if (openSize.SetPath(picture) != Status::Ok) {
        return 1;
    }
    ok &= Save(openSize, folder, "open-size.png");

    ok &= SavePageSetup(folder, QSize(640, 480), false, "page-setup-portrait.png");
    ok &= SavePageSetup(folder, QSize(640, 480), true, "page-setup-landscape.png");
    ok &= SavePageSetup(folder, QSize(4000, 3000), false, "page-setup-shrunk.png");
    return ok ? 0 : 1;
}
