#pragma once

#include "CMessageReceiver.h"
#include "CPlacementReceiver.h"
#include "CUsedItemList.h"

#include <QWidget>

class CPageHeaderButton;
class CValueSlider;
class QLabel;
class QLineEdit;
class QTableWidget;

// The items page at the bottom of the effects tab: the picture's layers,
// topmost first and the base picture last, with a pencil marker on the
// selected layer and an opacity slider for the current item above them.
// Row r shows the item with document index (row count - r - 1). The rows
// follow the same arithmetic as the item library's used-items list.
class CItemsPanel : public QWidget, public CMessageReceiver, public CPlacementReceiver
{
    Q_OBJECT

public:
    static constexpr int kSlider = 1019;
    static constexpr QSize kMarkerSize{22, 19};

    explicit CItemsPanel(CMessageReceiver* mainWindow, QWidget* parent = nullptr);

    // A row for an item just placed on top; selects it.
    void AddRow(const QString& path);
    // The select, delete, refresh, move, base-size and selection messages.
    void Receive(msg::Message message) override;
    void PictureOpened(const QString& path) override;
    void ItemPlaced(const QString& label) override { AddRow(label); }
    void TextPlaced(const QString& name) override;
    // The opacity controls take the current item's opacity.
    void Refresh();

    QTableWidget* List() const { return list_; }
    CValueSlider* Slider() const { return slider_; }
    QLineEdit* OpacityBox() const { return box_; }
    int RowCount() const;
    QString RowText(int row) const;
    // Whether the row shows the pencil.
    bool Marked(int row) const;
    int SelectedRow() const;

    // The name a row shows for a source path: the file name without its
    // extension.
    static QString RowName(const QString& path);
    // 0: the empty box; 1: the pencil in a box.
    static QPixmap MarkerImage(int which);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill();
    void ShowNewTop();
    void SelectRow(int row);
    void SelectIndexes(const msg::IndexList& indexes);
    void DeleteRows(const std::optional<msg::IndexList>& indexes);
    void MoveRow(const msg::IndexList& indexes);
    void SetBaseSize(int index, long size);
    void SelectionChanged();
    void DeleteSelected();
    void ShowContextMenu();
    void EditRow(int row);
    void OpacityMoved(int position, bool finished);
    bool ListKey(const QKeyEvent* event);
    int IndexOfRow(int row) const { return RowCount() - row - 1; }
    void Send(msg::Message message) const { mainWindow_->Receive(std::move(message)); }

    CMessageReceiver* mainWindow_;
    CPageHeaderButton* header_;
    QLabel* label_;
    CValueSlider* slider_;
    QLineEdit* box_;
    QTableWidget* list_;
    CUsedItemList rows_;
    QSize baseSize_;
    int opacity_ = 100;
    bool synchronising_ = false;
};
