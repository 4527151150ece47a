// Takes the editor's screenshots for the documentation: run under xvfb-run
// with the output folder as the argument.
#include "CAboutDialog.h"
#include "CCategoryTabStrip.h"
#include "CColourButton.h"
#include "CColourPopup.h"
#include "CEditorApp.h"
#include "CFontToolBar.h"
#include "CItemBar.h"
#include "CItemCanvas.h"
#include "CItemLibraryPanel.h"
#include "CItemThumbnailList.h"
#include "CMainFrame.h"
#include "COMRImageEditorView.h"
#include "COpenSizeDialog.h"
#include "CTextDialog.h"
#include "CTextStyleDialog.h"
#include "CommandIds.h"
#include "ProgramIcon.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <cmath>
#include <functional>

namespace {

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Shows the item library's first category with its stickers (when the
// installation folder has any).
void ShowFirstCategory(CMainFrame* frame)
{
    CItemLibraryPanel* library = frame->ItemBar()->Library();
    if (library->TabStrip()->Count() < 2) {
        return;
    }
    library->TabStrip()->ActivateTab(1);
    for (int waited = 0; library->List()->Loading() && waited < 5000; waited += 50) {
        Wait(50);
    }
}

void Grab(const QWidget* frame, const QString& path)
{
    Wait(300);
    const QRect area = frame->frameGeometry();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(path);
}

// Sends one mouse event to the view's client area.
void Mouse(QWidget* viewport, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    const QPointF local(at);
    QMouseEvent event(type, local, viewport->mapToGlobal(local), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

void Drag(QWidget* viewport, QPoint from, QPoint to)
{
    Mouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int step = 1; step <= 8; ++step) {
        Mouse(viewport, QEvent::MouseMove, from + (to - from) * step / 8, Qt::LeftButton);
    }
    Mouse(viewport, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// A sticker: a yellow star on a transparent ground.
QImage Sticker(int size, QColor colour)
{
    QImage sticker(size, size, QImage::Format_ARGB32_Premultiplied);
    sticker.fill(Qt::transparent);
    QPainter painter(&sticker);
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF star;
    for (int corner = 0; corner < 10; ++corner) {
        const double radius = (corner % 2 == 0 ? 0.48 : 0.2) * size;
        const double angle = corner * 3.14159265 / 5 - 3.14159265 / 2;
        star << QPointF(size / 2.0 + radius * std::cos(angle),
                        size / 2.0 + radius * std::sin(angle));
    }
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(colour);
    painter.drawPolygon(star);
    return sticker;
}

// Drops a sticker centred on a point of the view's client area.
void DropSticker(CMainFrame* frame, QWidget* viewport, QPoint at, QImage sticker)
{
    msg::ItemDropRequest request;
    const QPoint screen = viewport->mapToGlobal(at);
    request.x = screen.x();
    request.y = screen.y();
    request.entries.push_back({QStringLiteral("star.png"), std::move(sticker)});
    frame->Receive(msg::WithDrop(std::move(request)));
}

// The editing view with stickers: selected, dragged with the button held,
// turned by the outer corner zone, dragged and nudged, and a crop preset
// placed.
void GrabView(CMainFrame* frame, const QString& out)
{
    auto* view = dynamic_cast<COMRImageEditorView*>(frame->View());
    QWidget* viewport = view->viewport();
    Grab(frame, out + "/view-fitted.png");
    const QPoint centre = view->PictureRect().center() - view->ScrollOffset();
    DropSticker(frame, viewport, centre + QPoint(-120, -40), Sticker(120, QColor(255, 210, 0)));
    DropSticker(frame, viewport, centre + QPoint(140, 60), Sticker(90, QColor(255, 120, 180)));
    Mouse(viewport, QEvent::MouseButtonPress, centre + QPoint(-120, -40), Qt::LeftButton);
    Mouse(viewport, QEvent::MouseButtonRelease, centre + QPoint(-120, -40), Qt::NoButton);
    Grab(frame, out + "/view-selected.png");

    // A drag in progress: the star follows the pointer, outlined, while the
    // button is held; Esc puts it back.
    const QPoint star = centre + QPoint(-120, -40);
    Mouse(viewport, QEvent::MouseButtonPress, star, Qt::LeftButton);
    for (int step = 1; step <= 8; ++step) {
        Mouse(viewport, QEvent::MouseMove, star + QPoint(25, 12) * step, Qt::LeftButton);
    }
    Grab(frame, out + "/view-dragging.png");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(view, &escape);
    Mouse(viewport, QEvent::MouseButtonRelease, star + QPoint(200, 96), Qt::NoButton);

    const QRectF box = view->Tracker().FrameRect().translated(-view->ScrollOffset());
    const QPoint corner = box.topRight().toPoint() + QPoint(6, -6);
    Drag(viewport, corner, corner + QPoint(50, 60));
    Grab(frame, out + "/view-rotated.png");

    // The pink star dragged in one press, then nudged right and down.
    Drag(viewport, centre + QPoint(140, 60), centre + QPoint(60, 100));
    for (const int key : {Qt::Key_Right, Qt::Key_Down}) {
        for (int repeat = 0; repeat < 20; ++repeat) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeat > 0);
            QApplication::sendEvent(view, &press);
        }
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(view, &release);
    }
    Grab(frame, out + "/view-moved.png");

    frame->RunCommand(cmd::kCropHomePage);
    Mouse(viewport, QEvent::MouseButtonPress, centre, Qt::LeftButton);
    Mouse(viewport, QEvent::MouseButtonRelease, centre, Qt::NoButton);
    Grab(frame, out + "/view-crop.png");
    frame->RunCommand(cmd::kCropButton);
}

// Calls act with the next window of type T that comes up modal (or as a
// popup), from inside its event loop.
template <typename T> void WhenUp(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* top = QApplication::activePopupWidget();
        if (top == nullptr) {
            top = QApplication::activeModalWidget();
        }
        if (T* window = qobject_cast<T*>(top); window != nullptr && window->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(window);
        }
    });
    timer->start();
}

