// Macros, repeat blocks, conditional assembly, text macros and INCLUDE, observed
// through the data and symbols they produce.
#include <cstdlib>

#include <gtest/gtest.h>

#include "MlTestSupport.h"

using mltest::assemble;
using mltest::TempDir;

namespace {

const std::string kHeader = ".386\n.MODEL FLAT\n.DATA\n";

mltest::Assembly data(const std::string& body) {
    auto a = assemble(kHeader + body + "\nEND\n");
    EXPECT_TRUE(a.ok) << a.messages();
    return a;
}

}  // namespace

TEST(Preprocessor, MacroParametersDefaultsRequiredAndVararg) {
    auto a = data(
        "put MACRO first:REQ, second:=<7>, rest:VARARG\n"
        "    BYTE first, second\n"
        "    IFNB <rest>\n"
        "    BYTE rest\n"
        "    ENDIF\n"
        "    ENDM\n"
        "put 1\n"
        "put 2, 3\n"
        "put 4, 5, 6, 7, 8\n");
    EXPECT_EQ(a.hexBytes(".data"), "01 07 02 03 04 05 06 07 08");
}

TEST(Preprocessor, AmpersandPercentLiteralsAndEscapes) {
    auto a = data(
        "value = 6\n"
        "named MACRO suffix, text\n"
        "lbl&suffix BYTE '&text&'\n"
        "    ENDM\n"
        "named 1, <a,b>\n"
        "named %value * 2, <x!>y>\n");
    ASSERT_NE(a.symbol("lbl1"), nullptr);
    ASSERT_NE(a.symbol("lbl12"), nullptr);
    EXPECT_EQ(a.hexBytes(".data"), "61 2C 62 78 3E 79");
}

TEST(Preprocessor, LocalLabelsAreUniquePerCall) {
    auto a = assemble(kHeader +
                      "counter MACRO\n"
                      "    LOCAL here\n"
                      "here BYTE 0\n"
                      "    DWORD here\n"
                      "    ENDM\n"
                      "counter\n"
                      "counter\n"
                      "END\n");
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_NE(a.symbol("??0000"), nullptr);
    EXPECT_NE(a.symbol("??0001"), nullptr);
    EXPECT_EQ(a.value("??0001"), 5);
}

TEST(Preprocessor, ExitmLeavesTheExpansionAndItsOpenBlocks) {
    auto a = data(
        "emit MACRO n\n"
        "    IF n EQ 0\n"
        "    BYTE 0FFh\n"
        "    EXITM\n"
        "    ENDIF\n"
        "    BYTE n\n"
        "    ENDM\n"
        "emit 0\n"
        "emit 5\n");
    EXPECT_EQ(a.hexBytes(".data"), "FF 05");
}

TEST(Preprocessor, ConditionalFamily) {
    auto a = data(
        "defined = 1\n"
        "IFDEF defined\n BYTE 1\nELSE\n BYTE 0\nENDIF\n"
        "IFNDEF missing\n BYTE 2\nENDIF\n"
        "IFE defined - 1\n BYTE 3\nENDIF\n"
        "IFIDN <abc>, <abc>\n BYTE 4\nENDIF\n"
        "IFIDN <abc>, <ABC>\n BYTE 0\nELSEIFIDNI <abc>, <ABC>\n BYTE 5\nENDIF\n"
        "IFDIF <a>, <b>\n BYTE 6\nENDIF\n"
        "IFB < >\n BYTE 7\nENDIF\n"
        "IF 0\n  IF 1\n  BYTE 0\n  ENDIF\nELSEIF 2 GT 1\n BYTE 8\nELSE\n BYTE 0\nENDIF\n");
    EXPECT_EQ(a.hexBytes(".data"), "01 02 03 04 05 06 07 08");
}

TEST(Preprocessor, RepeatBlocks) {
    auto a = data(
        "REPT 3\n BYTE 1\nENDM\n"
        "IRP x, <4, 5>\n BYTE x\nENDM\n"
        "FOR x, <6>\n BYTE x\nENDM\n"
        "IRPC c, AB\n BYTE '&c'\nENDM\n"
        "FORC c, <z>\n BYTE '&c'\nENDM\n"
        "n = 0\n"
        "WHILE n LT 3\n BYTE n\n n = n + 1\nENDM\n");
    EXPECT_EQ(a.hexBytes(".data"), "01 01 01 04 05 06 41 42 7A 00 01 02");
}

