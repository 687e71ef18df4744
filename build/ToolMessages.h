// Reads an assembler or linker message out of an output-list row, and says in Chinese
// what the message usually means for a student:
//   /home/u/实验 1/lab1.asm(35) : error A2008: syntax error : mvo
//   lab1.obj : error LNK2001: unresolved external symbol _foo
//   LINK : fatal error LNK1104: cannot open file 'io.obj'
#pragma once

#include <QString>

#include <optional>
#include <span>

namespace asmora::build {

struct ToolMessage {
    QString origin;  // the source file, object, program or tool named before " : "
    int line = 0;    // the source line, 1-based; 0 when the row names none
    QString code;    // "A2008", "LNK2001"
    bool warning = false;
    QString text;  // what follows the code
};

// The message a row holds, or nothing for any other row.
std::optional<ToolMessage> parseToolMessage(const QString& row);

// One row of the explanation table: a message code and its explanation.
struct ErrorExplanation {
    const char* code;
    const char16_t* text;
};

std::span<const ErrorExplanation> errorExplanations();
// The explanation of a code ("A2008"), empty when the table has none.
QString explanationOf(const QString& code);
// The explanation of the message a row holds, empty for other rows.
QString explanationOfRow(const QString& row);

}  // namespace asmora::build
