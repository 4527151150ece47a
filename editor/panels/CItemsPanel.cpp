#include "CItemsPanel.h"

#include "CEditingState.h"
#include "CItem.h"
#include "CItemCanvas.h"
#include "CItemFolder.h"
#include "CPageHeaderButton.h"
#include "CValueSlider.h"
#include "MainWindowCommand.h"
#include "Refusal.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int kListTop = 60;
constexpr int kHeaderHeight = 25;
constexpr int kColumnWidth = 197;
constexpr int kCopyItemCommand = 32848;
constexpr int kPasteItemCommand = 32849;
const QString kBaseRefusal = QStringLiteral("원본이미지는 삭제할 수 없습니다.");

} // namespace

CItemsPanel::CItemsPanel(CMessageReceiver* mainWindow, QWidget* parent)
    : QWidget(parent), mainWindow_(mainWindow),
      header_(new CPageHeaderButton(QStringLiteral("아이템"), false, this)),
      label_(new QLabel(QStringLiteral("투명도:"), this)), slider_(new CValueSlider(kSlider, this)),
      box_(new QLineEdit(this)), list_(new QTableWidget(0, 1, this))
{
    setObjectName(QStringLiteral("ItemsPanel"));
    setAccessibleName(QStringLiteral("아이템"));
    header_->setGeometry(0, 0, 200, kHeaderHeight);
    label_->setGeometry(10, 40, 40, 12);
    label_->setAttribute(Qt::WA_TranslucentBackground);
    slider_->setObjectName(QString::number(kSlider));
    slider_->setAccessibleName(QStringLiteral("투명도"));
    slider_->setGeometry(50, 38, 100, 19);
    slider_->SetRange(0, 100);
    slider_->SetStep(1.0f);
    slider_->SetMarker(100);
    slider_->SetPosition(100);
    label_->setBuddy(slider_);
    box_->setObjectName(QStringLiteral("1020"));
    box_->setAccessibleName(QStringLiteral("투명도 값"));
    box_->setReadOnly(true);
    box_->setFrame(false);
    box_->setGeometry(152, 38, 30, 12);
    box_->setText(QString::number(opacity_));

    list_->setObjectName(QStringLiteral("1078"));
    list_->setAccessibleName(QStringLiteral("아이템 목록"));
    list_->setHorizontalHeaderLabels({QStringLiteral("아이템")});
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->horizontalHeader()->resizeSection(0, kColumnWidth);
    list_->verticalHeader()->hide();
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setIconSize(kMarkerSize);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->installEventFilter(this);
    list_->setGeometry(1, kListTop, 198, 100);

    connect(list_, &QTableWidget::itemSelectionChanged, this, &CItemsPanel::SelectionChanged);
    connect(list_, &QTableWidget::customContextMenuRequested, this, &CItemsPanel::ShowContextMenu);
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int row) { EditRow(row); });
    connect(slider_, &CValueSlider::Moved, this, [this](int, int at) { OpacityMoved(at, false); });
    connect(slider_, &CValueSlider::Set, this, [this](int, int at) { OpacityMoved(at, true); });
    setTabOrder(slider_, list_);
}

// ---- rows

QString CItemsPanel::RowName(const QString& path)
{
    QString name = path;
    // Paths of this platform separate with '/', those from item lists and
    // older settings with '\\'.
    const qsizetype slash =
        std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')));
    if (slash > 0) {
        name = name.mid(slash + 1);
    }
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        name.truncate(dot);
    }
    return name;
}

int CItemsPanel::RowCount() const
{
    return list_->rowCount();
}

QString CItemsPanel::RowText(int row) const
{
    const QTableWidgetItem* item = list_->item(row, 0);
    return item != nullptr ? item->text() : QString();
}

bool CItemsPanel::Marked(int row) const
{
    const QTableWidgetItem* item = list_->item(row, 0);
    return item != nullptr && item->data(Qt::UserRole).toBool();
}

