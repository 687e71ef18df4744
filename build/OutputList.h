// The output list under the editor (`ListBox1`): an ordered list of single-line text
// rows with the four operations other commands use (clear, append a row, select the
// last row, page down). Rows may hold CR and LF characters; they are part of the row
// and are not drawn as line breaks. The rows live in a model so that a million rows
// from a tool append quickly. Beside an assembler or linker message row the list
// shows a short Chinese explanation; the row itself stays as the tool wrote it.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

#include <vector>

namespace asmora::build {

class OutputRows final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // The Chinese explanation of a message row (empty for other rows).
    static constexpr int ExplanationRole = Qt::UserRole + 1;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void clear();
    void append(const QString& row);
    void append(std::vector<QString>&& rows);
    const QString& at(int row) const { return rows_[static_cast<size_t>(row)]; }
    int count() const { return static_cast<int>(rows_.size()); }

private:
    std::vector<QString> rows_;
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
