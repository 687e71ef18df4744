// Macros, repeat blocks, conditional assembly, text macros and INCLUDE, observed
// through the data and symbols they produce, and the messages of their mistakes.
#include <cstdlib>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "MlTestSupport.h"

using mltest::assemble;
using mltest::AssemblyData;
using mltest::AssemblyErrors;
using mltest::kDataHeader;
using mltest::TempDir;

namespace {

const mltest::DataCase kDataCases[] = {
    {"MacroParametersDefaultsRequiredAndVararg",
     "put MACRO first:REQ, second:=<7>, rest:VARARG\n"
     "    BYTE first, second\n"
     "    IFNB <rest>\n"
     "    BYTE rest\n"
     "    ENDIF\n"
     "    ENDM\n"
     "put 1\n"
     "put 2, 3\n"
     "put 4, 5, 6, 7, 8\n",
     "01 07 02 03 04 05 06 07 08"},
    {"AmpersandPercentLiteralsAndEscapes",
     "value = 6\n"
     "named MACRO suffix, text\n"
     "lbl&suffix BYTE '&text&'\n"
     "    ENDM\n"
     "named 1, <a,b>\n"
     "named %value * 2, <x!>y>\n",
     "61 2C 62 78 3E 79",
     {{"lbl1", 0}, {"lbl12", 3}}},
    {"LocalLabelsAreUniquePerCall",
     "counter MACRO\n"
     "    LOCAL here\n"
     "here BYTE 0\n"
     "    DWORD here\n"
     "    ENDM\n"
     "counter\n"
     "counter\n",
     "00 00 00 00 00 00 05 00 00 00",
     {{"??0000", 0}, {"??0001", 5}}},
    {"ExitmLeavesTheExpansionAndItsOpenBlocks",
     "emit MACRO n\n"
     "    IF n EQ 0\n"
     "    BYTE 0FFh\n"
     "    EXITM\n"
     "    ENDIF\n"
     "    BYTE n\n"
     "    ENDM\n"
     "emit 0\n"
     "emit 5\n",
     "FF 05"},
    {"ConditionalFamily",
     "defined = 1\n"
     "IFDEF defined\n BYTE 1\nELSE\n BYTE 0\nENDIF\n"
     "IFNDEF missing\n BYTE 2\nENDIF\n"
     "IFE defined - 1\n BYTE 3\nENDIF\n"
     "IFIDN <abc>, <abc>\n BYTE 4\nENDIF\n"
     "IFIDN <abc>, <ABC>\n BYTE 0\nELSEIFIDNI <abc>, <ABC>\n BYTE 5\nENDIF\n"
     "IFDIF <a>, <b>\n BYTE 6\nENDIF\n"
     "IFB < >\n BYTE 7\nENDIF\n"
     "IF 0\n  IF 1\n  BYTE 0\n  ENDIF\nELSEIF 2 GT 1\n BYTE 8\nELSE\n BYTE 0\nENDIF\n",
     "01 02 03 04 05 06 07 08"},
    {"RepeatBlocks",
     "REPT 3\n BYTE 1\nENDM\n"
     "IRP x, <4, 5>\n BYTE x\nENDM\n"
     "FOR x, <6>\n BYTE x\nENDM\n"
     "IRPC c, AB\n BYTE '&c'\nENDM\n"
     "FORC c, <z>\n BYTE '&c'\nENDM\n"
     "n = 0\n"
     "WHILE n LT 3\n BYTE n\n n = n + 1\nENDM\n",
     "01 01 01 04 05 06 41 42 7A 00 01 02"},
    {"TextMacros",
     "arg EQU [ebp + 12]\n"
     "num EQU 5\n"
     "t1 TEXTEQU <3>\n"
     "t2 CATSTR t1, <4>\n"
     "t3 SUBSTR <abcdef>, 2, 3\n"
     "len SIZESTR <abcdef>\n"
     "pos INSTR <abcdef>, <cd>\n"
     "BYTE t1, t2, len, pos, num\n"
     "BYTE '&t3'\n"
     "% BYTE '&t3'\n",
     "03 22 06 03 05 26 74 33 62 63 64",
     {},
     {{"arg", "[ebp + 12]"}}},
    {"CommentsContinuationsAndPurge",
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
     "          , 5\n",
     "01 02 03 04 05",
     {{"list", 1}}},
    {"PrivateCommentsOfRepeatBlocksWithoutParameters",
     "REPT 2\n"
     "    BYTE 1 ;; private: dropped\n"
     "    BYTE ';;', 2 ; an ordinary comment stays\n"
     "    BYTE \"'\", 3 ;; a quote of the other kind inside a string\n"
     "    ENDM\n",
     "01 3B 3B 02 27 03 01 3B 3B 02 27 03"},
    {"MacroFunctionsAndTextFunctions",
     "Twice MACRO n\n"
     "    BYTE 0EEh\n"  // lines of the function come before the calling line
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
     "n3 = @InStr(, <hello>, <o>)\n"
     "n4 INSTR , <hello>, <e>\n"
     "part TEXTEQU @SubStr(<hello>, 2, 3)\n"
     "IF Twice(2) EQ 4\n"
     "BYTE 1\n"
     "ENDIF\n",
     "EE 06 09 07 EE 01",
     {{"n1", 5}, {"n2", 3}, {"n3", 5}, {"n4", 2}},
     {{"name", "abcd"}, {"part", "ell"}}},
    {"MacroFunctionBodiesAreAssembledBeforeTheirValueIsRead",
     "count = 0\n"
     "Next MACRO\n"
     "    count = count + 1\n"
     "    EXITM %count\n"
     "    ENDM\n"
     "Sum MACRO terms:VARARG\n"
     "    LOCAL total\n"
     "    total = 0\n"
     "    FOR t, <terms>   ; one term at a time\n"
     "    total = total + t\n"
     "    ENDM\n"
     "    EXITM %total\n"
     "    ENDM\n"
     "BYTE Next(), Next(), Next()\n"
     "BYTE Sum(1, 2, 3), Sum(40)\n"
     "WORD Sum(Next(), 10)\n"
     "part SUBSTR <hello>, Next() - 3, @SizeStr(<hello>) - 2\n",
     "01 02 03 06 28 0E 00",
     {{"count", 5}},
     {{"part", "ell"}}},
    {"PercentGivesTextMacrosTheirTextAndArgumentsStayAsWritten",
     "t TEXTEQU <abc>\n"
     "e TEXTEQU <3 + 4>\n"
     "len1 = @SizeStr(%t)\n"
     "len2 SIZESTR %t\n"
     "copy TEXTEQU %t\n"
     "sum TEXTEQU %e\n"
     "named MACRO suffix\n"
     "lbl&suffix BYTE 1\n"
     "    ENDM\n"
     "named t\n"
     "named %t\n"
     "pick TEXTEQU <named>\n"
     "pick x\n",
     "01 01 01",
     {{"len1", 3}, {"len2", 3}, {"lblt", 0}, {"lblabc", 1}, {"lblx", 2}},
     {{"copy", "abc"}, {"sum", "7"}}},
    {"ExitmTakesAnotherFunctionsResultAndCallsNest",
     "dbl MACRO x\n"
     "    EXITM %(x * 2)\n"
     "    ENDM\n"
     "viaCall MACRO x\n"
     "    EXITM dbl(x)\n"
     "    ENDM\n"
     "viaBuiltin MACRO\n"
     "    EXITM @CatStr(<1>, <2>)\n"
     "    ENDM\n"
     "tm TEXTEQU <77>\n"
     "viaText MACRO\n"
     "    EXITM tm\n"
     "    ENDM\n"
     "q TEXTEQU <abcd>\n"
     "BYTE viaCall(5), viaBuiltin(), viaText()\n"
     "BYTE @SizeStr(@SubStr(<abcdef>, 1, 2)), @SizeStr(dbl(100))\n"
     "BYTE @CatStr(<!'>, @SubStr(<abcdef>, 2, 3), <!'>)\n"
     "IF @SizeStr(%q) EQ 4\n"
     "BYTE 0EEh\n"
     "ENDIF\n"
     "head SUBSTR q, 1, @SizeStr(%q) - 1\n",
     "0A 0C 4D 02 03 62 63 64 EE",
     {},
     {{"head", "abc"}}},
    {"MacroNamesBuiltWithAmpersandInsideAMacro",
     "maker MACRO value\n"
     "    get&value MACRO\n"
     "        BYTE value\n"
     "        ENDM\n"
     "    ENDM\n"
     "maker 7\n"
     "get7\n",
     "07"},
    {"GotoGoesOnAfterItsMacroLabel",
     "upTo MACRO n\n"
     "    LOCAL c\n"
     "    c = 0\n"
     ":again\n"
     "    c = c + 1\n"
     "    BYTE c\n"
     "    IF c LT n\n"
     "    GOTO again\n"
     "    ENDIF\n"
     "    ENDM\n"
     "skip MACRO\n"
     "    GOTO done\n"
     "    BYTE 0FFh\n"
     ":done\n"
     "    BYTE 0AAh\n"
     "    ENDM\n"
     "upTo 3\n"
     "skip\n",
     "01 02 03 AA"},
    {"MacrosThatDefineMacrosAndLabelledCalls",
     "maker MACRO name, value\n"
     "name MACRO\n"
     "    BYTE value\n"
     "    ENDM\n"
     "    ENDM\n"
     "maker seven, 7\n"
     "seven\n"
     "here: seven\n"
     "IFDEF seven\n BYTE 1\nENDIF\n",
     "07 07 01",
     {{"here", 1}}},
    // One initial: found in either case; then enough initials that every line is read
    // word by word.
    {"TextMacrosExpandInAnyCaseWithFewInitials",
     "xval TEXTEQU <5>\n"
     "BYTE XVAL, xVal\n"
     "BYTE 'xval', 7 ; xval in a comment\n",
     "05 05 78 76 61 6C 07"},
    {"TextMacrosExpandInAnyCaseWithManyInitials",
     "aa TEXTEQU <1>\nbb TEXTEQU <2>\ncc TEXTEQU <3>\ndd TEXTEQU <4>\nee TEXTEQU <5>\nff TEXTEQU <6>\n"
     "BYTE AA, Bb, cC, dd, EE, ff\n",
     "01 02 03 04 05 06"},
    {"PercentExpandsNamesJoinedToAmpersandsInsideStrings",
     "who TEXTEQU <ab>\n"
     "   %   BYTE '&who', 0   \n"
     "% BYTE \"who&\", 'who'\n"
     "BYTE '&who'\n"
     "% BYTE \"x&who&y\"\n",
     "61 62 00 61 62 77 68 6F 26 77 68 6F 78 61 62 79"},
};

INSTANTIATE_TEST_SUITE_P(Preprocessor, AssemblyData, testing::ValuesIn(kDataCases), mltest::rowName<mltest::DataCase>);

const mltest::ErrorCase kErrorCases[] = {
    {"ErrorsInsideMacrosNameTheInvocationChain",
     kDataHeader + "inner MACRO\n"
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
                   "END\n",
     "test.asm(11) : error A2006: symbol is not defined : bogus\n"
     " inner(1): inside macro expansion\n"
     " outer(2): inside macro expansion\n"
     "  test.asm(11): invoked from this line\n"
     "test.asm(14) : error A2125: required macro argument is missing : need : x\n"
     "test.asm(15) : error A2052: error forced by .ERR : stop here\n"
     "test.asm(16) : error A2054: error forced by .ERRNZ: value is not zero : not zero\n"
     "test.asm(18) : fatal error A1010: a block is still open here : IF\n"},
    {"MissingIncludeIsFatal", ".386\nINCLUDE nowhere.inc\nBYTE 1\nEND\n",
     "test.asm(2) : fatal error A1000: cannot open file : nowhere.inc\n"},
    {"BlockStructureErrors",
     kDataHeader + "IF 1\nELSE\nELSE\nENDIF\n"
                   "EXITM\n"
                   "ENDIF\n"
                   "BYTE 1\n"
                   "END\n",
     "test.asm(6) : error A2002: an IF block may have only one ELSE\n"
     "test.asm(8) : error A2126: EXITM is only allowed inside a macro\n"
     "test.asm(9) : fatal error A1010: directive closes a block that is not open : ENDIF\n"},
    {"GotoNeedsItsLabelInTheSameBlock", kDataHeader + "m MACRO\n    GOTO nowhere\n    ENDM\nm\nGOTO top\nEND\n",
     "test.asm(7) : error A2006: symbol is not defined : nowhere\n"
     " m(1): inside macro expansion\n"
     "  test.asm(7): invoked from this line\n"
     "test.asm(8) : error A2008: syntax error : GOTO\n"},
    {"EndmWithoutMacroIsFatal", kDataHeader + "ENDM\nEND\n",
     "test.asm(4) : fatal error A1010: directive closes a block that is not open : ENDM\n"},
    {"AMacroWithoutEndmIsFatal", kDataHeader + "never MACRO\n BYTE 1\n",
     "test.asm(4) : fatal error A1008: macro or repeat block has no matching ENDM : never\n"},
};

INSTANTIATE_TEST_SUITE_P(Preprocessor, AssemblyErrors, testing::ValuesIn(kErrorCases),
                         mltest::rowName<mltest::ErrorCase>);

}  // namespace