int CItemsPanel::SelectedRow() const
{
    const QList<QTableWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

// Rebuilds the rows from the list of layers; the selection is left to the
// caller.
void CItemsPanel::Fill()
{
    const QSignalBlocker blocker(list_);
    const QStringList entries = rows_.Entries();
    list_->setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row) {
        QString text = rows_.ShownName(row, RowName(entries[row]));
        if (row == rows_.ItemCount()) {
            text = QStringLiteral("(원본 %1×%2) %3")
                       .arg(baseSize_.width())
                       .arg(baseSize_.height())
                       .arg(text);
        }
        auto* item = new QTableWidgetItem(text);
        item->setData(Qt::UserRole, false);
        item->setIcon(MarkerImage(0));
        list_->setItem(row, 0, item);
    }
    list_->clearSelection();
}

void CItemsPanel::PictureOpened(const QString& path)
{
    rows_.StartPicture(path);
    baseSize_ = CItemCanvas::Instance().BaseSize().toSize();
    Fill();
}

void CItemsPanel::AddRow(const QString& path)
{
    rows_.Add(path);
    ShowNewTop();
}

void CItemsPanel::TextPlaced(const QString& name)
{
    rows_.AddText(CItemFolder::kTextItem, name);
    ShowNewTop();
}

void CItemsPanel::ShowNewTop()
{
    Fill();
    SelectIndexes({uint32_t(rows_.ItemCount())});
}

// Selects the row of every index in turn (the last one stays), without
// telling the main window.
void CItemsPanel::SelectIndexes(const msg::IndexList& indexes)
{
    synchronising_ = true;
    for (const uint32_t index : indexes) {
        SelectRow(RowCount() - int(index) - 1);
    }
    synchronising_ = false;
}

void CItemsPanel::SelectRow(int row)
{
    list_->clearSelection();
    if (row >= 0 && row < RowCount()) {
        list_->setCurrentCell(row, 0);
        list_->selectRow(row);
    }
    SelectionChanged();
}

void CItemsPanel::SelectionChanged()
{
    const int selected = SelectedRow();
    for (int row = 0; row < RowCount(); ++row) {
        QTableWidgetItem* item = list_->item(row, 0);
        item->setData(Qt::UserRole, row == selected);
        item->setIcon(MarkerImage(row == selected ? 1 : 0));
    }
    if (!synchronising_ && selected >= 0) {
        Send(msg::WithIndexes(msg::kSelectItems, msg::kFromItemsPanel,
                              {uint32_t(IndexOfRow(selected))}));
    }
}

void CItemsPanel::DeleteRows(const std::optional<msg::IndexList>& indexes)
{
    if (!indexes) {
        rows_.Clear();
        Fill();
        return;
    }
    msg::IndexList items;
    for (const uint32_t index : *indexes) {
        if (index == 0) {
            ShowRefusal(this, kBaseRefusal);
        } else {
            items.push_back(index);
        }
    }
    if (items.empty() || !rows_.Remove(items)) {
        return;
    }
    Fill();
    // The layer just above the last one deleted; none when that was the top.
    synchronising_ = true;
    SelectRow(RowCount() - int(items.back()) - 1);
    synchronising_ = false;
}

void CItemsPanel::MoveRow(const msg::IndexList& indexes)
{
    if (indexes.size() != 2 || !rows_.Move(int(indexes[0]), int(indexes[1]))) {
        return;
    }
    Fill();
    SelectIndexes({indexes[1]});
}

// The view tells the base picture's new size at index 0; the same message
// with no size is an item list's request to edit a text, which changes no
// row.
void CItemsPanel::SetBaseSize(int index, long size)
{
    if (index != 0 || size == 0 || !rows_.HasPicture()) {
        return;
    }
    baseSize_ = QSize(msg::LowWord(size), msg::HighWord(size));
    const int selected = SelectedRow();
    Fill();
    SelectIndexes({uint32_t(IndexOfRow(selected))});
}

void CItemsPanel::Receive(msg::Message message)
{
    switch (message.id) {
    case msg::kSelectItems:
        SelectIndexes(message.indexes.value_or(msg::IndexList{}));
        break;
    case msg::kDeleteItems:
        DeleteRows(message.indexes);
        break;
    case msg::kMoveItem:
        MoveRow(message.indexes.value_or(msg::IndexList{}));
        break;
    case msg::kBaseSize:
        SetBaseSize(int(message.wparam), message.lparam);
        break;
    case msg::kRefreshPanels:
        Refresh();
        break;
    case msg::kSelectAllRows:
    case msg::kDeselectAll:
        // A single-selection list cannot select all its rows: both leave
        // none selected.
        synchronising_ = true;
        SelectRow(-1);
        synchronising_ = false;
        break;
    default:
        break;
    }
}