// Types text into a widget: Korean as an input method commits it, Latin
// characters and Enter as keys.
void Type(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QKeyEvent press(QEvent::KeyPress, c == '\n' ? Qt::Key_Return : Qt::Key_unknown,
                            Qt::NoModifier, c == '\n' ? QString() : QString(c));
            QApplication::sendEvent(widget, &press);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(widget, &commit);
        }
    }
}

// "안녕하세요" in bold 36 point red, written in the text dialog as a user
// writes it; the dialog is grabbed before its OK is pressed.
void WriteGreeting(CTextDialog* dialog, const QString& out)
{
    Type(dialog->TextBox(), QStringLiteral("안녕하세요"));
    CFontToolBar* bar = dialog->FontBar();
    static_cast<QAbstractButton*>(bar->widgetForAction(bar->findChild<QAction*>("굵게")))->click();
    bar->SizeBox()->lineEdit()->selectAll();
    Type(bar->SizeBox()->lineEdit(), QStringLiteral("36\n"));
    WhenUp<CColourPopup>([](CColourPopup* popup) {
        Wait(200);
        const QPoint red =
            CColourPopup::CellRect(8).center() + QPoint(CColourPopup::kFrame, CColourPopup::kFrame);
        Mouse(popup, QEvent::MouseButtonPress, red, Qt::LeftButton);
        Mouse(popup, QEvent::MouseButtonRelease, red, Qt::NoButton);
    });
    bar->ColourButton()->click();
    Wait(300);
    dialog->grab().save(out + "/view-text-dialog.png");
    dialog->findChild<QPushButton*>("ok")->click();
}

// Text placed with the "T" command on the picture, the dialog, the view with
// the text and the picture saved through Save As.
void GrabText(CMainFrame* frame, const QString& out)
{
    auto* view = dynamic_cast<COMRImageEditorView*>(frame->View());
    msg::IndexList items;
    for (int index = CItemCanvas::Instance().Count() - 1; index >= 1; --index) {
        items.push_back(uint32_t(index));
    }
    frame->Receive(msg::WithIndexes(msg::kDeleteItems, 0, std::move(items)));
    frame->RunCommand(cmd::kNewText);
    WhenUp<CTextDialog>([out](CTextDialog* dialog) { WriteGreeting(dialog, out); });
    const QPoint at = view->PictureRect().topLeft() - view->ScrollOffset() + QPoint(40, 40);
    Mouse(view->viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(view->viewport(), QEvent::MouseButtonRelease, at, Qt::NoButton);
    Grab(frame, out + "/view-text.png");

    QTemporaryDir temporary;
    const QString saved = temporary.filePath("text.jpg");
    WhenUp<QFileDialog>([saved](QFileDialog* dialog) {
        dialog->selectFile(saved);
        static_cast<QDialog*>(dialog)->accept();
    });
    frame->RunCommand(cmd::kFileSaveAs);
    QFile::remove(out + "/text-saved.jpg");
    QFile::copy(saved, out + "/text-saved.jpg");
}

// Sets one part of the caption style through its dialog on the font bar;
// `fields` go to its number fields in order.
void ChooseStyle(CFontToolBar* bar, CTextStyleDialog::Part part, const std::vector<int>& fields)
{
    WhenUp<CTextStyleDialog>([fields](CTextStyleDialog* style) {
        for (size_t index = 0; index < fields.size(); ++index) {
            style->Fields()[index]->setValue(fields[index]);
        }
        style->findChild<QPushButton*>("ok")->click();
    });
    static_cast<QAbstractButton*>(bar->widgetForAction(bar->DecorationAction(part)))->click();
}

// Puts the sample wooden frame over the whole picture as a user does:
// found through the item library's search, placed by a double-click, then
// stretched with "사진에 맞추기", sent behind the other items and the search
// closed with Esc.
void PlaceFrame(CMainFrame* frame)
{
    CItemLibraryPanel* library = frame->ItemBar()->Library();
    CItemThumbnailList* list = library->List();
    QLineEdit* search = library->SearchField();
    search->setFocus();
    QTest::keyClicks(search, "wood");
    if (!QTest::qWaitFor([list] { return list->count() == 1 && !list->Loading(); }, 5000)) {
        return;
    }
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(list->item(0)).center());
    const auto placed = static_cast<uint32_t>(frame->View()->ItemCount() - 1);
    frame->Receive(msg::WithIndexes(msg::kContextMenu, msg::kFromItemLibrary, {placed}));
    frame->RunCommand(cmd::kFitToPicture);
    frame->Receive(msg::WithIndexes(msg::kContextMenu, msg::kFromItemLibrary, {placed}));
    frame->RunCommand(cmd::kToBack);
    frame->ItemMenu()->close();
    QTest::keyClick(search, Qt::Key_Escape);
}