// ECHO shows its text as written; "%" before a line expands the text macros in it,
// wherever the line stands, and %OUT is ECHO's old spelling.
TEST(Preprocessor, EchoAndTheStatementExpansionOperator) {
    auto a = assemble(".386\n.MODEL FLAT\n"
                      "t1 TEXTEQU <abc>\n"
                      "ECHO plain t1\n"
                      "%ECHO expanded t1\n"
                      "% ECHO spaced t1\n"
                      "%OUT old t1\n"
                      "IF 0\n"
                      "%ECHO skipped t1\n"
                      "ENDIF\n"
                      ".CODE\n"
                      "%  echo in code t1\n"
                      "% t2 TEXTEQU <t1 t1>\n"
                      "%ECHO t2\n"
                      "END\n");
    EXPECT_TRUE(a.ok) << a.messages();
    EXPECT_EQ(a.assembler->preprocessor().echoes(),
              (std::vector<std::string>{"plain t1", "expanded abc", "spaced abc", "old t1", "in code abc", "abc abc"}));
}

// @Line is the line that reads it (a macro's lines read their caller's), @CurSeg the
// open segment, @Date and @Time the assembly's; none of them is listed as a symbol.
TEST(Preprocessor, PredefinedLineDateTimeAndCurrentSegment) {
    auto a = assemble(".386\n.MODEL FLAT\n"
                      "%ECHO [@CurSeg]\n"
                      ".DATA\n"
                      "%ECHO @CurSeg\n"
                      "here DWORD @Line\n"
                      "at MACRO\n"
                      "    DWORD @Line\n"
                      "    ENDM\n"
                      "    at\n"
                      ".CODE\n"
                      "%ECHO @CurSeg\n"
                      ".DATA?\n"
                      "%ECHO @CurSeg @Date @Time\n"
                      "END\n");
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_EQ(a.hexBytes(".data"), "06 00 00 00 0A 00 00 00");
    const auto& echoes = a.assembler->preprocessor().echoes();
    ASSERT_EQ(echoes.size(), 4u);
    EXPECT_EQ(echoes[0], "[]");
    EXPECT_EQ(echoes[1], "_DATA");
    EXPECT_EQ(echoes[2], "_TEXT");
    EXPECT_TRUE(testing::Matches(testing::MatchesRegex("_BSS [0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"))(
        echoes[3]))
        << echoes[3];
    const std::string listing = a.listing();
    const std::string symbols = listing.substr(std::min(listing.find("Symbols:"), listing.size()));
    ASSERT_FALSE(symbols.empty());
    for (const char* name : {"@Line", "@Date", "@Time", "@CurSeg"})
        EXPECT_EQ(symbols.find(name), std::string::npos) << name << " is listed";
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
                              "INCLUDE defs2.inc\n"  // read twice: macros and externals again, no error
                              "INCLUDE envdefs.inc\n"
                              "INCLUDE ../up.inc\n"
                              ".DATA\n m\n"
                              "END\n",
                              "src/main.asm", options);
    ::unsetenv("INCLUDE");
    ASSERT_TRUE(a.ok) << a.messages();
    mltest::expectValues(a, {
                                {"fromLib", 1},
                                {"fromI", 2},
                                {"fromEnv", 3},
                                {"fromParent", 4},
                            });
    EXPECT_EQ(a.hexBytes(".data"), "09");
    EXPECT_NE(a.listing().find("C fromLib EQU 1"), std::string::npos) << a.listing();
}

