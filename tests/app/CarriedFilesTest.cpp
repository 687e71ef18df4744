// The carried files against their one list, resources/carried-files.txt: the program's
// table has the list's rows in the list's order, and the bundle inside the program
// holds, for each row, the bytes of the file the row names as its origin.
#include "app/CarriedFiles.h"
#include "platform/CarriedResources.h"
#include "resources/CarriedBundle.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <vector>

using namespace asmora::app;

namespace {

// One row of the list. Sample: bin/io.h  HFile  io_h  reported  source  toolkit/runtime/io.h
struct ListedFile {
    QString file, type, name, check, kind, origin;
};

std::vector<ListedFile> readList() {
    QFile list(QStringLiteral(ASMORA_SOURCE_DIR_PATH "/resources/carried-files.txt"));
    EXPECT_TRUE(list.open(QIODevice::ReadOnly)) << list.fileName().toStdString();
    std::vector<ListedFile> rows;
    for (const QString& line : QString::fromUtf8(list.readAll()).split(u'\n')) {
        const QString text = line.trimmed();
        if (text.isEmpty() || text.startsWith(u'#')) continue;
        const QStringList f = text.split(QRegularExpression(QStringLiteral("\\s+")));
        EXPECT_EQ(f.size(), 6) << text.toStdString();
        if (f.size() == 6) rows.push_back({f[0], f[1], f[2], f[3], f[4], f[5]});
    }
    return rows;
}

CheckRule ruleOf(const QString& check) {
    static const std::pair<const char16_t*, CheckRule> kRules[] = {
        {u"entry", CheckRule::Entry},
        {u"reported", CheckRule::Reported},
        {u"always-write", CheckRule::AlwaysWrite},
        {u"silent", CheckRule::Silent},
        {u"association", CheckRule::Association},
    };
    for (const auto& [name, rule] : kRules)
        if (check == QStringView(name)) return rule;
    ADD_FAILURE() << "unknown check " << check.toStdString();
    return CheckRule::Entry;
}

// The file whose bytes the build packed for the row: a file of the tree, or one of the
// built tool kit under its carried name.
QString originPath(const ListedFile& row) {
    if (row.kind == u"source") return QStringLiteral(ASMORA_SOURCE_DIR_PATH "/") + row.origin;
    return QStringLiteral(ASMORA_BINARY_DIR_PATH "/toolkit-out/") + QFileInfo(row.file).fileName();
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

}  // namespace

TEST(CarriedFiles, TheProgramsTableHasTheRowsOfTheListInItsOrder) {
    const std::vector<ListedFile> rows = readList();
    const std::span<const CarriedFile> table = carriedFiles();
    ASSERT_EQ(table.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].file.toStdString());
        EXPECT_EQ(QString::fromUtf16(table[i].target), rows[i].file);
        EXPECT_EQ(QString::fromLatin1(table[i].type), rows[i].type);
        EXPECT_EQ(QString::fromLatin1(table[i].name), rows[i].name);
        EXPECT_EQ(table[i].rule, ruleOf(rows[i].check));
    }
}

TEST(CarriedFiles, TheBundleHoldsTheBytesOfEachRowsOrigin) {
    asmora::resources::registerCarriedFiles();
    for (const ListedFile& row : readList()) {
        SCOPED_TRACE(row.file.toStdString());
        const QByteArray carried = platform::carriedResource(row.type, row.name);
        if (row.kind == u"library") {
            // The system's editing library: a shared object, whatever its version.
            EXPECT_TRUE(
                carried.startsWith("\x7f"
                                   "ELF"));
            continue;
        }
        EXPECT_FALSE(carried.isEmpty());
        EXPECT_EQ(carried, bytesOf(originPath(row)));
    }
}

// The built tools find the tool kit's files of the tree beside themselves under their
// carried names, as they do in bin/ (asmora_gdb.py as eecxx.dll).
TEST(CarriedFiles, TheToolKitsFilesOfTheTreeStandBesideTheBuiltTools) {
    int staged = 0;
    for (const ListedFile& row : readList()) {
        if (row.kind != u"source" || !row.origin.startsWith(u"toolkit/")) continue;
        SCOPED_TRACE(row.file.toStdString());
        const QString beside = QStringLiteral(ASMORA_BINARY_DIR_PATH "/toolkit-out/") + QFileInfo(row.file).fileName();
        EXPECT_EQ(bytesOf(beside), bytesOf(originPath(row)));
        ++staged;
    }
    EXPECT_EQ(staged, 12);  // the nine support files, WINDBG.HLP, IO.ASM and io.h
}
