// The output list and its row model.
#include "OutputList.h"

#include "ToolMessages.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace asmora::build {
namespace {

// Draws rows on one line (CR and LF shown as nothing) and gives every row the
// list's scroll width, so the list scrolls sideways over the whole extent. A message
// row gets its explanation drawn after its text, in its own colour.
class RowDelegate final : public QStyledItemDelegate {
public:
    RowDelegate(const int& extent, QObject* parent) : QStyledItemDelegate(parent), extent_(extent) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString explanation = index.data(OutputRows::ExplanationRole).toString();
        if (explanation.isEmpty()) return;
        constexpr int kGap = 24;
        const QString shown = index.data(Qt::DisplayRole).toString();
        QRect area = option.rect;
        area.setLeft(area.left() + option.fontMetrics.horizontalAdvance(shown) + kGap);
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        painter->setPen(selected ? option.palette.color(QPalette::HighlightedText) : QColor(0xA0, 0x20, 0x20));
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("【说明】") + explanation);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(qMax(size.width(), extent_));
        size.setHeight(qMax(12, option.fontMetrics.height()));
        return size;
    }

private:
    const int& extent_;
};

QString singleLine(const QString& row) {
    if (!row.contains(u'\r') && !row.contains(u'\n')) return row;
    QString shown = row;
    shown.remove(u'\r').remove(u'\n');
    return shown;
}

}  // namespace

int OutputRows::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

QVariant OutputRows::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) return {};
    if (role == Qt::DisplayRole) return singleLine(at(index.row()));
    if (role == ExplanationRole || role == Qt::ToolTipRole) return explanationOfRow(at(index.row()));
    return {};
}

QString OutputRows::at(int row) const {
    if (dropped_ > 0) {
        if (row == 0) return notice();
        --row;
    }
    return rows_[static_cast<size_t>(row)];
}

QString OutputRows::notice() const {
    return QStringLiteral("……较早的 %1 行输出已被丢弃，这里只保留最新的 %2 行。").arg(dropped_).arg(rows_.size());
}

void OutputRows::clear() {
    beginResetModel();
    std::deque<QString>().swap(rows_);
    characters_ = 0;
    dropped_ = 0;
    endResetModel();
}

void OutputRows::append(const QString& row) { append(std::vector<QString>{row}); }

void OutputRows::append(std::vector<QString>&& rows) {
    if (rows.empty()) return;
    beginInsertRows({}, count(), count() + static_cast<int>(rows.size()) - 1);
    for (QString& row : rows) {
        characters_ += row.size();
        rows_.push_back(std::move(row));
    }
    endInsertRows();
    dropOldest();
}

void OutputRows::setLimits(int rows, qint64 characters) {
    rowLimit_ = qMax(1, rows);
    characterLimit_ = characters;
    dropOldest();
}

// Removes the oldest rows beyond the bounds, then shows or updates the notice.
void OutputRows::dropOldest() {
    size_t excess = 0;
    qint64 characters = characters_;
    while (rows_.size() - excess > 1 &&
           (rows_.size() - excess > static_cast<size_t>(rowLimit_) || characters > characterLimit_))
        characters -= rows_[excess++].size();
    if (excess == 0) return;
    const int first = dropped_ > 0 ? 1 : 0;
    beginRemoveRows({}, first, first + static_cast<int>(excess) - 1);
    rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(excess));
    characters_ = characters;
    const bool noticeShown = dropped_ > 0;
    endRemoveRows();
    if (noticeShown) {
        dropped_ += static_cast<qint64>(excess);
        emit dataChanged(index(0), index(0));
        return;
    }
    beginInsertRows({}, 0, 0);
    dropped_ = static_cast<qint64>(excess);
    endInsertRows();
}

TOutputList::TOutputList(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("ListBox1"));
    setModel(&rows_);
    setItemDelegate(new RowDelegate(extent_, this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
}

void TOutputList::clear() { rows_.clear(); }

void TOutputList::addRow(const QString& row) { rows_.append(row); }

void TOutputList::addRows(std::vector<QString>&& rows) { rows_.append(std::move(rows)); }

void TOutputList::selectLast() {
    if (count() == 0) return;
    const QModelIndex last = rows_.index(count() - 1);
    setCurrentIndex(last);
    scrollTo(last);
}

void TOutputList::pageDown() {
    QScrollBar* bar = verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
}

QStringList TOutputList::rows() const {
    QStringList all;
    all.reserve(count());
    for (int i = 0; i < count(); ++i) all.append(rows_.at(i));
    return all;
}

int TOutputList::currentRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

void TOutputList::selectRow(int index) {
    if (index < 0 || index >= count()) return;
    const QModelIndex row = rows_.index(index);
    setCurrentIndex(row);
    scrollTo(row);
}

QString TOutputList::explanation(int index) const {
    return rows_.index(index).data(OutputRows::ExplanationRole).toString();
}

void TOutputList::setHorizontalExtent(int pixels) {
    extent_ = pixels;
    // Uniform row sizes are measured once; a new extent needs a new measurement.
    setUniformItemSizes(false);
    setUniformItemSizes(true);
    doItemsLayout();
}

}  // namespace asmora::build