TEST(Preprocessor, ExpansionBoundsAreSettings) {
    mltest::TempDir dir;
    mltest::AssembleOptions tight;
    tight.expansionBounds = {.lines = 10, .bytes = 1000};
    auto few = mltest::assemble(dir, kDataHeader + "REPT 4\nBYTE 1\nENDM\nEND\n", "test.asm", tight);
    EXPECT_TRUE(few.ok) << few.messages();
    auto many = mltest::assemble(dir, kDataHeader + "REPT 20\nBYTE 1\nENDM\nEND\n", "test.asm", tight);
    EXPECT_NE(many.messages().find("A1009"), std::string::npos) << many.messages();
    tight.expansionBounds = {.lines = 100, .bytes = 40};
    auto longLines = mltest::assemble(dir, kDataHeader + "REPT 5\nBYTE 1, 2, 3, 4, 5, 6\nENDM\nEND\n", "test.asm", tight);
    EXPECT_NE(longLines.messages().find("A1009"), std::string::npos) << longLines.messages();
}

TEST(Preprocessor, RunawayExpansionsStop) {
    auto endless = assemble(kDataHeader + "WHILE 1\nENDM\nEND\n");
    EXPECT_FALSE(endless.ok);
    EXPECT_NE(endless.messages().find("A1009"), std::string::npos) << endless.messages();
    auto recursive = assemble(kDataHeader + "r MACRO\n r\n ENDM\nr\nEND\n");
    EXPECT_FALSE(recursive.ok);
    EXPECT_NE(recursive.messages().find("A1007"), std::string::npos) << recursive.messages();
}
