#include "platform/ui/Controls.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

int DefaultSliderPageStep(int minimum, int maximum) {
    return std::max(1, (maximum - minimum) / 5);
}

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL) {
    const QSignalBlocker quiet(slider_);
    slider_->setRange(minimum, maximum);
    slider_->setPageStep(DefaultSliderPageStep(slider_->minimum(), slider_->maximum()));
}

int CSliderCtrl::GetRangeMin() const {
    return slider_->minimum();
}

int CSliderCtrl::GetRangeMax() const {
    return slider_->maximum();
}

void CSliderCtrl::SetPos(int position) {
    if (slider_->value() == position)
        return;
    const QSignalBlocker quiet(slider_);
    slider_->setValue(position);
}

int CSliderCtrl::GetPos() const {
    return slider_->value();
}

void CSliderCtrl::SetTicFreq(int frequency) {
    slider_->setTickInterval(frequency);
}

void CListCtrl::SetExtendedStyle(DWORD style) {
    extendedStyle_ = style;
    table_->setShowGrid((style & LVS_EX_GRIDLINES) != 0);
    table_->setSelectionBehavior((style & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                                : QAbstractItemView::SelectItems);
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
    const int at = std::clamp(column, 0, table_->columnCount());
    table_->insertColumn(at);
    auto* header = new QTableWidgetItem(QString::fromUtf8(heading ? heading : ""));
    table_->setHorizontalHeaderItem(at, header);
    table_->setColumnWidth(at, width);
    columnFormats_.insert(columnFormats_.begin() + at, format);
    return at;
}

int CListCtrl::GetColumnCount() const {
    return table_->columnCount();
}

namespace {

Qt::Alignment AlignmentOf(int format) {
    if (format & LVCFMT_CENTER)
        return Qt::AlignCenter;
    if (format & LVCFMT_RIGHT)
        return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

int CListCtrl::InsertItem(int item, const char* text) {
    const int at = std::clamp(item, 0, table_->rowCount());
    table_->insertRow(at);
    SetItemText(at, 0, text);
    return at;
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
    if (item < 0 || item >= table_->rowCount() || subItem < 0 || subItem >= table_->columnCount())
        return FALSE;
    auto* cell = new QTableWidgetItem(QString::fromUtf8(text ? text : ""));
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    cell->setTextAlignment(AlignmentOf(columnFormats_[static_cast<std::size_t>(subItem)]));
    table_->setItem(item, subItem, cell);
    return TRUE;
}

QString CListCtrl::GetItemText(int item, int subItem) const {
    const QTableWidgetItem* cell = table_->item(item, subItem);
    return cell ? cell->text() : QString();
}

int CListCtrl::GetItemCount() const {
    return table_->rowCount();
}

BOOL CListCtrl::DeleteAllItems() {
    table_->setRowCount(0);
    return TRUE;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    if (item < 0 || item >= table_->rowCount())
        return FALSE;
    const QSignalBlocker quiet(table_);
    if (mask & LVIS_SELECTED) {
        const QModelIndex index = table_->model()->index(item, 0);
        const auto command =
            (state & LVIS_SELECTED) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect;
        table_->selectionModel()->select(index, command | QItemSelectionModel::Rows);
    }
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        table_->selectionModel()->setCurrentIndex(table_->model()->index(item, 0),
                                                  QItemSelectionModel::NoUpdate);
    return TRUE;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
    UINT state = 0;
    if (item < 0 || item >= table_->rowCount())
        return 0;
    if (table_->selectionModel()->isRowSelected(item, QModelIndex()))
        state |= LVIS_SELECTED;
    if (table_->currentIndex().isValid() && table_->currentIndex().row() == item)
        state |= LVIS_FOCUSED;
    return state & mask;
}

BOOL CListCtrl::EnsureVisible(int item, BOOL) {
    if (item < 0 || item >= table_->rowCount())
        return FALSE;
    table_->scrollTo(table_->model()->index(item, 0));
    return TRUE;
}

void CListCtrl::SetFocus() {
    table_->setFocus(Qt::OtherFocusReason);
    // Focus given to a control of an inactive window brings that window to the front.
    table_->activateWindow();
}

QRect CListCtrl::GetClientRect() const {
    return QRect(QPoint(0, 0), table_->viewport()->size());
}

void HighlightTabBar::HighlightItem(int index, bool highlight) {
    if (index < 0 || index >= count())
        return;
    if (highlighted_.size() < static_cast<std::size_t>(count()))
        highlighted_.resize(static_cast<std::size_t>(count()), false);
    highlighted_[static_cast<std::size_t>(index)] = highlight;
    update();
}

bool HighlightTabBar::IsHighlighted(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < highlighted_.size() &&
           highlighted_[static_cast<std::size_t>(index)];
}

void HighlightTabBar::paintEvent(QPaintEvent* event) {
    QTabBar::paintEvent(event);
    QPainter painter(this);
    for (int i = 0; i < count(); ++i) {
        if (!IsHighlighted(i))
            continue;
        QColor colour = palette().color(QPalette::Highlight);
        colour.setAlpha(80);
        painter.fillRect(tabRect(i).adjusted(2, 2, -2, 0), colour);
    }
}

void HighlightTabBar::tabRemoved(int index) {
    if (static_cast<std::size_t>(index) < highlighted_.size())
        highlighted_.erase(highlighted_.begin() + index);
    QTabBar::tabRemoved(index);
}

CTabCtrl::CTabCtrl(QWidget* parent) : QTabWidget(parent), bar_(new HighlightTabBar(this)) {
    setTabBar(bar_);
}

BOOL CTabCtrl::HighlightItem(int index, BOOL highlight) {
    if (index < 0 || index >= count())
        return FALSE;
    bar_->HighlightItem(index, highlight != 0);
    return TRUE;
}
