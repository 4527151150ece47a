// pixvel_icon_sizes SVG FOLDER NAME SIZE...: renders the program icon at each
// size into FOLDER/SIZExSIZE/apps/NAME.png, the layout of an icon theme.
// The SVG is drawn at the size asked for, never scaled from a bitmap.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

namespace {

bool Render(const QString& svg, const QString& folder, const QString& name, int size)
{
    QImageReader reader(svg, "svg");
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    const QString sizeFolder = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
    const QString path = QDir(sizeFolder).filePath(name + ".png");
    if (image.isNull() || !QDir().mkpath(sizeFolder) || !image.save(path, "png")) {
        std::fprintf(stderr, "pixvel_icon_sizes: cannot render %s at %d pixels into %s: %s\n",
                     qPrintable(svg), size, qPrintable(path), qPrintable(reader.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 5) {
        std::fputs("usage: pixvel_icon_sizes SVG FOLDER NAME SIZE...\n", stderr);
        return 2;
    }
    for (const QString& word : arguments.mid(4)) {
        const int size = word.toInt();
        if (size < 1 || size > 1024 || !Render(arguments[1], arguments[2], arguments[3], size)) {
            return 1;
        }
    }
    return 0;
}
