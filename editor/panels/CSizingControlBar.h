#pragma once

#include <QDockWidget>
#include <QSize>

class QMainWindow;
class QPainter;

// A resizable bar docked at an edge of the main window. It keeps one size per
// docking orientation and one for floating, hosts one panel that fills its
// client area, and draws a sizing edge on the side facing the document, which
// the user drags to resize the bar.
class CSizingControlBar : public QDockWidget
{
    Q_OBJECT

public:
    explicit CSizingControlBar(const QString& caption, QWidget* parent = nullptr);

    // Sets all three sizes to the bar's default size.
    void SetDefaultSize(QSize size);
    void SetMinimumSizes(QSize horizontal, QSize vertical);

    QSize HorizontalSize() const { return horzSize_; }
    QSize VerticalSize() const { return vertSize_; }
    QSize FloatingSize() const { return floatSize_; }
    QSize MinimumHorizontalSize() const { return minHorz_; }
    QSize MinimumVerticalSize() const { return minVert_; }
    QSize MinimumFloatingSize() const { return minFloat_; }

    // The dock side, or Qt::NoDockWidgetArea while floating or undocked.
    Qt::DockWidgetArea DockedArea() const;
    bool IsHorizontal() const;
    // The size of the current orientation (horizontal, vertical or floating).
    QSize CurrentSize() const;
    // Stores the size for the current orientation and lays the window out.
    void SetCurrentSize(QSize size);
    // Applies the stored size of the current orientation to the layout.
    void ApplyCurrentSize();

    // The panel becomes the only child of the client area and fills it.
    void SetPanel(QWidget* panel);
    QWidget* Panel() const { return panel_; }

    // The rectangle of the sizing edge in client coordinates (empty while
    // floating).
    QRect EdgeRect() const;
    int EdgeThickness() const;

    QSize sizeHint() const override;

protected:
    void SetEdgeWidth(int width) { edgeWidth_ = width; }
    int EdgeWidth() const { return edgeWidth_; }
    QWidget* Client() const { return client_; }

    // Drawing and mouse handling of the sizing edge; subclasses add to them.
    virtual void PaintEdge(QPainter& painter, const QRect& edge);
    virtual bool EdgePress(QPoint point);
    virtual void EdgeMove(QPoint point);
    virtual void EdgeRelease(QPoint point);
    virtual void AreaChanged(Qt::DockWidgetArea area);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QMainWindow* MainWindow() const;
    void LayOutClient();
    bool ClientEvent(QEvent* event);

    QWidget* client_;
    QWidget* panel_ = nullptr;
    QSize horzSize_{200, 200};
    QSize vertSize_{200, 200};
    QSize floatSize_{200, 200};
    QSize minHorz_{10, 15};
    QSize minVert_{15, 10};
    QSize minFloat_{37, 32};
    int edgeWidth_ = 5;
    bool dragging_ = false;
    QPoint dragStart_;
    QSize dragStartSize_;
};
