// Message rows of the assembler and linker: what the parser reads out of them, and the
// Chinese explanation table checked against the tools' own message tables.
#include "build/OutputList.h"
#include "build/ToolMessages.h"

#include "Diagnostics.h"
#include "LinkMessages.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace asmora::build;

TEST(ToolMessagesTest, RowsOfTheAssemblerAndLinkerAreRead) {
    const struct {
        const char16_t* row;
        const char16_t* origin;
        int line;
        const char* code;
        bool warning;
    } cases[] = {
        {u"/home/u/实验 1/lab1.asm(35) : error A2008: syntax error : mvo", u"/home/u/实验 1/lab1.asm", 35, "A2008",
         false},
        {u"/home/u/实验 1/io.h(7) : error A2006: symbol is not defined : x", u"/home/u/实验 1/io.h", 7, "A2006", false},
        {u"/home/u/lab (2)/a.asm(120) : fatal error A1000: cannot open file : x.inc", u"/home/u/lab (2)/a.asm", 120,
         "A1000", false},
        {u"lab1.asm(3) : warning A4011: .MODEL given again; ignored\r\n", u"lab1.asm", 3, "A4011", true},
        {u"ML : fatal error A1017: no source file was given", u"ML", 0, "A1017", false},
        {u"lab1.obj : error LNK2001: unresolved external symbol _foo", u"lab1.obj", 0, "LNK2001", false},
        {u"lab1.exe : fatal error LNK1120: 1 unresolved externals", u"lab1.exe", 0, "LNK1120", false},
        {u"LINK : fatal error LNK1104: cannot open file 'io.obj'", u"LINK", 0, "LNK1104", false},
        {u"LINK : warning LNK4044: unrecognized option '/x'; ignored", u"LINK", 0, "LNK4044", true},
    };
    for (const auto& c : cases) {
        const QString row = QString::fromUtf16(c.row);
        const auto message = parseToolMessage(row);
        ASSERT_TRUE(message) << row.toStdString();
        EXPECT_EQ(message->origin, QString::fromUtf16(c.origin));
        EXPECT_EQ(message->line, c.line) << row.toStdString();
        EXPECT_EQ(message->code, QLatin1String(c.code));
        EXPECT_EQ(message->warning, c.warning);
    }
    EXPECT_EQ(parseToolMessage(QStringLiteral("lab1.obj : error LNK2001: unresolved external symbol _foo"))->text,
              QStringLiteral("unresolved external symbol _foo"));

    for (const char16_t* other : {u"", u" Assembling: /home/u/lab1.asm", u" getValue(3): inside macro expansion",
                                  u"  lab1.asm(12): invoked from this line", u"运行指令：/opt/a>bin/ml.exe /c x.asm",
                                  u"---------- 汇  编 ----------", u"error A2008 without an origin"})
        EXPECT_FALSE(parseToolMessage(QString::fromUtf16(other))) << QString::fromUtf16(other).toStdString();
}

// Every number the assembler and the linker can print is explained, and every
// explanation belongs to a number they print.
TEST(ToolMessagesTest, TheExplanationsMatchTheToolsMessageTables) {
    QSet<QString> printed;
    for (const ml::DiagInfo& diag : ml::diagTable()) printed.insert(QStringLiteral("A%1").arg(diag.number));
    for (const auto& message : asmora::link::linkMessageTable())
        printed.insert(QStringLiteral("LNK%1").arg(message.number));

    QSet<QString> explained;
    for (const ErrorExplanation& row : errorExplanations()) {
        const QString code = QLatin1String(row.code);
        EXPECT_FALSE(explained.contains(code)) << "explained twice: " << row.code;
        explained.insert(code);
        EXPECT_TRUE(printed.contains(code)) << "no tool prints " << row.code;
        const QString text = QString::fromUtf16(row.text);
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]")))) << row.code;
        EXPECT_LE(text.size(), 80) << row.code;
    }
    for (const QString& code : printed) EXPECT_TRUE(explained.contains(code)) << "unexplained: " << code.toStdString();
    EXPECT_GE(explained.size(), 25);
    for (const char* common : {"A2008", "A2006", "A2070", "A2022", "A2005", "A1000", "LNK2001", "LNK1120"})
        EXPECT_FALSE(explanationOf(QLatin1String(common)).isEmpty()) << common;
    EXPECT_TRUE(explanationOf(QStringLiteral("A9999")).isEmpty());
}

TEST(ToolMessagesTest, TheOutputListShowsTheExplanationBesideTheUnchangedRow) {
    TOutputList list;
    const QString error = QStringLiteral("/home/u/实验 1/lab1.asm(35) : error A2008: syntax error : mvo");
    list.addRows({QStringLiteral(" Assembling: lab1.asm"), error});
    EXPECT_EQ(list.rows(), (QStringList{QStringLiteral(" Assembling: lab1.asm"), error}));
    EXPECT_TRUE(list.explanation(0).isEmpty());
    EXPECT_EQ(list.explanation(1), explanationOf(QStringLiteral("A2008")));
    EXPECT_EQ(list.model()->index(1, 0).data(Qt::DisplayRole).toString(), error);
}
