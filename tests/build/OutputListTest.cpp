// The output list keeps the newest rows within its bounds and says how many older
// rows were dropped.
#include "build/OutputList.h"

#include <gtest/gtest.h>

using asmora::build::OutputRows;
using asmora::build::TOutputList;

namespace {

QString notice(int dropped, int kept) {
    return QStringLiteral("……较早的 %1 行输出已被丢弃，这里只保留最新的 %2 行。").arg(dropped).arg(kept);
}

std::vector<QString> numbered(int first, int count) {
    std::vector<QString> rows;
    for (int i = first; i < first + count; ++i) rows.push_back(QString::number(i));
    return rows;
}

}  // namespace

TEST(OutputList, KeepsTheNewestRowsAndSaysHowManyWereDropped) {
    TOutputList list;
    list.setLimits(4, OutputRows::kDefaultCharacterLimit);
    list.addRows(numbered(0, 3));
    EXPECT_EQ(list.rows(), (QStringList{"0", "1", "2"}));  // within the bound: no notice

    const struct {
        int first, count;
        QStringList rows;
    } steps[] = {
        {3, 7, {notice(6, 4), "6", "7", "8", "9"}},    // one batch beyond the bound
        {10, 1, {notice(7, 4), "7", "8", "9", "10"}},  // the notice counts on
        {11, 100, {notice(107, 4), "107", "108", "109", "110"}},
    };
    for (const auto& step : steps) {
        list.addRows(numbered(step.first, step.count));
        EXPECT_EQ(list.rows(), step.rows) << step.first;
        EXPECT_EQ(list.count(), 5);
    }
    list.selectLast();
    EXPECT_EQ(list.currentIndex().row(), 4);

    list.clear();
    EXPECT_EQ(list.count(), 0);
    list.addRow(QStringLiteral("fresh"));
    EXPECT_EQ(list.rows(), QStringList{"fresh"});
}

TEST(OutputList, KeepsWithinTheCharacterBoundButAlwaysTheNewestRow) {
    TOutputList list;
    list.setLimits(100, 10);
    list.addRows({QStringLiteral("aaaa"), QStringLiteral("bbbb"), QStringLiteral("cccc")});
    EXPECT_EQ(list.rows(), (QStringList{notice(1, 2), "bbbb", "cccc"}));
    list.addRow(QString(50, u'x'));
    EXPECT_EQ(list.rows(), (QStringList{notice(3, 1), QString(50, u'x')}));
}

TEST(OutputList, TheViewIsToldOfEveryRemovalAndInsertion) {
    TOutputList list;
    list.setLimits(2, OutputRows::kDefaultCharacterLimit);
    auto* model = list.model();
    int reported = 0;
    QObject::connect(model, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) { reported += last - first + 1; });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved,
                     [&](const QModelIndex&, int first, int last) { reported -= last - first + 1; });
    for (int i = 0; i < 5; ++i) {
        list.addRows(numbered(i * 3, 3));
        EXPECT_EQ(reported, model->rowCount()) << i;
    }
    EXPECT_EQ(model->index(0, 0).data().toString(), notice(13, 2));
}