// A white caption with a black outline, a soft shadow and a see-through box,
// written in the text dialog (grabbed with its preview) and placed on the
// picture beside the greeting, inside a frame from the item library.
void GrabCaption(CMainFrame* frame, const QString& out)
{
    auto* view = dynamic_cast<COMRImageEditorView*>(frame->View());
    PlaceFrame(frame);
    frame->RunCommand(cmd::kNewText);
    WhenUp<CTextDialog>([out](CTextDialog* dialog) {
        Type(dialog->TextBox(), QStringLiteral("즐거운 여행"));
        CFontToolBar* bar = dialog->FontBar();
        static_cast<QAbstractButton*>(bar->widgetForAction(bar->findChild<QAction*>("굵게")))
            ->click();
        bar->SizeBox()->lineEdit()->selectAll();
        Type(bar->SizeBox()->lineEdit(), QStringLiteral("40\n"));
        bar->ShowFormat([] {
            CharFormat white;
            white.mask = CharFormat::kColourMask;
            white.colour = 0xFFFFFF;
            return white;
        }());
        ChooseStyle(bar, CTextStyleDialog::kOutline, {3});
        ChooseStyle(bar, CTextStyleDialog::kShadow, {4, 4, 3});
        ChooseStyle(bar, CTextStyleDialog::kBox, {45, 12, 14});
        Wait(300);
        dialog->grab().save(out + "/caption-dialog.png");
        dialog->findChild<QPushButton*>("ok")->click();
    });
    const QPoint at = view->PictureRect().topLeft() - view->ScrollOffset() + QPoint(60, 200);
    Mouse(view->viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(view->viewport(), QEvent::MouseButtonRelease, at, Qt::NoButton);
    Grab(frame, out + "/caption-styled.png");
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pixvel"));
    QApplication::setWindowIcon(ProgramIcon());
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    const QStringList arguments =
        argc > 2 ? QStringList{QString::fromLocal8Bit(argv[2])} : QStringList{};
    // The picture named on the command line opens at its own size.
    QTimer accept;
    QObject::connect(&accept, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<COpenSizeDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
        }
    });
    accept.start(50);
    CEditorApp editor(arguments);
    editor.InitInstance();
    accept.stop();
    CMainFrame* frame = editor.MainFrame();
    frame->move(0, 0);
    frame->ApplyDefaultBarSizes();
    ShowFirstCategory(frame);
    Grab(frame, out + "/main-window.png");

    const QList<QAction*> menus = frame->menuBar()->actions();
    const char* names[] = {"main-menu-file.png", "main-menu-view.png", "main-menu-help.png"};
    for (int index = 0; index < menus.size() && index < 3; ++index) {
        frame->menuBar()->setActiveAction(menus[index]);
        Grab(frame, out + "/" + names[index]);
        menus[index]->menu()->close();
    }
    frame->menuBar()->setActiveAction(nullptr);

    frame->Receive(msg::WithIndexes(msg::kContextMenu, 0, {1}));
    Wait(200);
    frame->ItemMenu()->popup(frame->mapToGlobal(QPoint(420, 300)));
    Wait(200);
    frame->CropMenu()->menuAction()->setEnabled(true);
    frame->ItemMenu()->setActiveAction(frame->CropMenu()->menuAction());
    Wait(300);
    Grab(frame, out + "/main-item-menu.png");
    frame->ItemMenu()->close();

    if (!arguments.isEmpty()) {
        GrabView(frame, out);
        GrabText(frame, out);
        GrabCaption(frame, out);
    }

    CAboutDialog about(frame);
    about.show();
    about.move(frame->geometry().center() - QPoint(about.width() / 2, about.height() / 2));
    Wait(300);
    const QRect box = about.frameGeometry();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, box.x(), box.y(), box.width(), box.height())
        .save(out + "/main-about.png");
    return 0;
}