TEST(Preprocessor, TextMacros) {
    auto a = data(
        "arg EQU [ebp + 12]\n"
        "num EQU 5\n"
        "t1 TEXTEQU <3>\n"
        "t2 CATSTR t1, <4>\n"
        "t3 SUBSTR <abcdef>, 2, 3\n"
        "len SIZESTR <abcdef>\n"
        "pos INSTR <abcdef>, <cd>\n"
        "BYTE t1, t2, len, pos, num\n"
        "BYTE '&t3'\n"
        "% BYTE 't3'\n");
    EXPECT_EQ(a.symbol("arg")->text, "[ebp + 12]");
    EXPECT_EQ(a.hexBytes(".data"), "03 22 06 03 05 26 74 33 62 63 64");
}

TEST(Preprocessor, CommentsContinuationsAndPurge) {
    auto a = data(
        "COMMENT ~ this text\n"
        "  and this line are ignored ~\n"
        "one MACRO\n"
        "    ;; a private comment: never expanded\n"
        "    BYTE 1 ;; also private\n"
        "    ENDM\n"
        "one\n"
        "PURGE one\n"
        "list BYTE 2,\n"
        "          3\n"
        "     BYTE 4 \\\n"
        "          , 5\n");
    EXPECT_EQ(a.hexBytes(".data"), "01 02 03 04 05");
    EXPECT_EQ(a.value("list"), 1);
}

TEST(Preprocessor, ErrorsInsideMacrosNameTheInvocationChain) {
    auto a = assemble(kHeader +
                      "inner MACRO\n"
                      "    BYTE bogus\n"
                      "    ENDM\n"
                      "outer MACRO\n"
                      "    BYTE 1\n"
                      "    inner\n"
                      "    ENDM\n"
                      "outer\n"
                      "need MACRO x:REQ\n"
                      "    ENDM\n"
                      "need\n"
                      ".ERR <stop here>\n"
                      ".ERRNZ 1, <not zero>\n"
                      "IF 1\n"
                      "END\n");
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.messages(),
              "test.asm(11) : error A2006: symbol is not defined : bogus\n"
              " inner(1): inside macro expansion\n"
              " outer(2): inside macro expansion\n"
              "  test.asm(11): invoked from this line\n"
              "test.asm(14) : error A2125: required macro argument is missing : need : x\n"
              "test.asm(15) : error A2052: error forced by .ERR : stop here\n"
              "test.asm(16) : error A2054: error forced by .ERRNZ: value is not zero : not zero\n"
              "test.asm(18) : fatal error A1010: a block is still open here : IF\n");
}

TEST(Preprocessor, IncludeSearchOrderAndRepeatedIncludes) {
    TempDir dir;
    dir.write("src/lib/defs.inc", "fromLib EQU 1\n");
    dir.write("other/DEFS2.INC", "fromI EQU 2\nm MACRO\n BYTE 9\nENDM\nEXTRN shared:NEAR32\n");
    dir.write("env/envdefs.inc", "fromEnv EQU 3\n");
    dir.write("up.inc", "fromParent EQU 4\n");
    ::setenv("INCLUDE", (dir.path() / "env").c_str(), 1);
    mltest::AssembleOptions options;
    options.includeDirs = {(dir.path() / "other").string(), (dir.path() / "env").string()};
    auto a = mltest::assemble(dir,
                              ".386\n.MODEL FLAT\n"
                              "INCLUDE lib\\defs.inc\n"
                              "INCLUDE defs2.inc\n"
                              "INCLUDE defs2.inc\n"   // read twice: macros and externals again, no error
                              "INCLUDE envdefs.inc\n"
                              "INCLUDE ../up.inc\n"
                              ".DATA\n m\n"
                              "END\n",
                              "src/main.asm", options);
    ::unsetenv("INCLUDE");
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_EQ(a.value("fromLib"), 1);
    EXPECT_EQ(a.value("fromI"), 2);
    EXPECT_EQ(a.value("fromEnv"), 3);
    EXPECT_EQ(a.value("fromParent"), 4);
    EXPECT_EQ(a.hexBytes(".data"), "09");
    EXPECT_NE(a.listing().find("C fromLib EQU 1"), std::string::npos) << a.listing();
}

TEST(Preprocessor, MissingIncludeIsFatal) {
    auto a = assemble(".386\nINCLUDE nowhere.inc\nBYTE 1\nEND\n");
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.messages(), "test.asm(2) : fatal error A1000: cannot open file : nowhere.inc\n");
}

