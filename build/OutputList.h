// The output list under the editor (`ListBox1`): an ordered list of single-line text
// rows with the four operations other commands use (clear, append a row, select the
// last row, page down). Rows may hold CR and LF characters; they are part of the row
// and are not drawn as line breaks. The rows live in a model so that a million rows
// from a tool append quickly. Beside an assembler or linker message row the list
// shows a short Chinese explanation; the row itself stays as the tool wrote it.
//
// The list keeps the newest rows within a bound of rows and of characters, so that a
// program printing for ever cannot fill the memory. Once rows were dropped, row 0 is
// a notice that says how many:
//   ……较早的 800001 行输出已被丢弃，这里只保留最新的 200000 行。
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

#include <deque>
#include <vector>

namespace asmora::build {

class OutputRows final : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kDefaultRowLimit = 200000;
    static constexpr qint64 kDefaultCharacterLimit = 64LL * 1024 * 1024;

    using QAbstractListModel::QAbstractListModel;

    // The Chinese explanation of a message row (empty for other rows).
    static constexpr int ExplanationRole = Qt::UserRole + 1;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void clear();
    void append(const QString& row);
    void append(std::vector<QString>&& rows);
    // Row 0 is the notice once rows were dropped.
    QString at(int row) const;
    int count() const { return static_cast<int>(rows_.size()) + (dropped_ > 0 ? 1 : 0); }
    qint64 droppedRows() const { return dropped_; }

    // The bounds: at most `rows` kept rows holding at most `characters` characters
    // (the newest row is kept whatever its length).
    void setLimits(int rows, qint64 characters);

private:
    void dropOldest();
    QString notice() const;

    std::deque<QString> rows_;
    qint64 characters_ = 0;
    qint64 dropped_ = 0;
    int rowLimit_ = kDefaultRowLimit;
    qint64 characterLimit_ = kDefaultCharacterLimit;
};

class TOutputList final : public QListView {
    Q_OBJECT
public:
    explicit TOutputList(QWidget* parent = nullptr);

    void clear();
    void addRow(const QString& row);
    void addRows(std::vector<QString>&& rows);
    void selectLast();
    void pageDown();

    int count() const { return rows_.count(); }
    // The bounds of the kept rows (OutputRows::setLimits).
    void setLimits(int rows, qint64 characters) { rows_.setLimits(rows, characters); }
    QString row(int index) const { return rows_.at(index); }
    QStringList rows() const;
    // The row shown as selected, or -1.
    int currentRow() const;
    // Selects `index` and scrolls it into view.
    void selectRow(int index);
    // The explanation shown beside a row.
    QString explanation(int index) const;

    // The width in pixels over which rows can be scrolled sideways.
    void setHorizontalExtent(int pixels);
    int horizontalExtent() const { return extent_; }

private:
    OutputRows rows_;
    int extent_ = 0;
};

}  // namespace asmora::build