// ---- requests from the list

void CItemsPanel::DeleteSelected()
{
    const int selected = SelectedRow();
    if (selected < 0) {
        return;
    }
    msg::IndexList indexes;
    if (selected == RowCount() - 1) {
        ShowRefusal(this, kBaseRefusal);
    } else {
        indexes.push_back(uint32_t(IndexOfRow(selected)));
    }
    Send(msg::WithIndexes(msg::kDeleteItems, msg::kFromItemsPanel, indexes));
}

void CItemsPanel::ShowContextMenu()
{
    const int selected = SelectedRow();
    if (selected >= 0) {
        Send(msg::WithIndexes(msg::kContextMenu, msg::kFromItemsPanel,
                              {uint32_t(IndexOfRow(selected))}));
    }
}

void CItemsPanel::EditRow(int row)
{
    if (row < 0 || row >= RowCount() - 1) {
        return;
    }
    const CItem* item = CItemCanvas::Instance().ItemAt(IndexOfRow(row));
    if (item != nullptr && item->GetKind() == CItem::Text) {
        Send(msg::Make(msg::kEditItem, IndexOfRow(row), 0));
    }
}

bool CItemsPanel::ListKey(const QKeyEvent* event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int key = event->key();
    if (key == Qt::Key_Delete || (control && key == Qt::Key_D)) {
        DeleteSelected();
    } else if (control && key == Qt::Key_C) {
        RunMainWindowCommand(this, kCopyItemCommand);
    } else if (control && key == Qt::Key_V) {
        RunMainWindowCommand(this, kPasteItemCommand);
    } else {
        return false;
    }
    return true;
}

bool CItemsPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        return ListKey(static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

void CItemsPanel::keyPressEvent(QKeyEvent* event)
{
    // Enter, Esc and Ctrl+Break end here: nothing closes the page.
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
        key == Qt::Key_Pause || key == Qt::Key_Cancel) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- opacity

void CItemsPanel::OpacityMoved(int position, bool finished)
{
    opacity_ = position;
    box_->setText(QString::number(opacity_));
    CItem* item = CEditingState::Instance().currentItem;
    if (item != nullptr) {
        item->Effects().opacity = opacity_;
    }
    // The view previews the change while the thumb moves, and renders it
    // in full when it is released.
    Send(finished ? msg::Make(msg::kEffectsChanged, kSlider) : msg::Make(msg::kEffectsPreview));
}

void CItemsPanel::Refresh()
{
    const CItem* item = CEditingState::Instance().currentItem;
    if (item == nullptr) {
        return;
    }
    opacity_ = item->Effects().opacity;
    slider_->SetPosition(opacity_);
    box_->setText(QString::number(opacity_));
}

// ---- drawing

QPixmap CItemsPanel::MarkerImage(int which)
{
    QPixmap image(kMarkerSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QColor(96, 96, 96));
    painter.setBrush(Qt::white);
    painter.drawRect(4, 3, 13, 13);
    if (which == 1) {
        // A pencil lying from the lower left to the upper right of the box.
        painter.setRenderHint(QPainter::Antialiasing);
        const QPolygonF body{{7.0, 14.0}, {6.0, 12.0}, {13.0, 5.0}, {15.0, 7.0}, {8.0, 14.0}};
        painter.setPen(QColor(40, 40, 40));
        painter.setBrush(QColor(240, 176, 32));
        painter.drawPolygon(body);
        painter.setBrush(QColor(40, 40, 40));
        painter.drawPolygon(QPolygonF{{6.0, 12.0}, {5.0, 15.0}, {8.0, 14.0}});
    }
    return image;
}

void CItemsPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, kHeaderHeight, width(), kListTop - kHeaderHeight),
                     QColor(238, 238, 238));
    painter.setPen(Qt::black);
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.drawPolyline(
        QPolygon{{0, kHeaderHeight}, {0, bottom}, {right, bottom}, {right, kHeaderHeight}});
}

void CItemsPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    list_->setGeometry(1, kListTop, std::max(0, width() - 2), std::max(0, height() - kListTop - 1));
}