TEST(Preprocessor, RunawayExpansionsStop) {
    auto endless = assemble(kHeader + "WHILE 1\nENDM\nEND\n");
    EXPECT_FALSE(endless.ok);
    EXPECT_NE(endless.messages().find("A1009"), std::string::npos) << endless.messages();
    auto recursive = assemble(kHeader + "r MACRO\n r\n ENDM\nr\nEND\n");
    EXPECT_FALSE(recursive.ok);
    EXPECT_NE(recursive.messages().find("A1007"), std::string::npos) << recursive.messages();
}

TEST(Preprocessor, MacroFunctionsAndTextFunctions) {
    auto a = data(
        "Twice MACRO n\n"
        "    BYTE 0EEh\n"          // lines of the function come before the calling line
        "    EXITM %(n * 2)\n"
        "    ENDM\n"
        "Pick MACRO a, b\n"
        "    IF a GT b\n"
        "    EXITM <a>\n"
        "    ENDIF\n"
        "    EXITM <b>\n"
        "    ENDM\n"
        "BYTE Twice(3), Pick(4, 9), Pick(7, 2)\n"
        "name TEXTEQU @CatStr(<ab>, <cd>)\n"
        "n1 = @SizeStr(<hello>)\n"
        "n2 = @InStr(1, <hello>, <ll>)\n"
        "part TEXTEQU @SubStr(<hello>, 2, 3)\n"
        "IF Twice(2) EQ 4\n"
        "BYTE 1\n"
        "ENDIF\n");
    EXPECT_EQ(a.hexBytes(".data"), "EE 06 09 07 EE 01");
    EXPECT_EQ(a.symbol("name")->text, "abcd");
    EXPECT_EQ(a.value("n1"), 5);
    EXPECT_EQ(a.value("n2"), 3);
    EXPECT_EQ(a.symbol("part")->text, "ell");
}

TEST(Preprocessor, MacrosThatDefineMacrosAndLabelledCalls) {
    auto a = data(
        "maker MACRO name, value\n"
        "name MACRO\n"
        "    BYTE value\n"
        "    ENDM\n"
        "    ENDM\n"
        "maker seven, 7\n"
        "seven\n"
        "here: seven\n"
        "IFDEF seven\n BYTE 1\nENDIF\n");
    EXPECT_EQ(a.hexBytes(".data"), "07 07 01");
    EXPECT_EQ(a.value("here"), 1);
}

TEST(Preprocessor, BlockStructureErrors) {
    auto a = assemble(kHeader +
                      "ENDIF\n"
                      "IF 1\nELSE\nELSE\nENDIF\n"
                      "EXITM\n"
                      "ENDM\n"
                      "END\n");
    EXPECT_EQ(a.messages(),
              "test.asm(4) : error A1011: directive closes a block that is not open : ENDIF\n"
              "test.asm(7) : error A2002: an IF block may have only one ELSE\n"
              "test.asm(9) : error A2126: EXITM is only allowed inside a macro\n"
              "test.asm(10) : error A1011: directive closes a block that is not open : ENDM\n");
    auto open = assemble(kHeader + "never MACRO\n BYTE 1\n");
    EXPECT_EQ(open.messages(), "test.asm(4) : fatal error A1008: macro or repeat block has no matching ENDM : never\n");
}

TEST(Preprocessor, TextMacrosExpandInAnyCaseWithFewOrManyInitials) {
    // One initial: found in either case; then enough initials that every line is read
    // word by word.
    auto few = data(
        "xval TEXTEQU <5>\n"
        "BYTE XVAL, xVal\n"
        "BYTE 'xval', 7 ; xval in a comment\n");
    EXPECT_EQ(few.hexBytes(".data"), "05 05 78 76 61 6C 07");
    auto many = data(
        "aa TEXTEQU <1>\nbb TEXTEQU <2>\ncc TEXTEQU <3>\ndd TEXTEQU <4>\nee TEXTEQU <5>\nff TEXTEQU <6>\n"
        "BYTE AA, Bb, cC, dd, EE, ff\n");
    EXPECT_EQ(many.hexBytes(".data"), "01 02 03 04 05 06");
}

TEST(Preprocessor, PercentExpandsTextMacrosInsideStrings) {
    auto a = data(
        "who TEXTEQU <ab>\n"
        "   %   BYTE 'who', 0   \n"
        "BYTE 'who'\n");
    EXPECT_EQ(a.hexBytes(".data"), "61 62 00 77 68 6F");
}
