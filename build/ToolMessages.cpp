// Message rows of the assembler and linker: the parser and the Chinese explanations.
#include "ToolMessages.h"

#include <QRegularExpression>

namespace asmora::build {
namespace {

// Every message the assembler (A) and the linker (LNK) can print, with what it
// usually means in a student's program and what to check.
constexpr ErrorExplanation kExplanations[] = {
    // The assembler: fatal errors.
    {"A1000", u"打不开文件：检查 INCLUDE 的文件名和路径是否写对、文件是否存在（io.h 应与源文件在同一目录）。"},
    {"A1001", u"写不出输出文件：检查输出目录是否存在、是否有写权限，或文件是否正被其他程序占用。"},
    {"A1007", u"INCLUDE、宏或块嵌套太深：检查是否有文件包含自己，或宏无休止地调用自己。"},
    {"A1008", u"MACRO 或 REPT 块缺少对应的 ENDM：检查每个宏定义的末尾。"},
    {"A1009", u"宏或重复块展开的行数太多：检查 REPT 的次数或递归的宏。"},
    {"A1010", u"块的开始与结束不配对：检查 PROC/ENDP、IF/ENDIF、MACRO/ENDM、STRUCT/ENDS 是否成对，名字是否一致。"},
    {"A1011", u"这条伪指令必须在 .IF、.WHILE 或 .REPEAT 块里：检查 .ENDIF、.ENDW、.UNTIL、.BREAK 前有没有对应的块。"},
    {"A1012", u"错误太多，汇编停止：先改正前面的几个错误，后面的往往随之消失。"},
    {"A1017", u"没有给出源文件：检查汇编指令里的源文件名。"},
    // The assembler: errors.
    {"A2000", u"这里不允许内存操作数：一条指令最多只能有一个内存操作数，可先把一个放进寄存器。"},
    {"A2001", u"这里不允许立即数：例如 mov 的目的操作数不能是常数，push/乘除的操作数要按指令要求写。"},
    {"A2002", u"一个 IF 块里只能有一个 ELSE：检查条件汇编的结构。"},
    {"A2003", u"语句后面有多余的内容：检查是否少了逗号、注释前是否忘了分号。"},
    {"A2004", u"符号已被用作别的东西：例如标号与变量、过程同名，换一个名字。"},
    {"A2005", u"符号重复定义：同一个标号或变量名定义了两次，删去或改名其中一个。"},
    {"A2006", u"符号没有定义：检查名字的拼写和大小写、是否写了 INCLUDE io.h、变量是否在 .data 里定义。"},
    {"A2008", u"语法错误：检查指令和伪指令是否拼错、操作数格式和逗号；名字不能用保留字（如 size、type、eax）。"},
    {"A2009", u"表达式语法错误：检查括号、运算符和操作数是否完整。"},
    {"A2010", u"不是有效的类型：检查 PTR 前的类型名（BYTE、WORD、DWORD 等）。"},
    {"A2012", u"LOCAL 必须紧跟在 PROC、MACRO 或重复块之后。"},
    {"A2013", u"这条伪指令之前要先写 .MODEL：检查源文件开头的 .386 和 .MODEL flat。"},
    {"A2014", u"这个符号不能声明为 PUBLIC 或外部符号。"},
    {"A2016", u"缺少表达式：检查逗号后或运算符两边是否漏写了操作数。"},
    {"A2017", u"缺少运算符：两个操作数之间少了 + - * 等运算符或逗号。"},
    {"A2018", u"这里不能使用外部符号。"},
    {"A2022", u"两个操作数大小不同：例如 mov al, bx 或 mov eax, 字节变量；让两边大小一致，必要时用 BYTE PTR 等说明。"},
    {"A2023", u"操作数大小不明确：如 mov [ebx], 1，要写成 mov BYTE PTR [ebx], 1 之类说明大小。"},
    {"A2024", u"操作数大小对这条指令无效：例如 push 字节操作数，换用 16 或 32 位的操作数。"},
    {"A2026", u"这里需要常数：检查是否写成了变量或寄存器。"},
    {"A2027", u"这里需要内存操作数：例如 lea 的源操作数必须是内存地址。"},
    {"A2028", u"这里需要代码地址：跳转或调用的目标应是标号或过程名。"},
    {"A2029", u"一个地址里只能有一个基址寄存器：如 [ebx+ebp] 要改写。"},
    {"A2030", u"一个地址里只能有一个变址寄存器。"},
    {"A2031", u"这个寄存器不能作基址或变址：16 位寻址只能用 BX、BP、SI、DI。"},
    {"A2032", u"这里不能使用这个寄存器：检查寄存器的用法和大小。"},
    {"A2033", u"INVOKE 的参数无效：检查参数的类型和写法。"},
    {"A2034", u"语句必须写在段里：指令前要有 .code，数据前要有 .data。"},
    {"A2036", u"初始值太多：检查 DUP 或结构的初始值个数。"},
    {"A2037", u"结构定义里不能写这条语句。"},
    {"A2038", u"宏运算符缺少操作数：检查 &、%、! 等的用法。"},
    {"A2039", u"这一行太长：把它拆成几行。"},
    {"A2041", u"文本宏或宏参数超过 255 个字符：把长文本拆成几段。"},
    {"A2045", u"文本缺少右尖括号 >。"},
    {"A2046", u"字符串缺少右引号：检查引号是否成对，中文引号不能代替英文引号。"},
    {"A2047", u"字符串是空的：引号之间至少要有一个字符。"},
    {"A2048", u"数字里有不属于该进制的字符：十六进制数要以 h 结尾、以字母开头时前面加 0（如 0FFh）。"},
    {"A2049", u"实数写法不对：检查小数点和指数部分。"},
    {"A2050", u"这里不能使用实数。"},
    {"A2051", u"这里需要文本项：检查宏参数或 TEXTEQU 的写法。"},
    {"A2052", u".ERR 强制产生的错误：查看源程序中 .ERR 所在的条件。"},
    {"A2053", u".ERRE 强制产生的错误：表达式的值为零。"},
    {"A2054", u".ERRNZ 强制产生的错误：表达式的值不为零。"},
    {"A2055", u".ERRNDEF 强制产生的错误：符号没有定义。"},
    {"A2056", u".ERRDEF 强制产生的错误：符号已经定义。"},
    {"A2057", u".ERRB 强制产生的错误：文本为空。"},
    {"A2058", u".ERRNB 强制产生的错误：文本不为空。"},
    {"A2059", u".ERRIDN 强制产生的错误：两段文本相同。"},
    {"A2060", u".ERRDIF 强制产生的错误：两段文本不同。"},
    {"A2063", u"对齐值必须是 2 的幂：ALIGN 后写 1、2、4、8、16。"},
    {"A2070", u"操作数对这条指令无效：例如两个都是内存操作数、段寄存器用法不对、给立即数赋值；检查两个操作数的种类。"},
    {"A2071", u"初始值超出数据大小：例如 DB 300，字节放不下，换用 DW 或 DD。"},
    {"A2075", u"跳转目标太远：条件跳转超出范围时，改用反向条件跳转加 jmp。"},
    {"A2076", u"跳转目标必须是标号：检查跳转后面的名字。"},
    {"A2083", u"比例因子只能是 1、2、4 或 8：如 [esi*4]。"},
    {"A2084", u"常数太大：检查数值是否超出范围、进制后缀是否写对。"},
    {"A2085", u"这条指令或寄存器需要更高的处理器：在 .MODEL 前写 .386（或 .486、.586、.686）。"},
    {"A2088", u"源程序末尾缺少 END：最后一行应是 END start（start 为入口标号）。"},
    {"A2094", u"操作数必须是可重定位的：检查是否对常数使用了只适用于地址的写法。"},
    {"A2098", u"OFFSET 不能用于这个操作数：OFFSET 后应是变量或标号，不能是寄存器。"},
    {"A2101", u"两个可重定位的标号不能相加：地址只能相减，或加上常数。"},
    {"A2104", u"这个类型不能用于数据定义。"},
    {"A2109", u"续行符 \\ 后面只能有空白或注释。"},
    {"A2110", u"COMMENT 后面需要一个定界字符。"},
    {"A2111", u"参数表与先前的声明不一致：检查 PROTO 与 PROC 的参数个数和类型。"},
    {"A2113", u"进制必须在 2 到 16 之间：检查 .RADIX。"},
    {"A2114", u"INVOKE 的参数与形参不匹配：检查参数的类型和大小。"},
    {"A2115", u"浮点寄存器编号只能是 0 到 7：如 ST(0)。"},
    {"A2119", u"这个声明需要语言类型：在 .MODEL 后写 stdcall 或 c，或在 PROC、PROTO 里写明。"},
    {"A2125", u"缺少必需的宏参数：检查宏调用时的参数个数。"},
    {"A2126", u"EXITM 只能写在宏里面。"},
    {"A2129", u"VARARG 必须是最后一个参数。"},
    {"A2132", u"ORG 需要常数或当前段里的偏移。"},
    {"A2133", u"INVOKE 已经用 EAX 传递了右边的参数，左边的参数不能再读 EAX：先把它存到别的寄存器或变量里。"},
    {"A2136", u"INVOKE 的参数比原型多：对照 PROTO 检查参数个数。"},
    {"A2137", u"INVOKE 的参数比原型少：对照 PROTO 检查参数个数。"},
    {"A2138", u"初始值无效：检查 DB/DW/DD 后面的数据写法，字符串要加引号。"},
    {"A2141", u"指令的操作数太多：检查逗号个数。"},
    {"A2142", u"一个 .IF 块里只能有一个 .ELSE。"},
    {"A2144", u"过程不能嵌套：检查前一个过程是否写了 ENDP。"},
    {"A2154", u"流程控制伪指令语法错误：检查 .IF/.WHILE 的条件写法。"},
    {"A2156", u"常数超出范围：检查数值大小是否适合操作数。"},
    {"A2157", u"缺少右括号 )。"},
    {"A2166", u"不是结构的字段：检查结构变量后面的字段名。"},
    {"A2169", u"表达式里除以了零。"},
    {"A2190", u"INVOKE 需要原型或过程：先用 PROTO 声明，或把过程写在调用之前。"},
    // The assembler: warnings.
    {"A4005", u"END 之后的内容被忽略：END 应是源程序的最后一行。"},
    {"A4006", u"宏调用的参数比形参多：多余的参数被忽略。"},
    {"A4011", u"重复的 .MODEL 被忽略：只保留一个 .MODEL。"},
    {"A4018", u"不认识的命令行选项被忽略：检查汇编指令的选项。"},
    // The linker.
    {"LNK1000", u"链接器报告了问题：查看这一行给出的原因。"},
    {"LNK1104", u"打不开文件：先汇编生成 .obj；检查文件名、路径，以及 bin 目录下的 io.obj、kernel32.lib 是否存在。"},
    {"LNK1107", u"文件无效或已损坏：重新汇编生成 .obj，不要把源文件或其他文件当作目标文件链接。"},
    {"LNK1112", u"目标文件的机器类型不对：它不是 32 位 x86 的目标文件，请用本软件的汇编器重新汇编。"},
    {"LNK1117", u"链接选项写法错误：检查链接指令里的选项。"},
    {"LNK1120", u"有未解析的外部符号：这是上面 LNK2001 各行的汇总，逐个改正它们。"},
    {"LNK1169", u"有符号被重复定义：这是上面 LNK2005 各行的汇总。"},
    {"LNK2001", u"找不到外部符号：检查调用的过程名拼写、是否写了 INCLUDE io.h，入口标号是否与 END 后一致。"},
    {"LNK2005", u"符号被重复定义：同一个名字在两个目标文件里都有定义，删去或改名其中一个。"},
    {"LNK4000", u"链接器的警告：程序一般仍可运行，但最好查看原因。"},
    {"LNK4044", u"不认识的链接选项被忽略：检查链接指令的选项。"},
};

}  // namespace

std::optional<ToolMessage> parseToolMessage(const QString& row) {
    // origin, an optional "(line)", then " : error A2008: text"
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(.+?)(?:\((\d+)\))?\s+:\s+(fatal error|error|warning)\s+((?:A|LNK)\d{4})\s*:\s*(.*)$)"));
    QString single = row;
    single.remove(u'\r').remove(u'\n');
    const QRegularExpressionMatch match = pattern.match(single);
    if (!match.hasMatch()) return std::nullopt;
    ToolMessage message;
    message.origin = match.captured(1).trimmed();
    message.line = match.captured(2).toInt();
    message.warning = match.captured(3) == u"warning";
    message.code = match.captured(4);
    message.text = match.captured(5);
    return message;
}

std::span<const ErrorExplanation> errorExplanations() { return kExplanations; }

QString explanationOf(const QString& code) {
    for (const ErrorExplanation& row : kExplanations)
        if (code == QLatin1String(row.code)) return QString::fromUtf16(row.text);
    return {};
}

QString explanationOfRow(const QString& row) {
    const std::optional<ToolMessage> message = parseToolMessage(row);
    return message ? explanationOf(message->code) : QString();
}

}  // namespace asmora::build
