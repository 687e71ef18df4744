// Symbols, scopes, segments and the directives that shape them, as whole assemblies.
#include <gtest/gtest.h>

#include "MlTestSupport.h"

using mltest::assemble;
using mltest::TempDir;

namespace {

std::string objectOf(const std::string& source, ml::CaseMode mode = ml::CaseMode::Insensitive) {
    TempDir dir;
    mltest::AssembleOptions options;
    options.caseMode = mode;
    auto a = mltest::assemble(dir, source, "test.asm", options);
    EXPECT_TRUE(a.ok) << a.messages();
    return mltest::describeObject(a.object());
}

}  // namespace

TEST(Assembler, EquatesAndRedefinitions) {
    auto a = assemble(".386\n.MODEL FLAT\nlimit EQU 10\nlimit EQU 10\nn = 1\nn = n + 1\nn = n * 5\nEND\n");
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_EQ(a.value("limit"), 10);
    EXPECT_EQ(a.value("n"), 10);
    auto bad =
        assemble(".386\n.MODEL FLAT\nlimit EQU 10\nlimit EQU 11\nn = 1\nn EQU 2\n.DATA\nx BYTE 0\nx EQU 5\nEND\n");
    EXPECT_EQ(bad.messages(),
              "test.asm(4) : error A2005: symbol is already defined : limit\n"
              "test.asm(6) : error A2005: symbol is already defined : n\n"
              "test.asm(9) : error A2005: symbol is already defined : x\n");
}

TEST(Assembler, ProcedureLocalLabelsAndGlobalLabels) {
    auto a = assemble(
        ".386\n.MODEL FLAT\n.CODE\n"
        "First PROC\nagain: jmp again\nshared:: ret\nFirst ENDP\n"
        "Second PROC\nagain: jmp shared\nSecond ENDP\n"
        "jmp again\n"
        "END\n");
    EXPECT_EQ(a.messages(), "test.asm(11) : error A2006: symbol is not defined : again\n");
}

TEST(Assembler, CaseMapAndCaseOptions) {
    auto none = assemble(".386\n.MODEL FLAT\nOPTION CASEMAP:NONE\nvalue = 1\nVALUE = 2\nEND\n");
    ASSERT_TRUE(none.ok) << none.messages();
    std::string upper =
        objectOf(".386\n.MODEL FLAT\nPUBLIC MixedCase\n.CODE\nMixedCase: ret\nEND\n", ml::CaseMode::Upper);
    EXPECT_NE(upper.find("symbol MIXEDCASE global .text+0"), std::string::npos) << upper;
    std::string kept = objectOf(".386\n.MODEL FLAT\nPUBLIC MixedCase\n.CODE\nmixedcase: ret\nEND\n");
    EXPECT_NE(kept.find("symbol MixedCase global"), std::string::npos) << "PUBLIC's spelling names it\n" << kept;
}

TEST(Assembler, SegmentsMapToElfSections) {
    std::string obj = objectOf(
        ".386\n.MODEL FLAT\n"
        ".CONST\nmsg BYTE 'k'\n"
        ".DATA?\nbuf DWORD 4 DUP (?)\n"
        ".DATA\nval WORD 1\n"
        "_TEXT SEGMENT 'CODE'\nnop\n_TEXT ENDS\n"
        "MYDATA SEGMENT 'DATA'\nmine BYTE 2\nMYDATA ENDS\n"
        ".CODE\nret\n"
        "END\n");
    EXPECT_NE(obj.find("section .rodata rodata 1\n  0000: 6B"), std::string::npos) << obj;
    EXPECT_NE(obj.find("section .bss bss 16\n"), std::string::npos) << obj;
    EXPECT_NE(obj.find("section .data data 2\n  0000: 01 00"), std::string::npos) << obj;
    EXPECT_NE(obj.find("section .text code 2\n  0000: 90 C3"), std::string::npos) << obj;
    EXPECT_NE(obj.find("section .mydata data 1\n  0000: 02"), std::string::npos) << obj;
}

TEST(Assembler, ExternDefPublicAndEntryPoint) {
    std::string obj = objectOf(
        ".386\n.MODEL FLAT\n"
        "EXTERNDEF shared:DWORD, elsewhere:DWORD\n"
        ".DATA\nshared DWORD elsewhere\n"
        ".CODE\nmain: ret\n"
        "END main\n");
    EXPECT_NE(obj.find("symbol shared global .data+0"), std::string::npos) << obj;
    EXPECT_NE(obj.find("symbol elsewhere global undefined"), std::string::npos) << obj;
    EXPECT_NE(obj.find("symbol main global .text+0"), std::string::npos) << "END's entry point is exported\n" << obj;
    // The linker learns the entry from a .drectve section ("/ENTRY:main"), under the
    // procedure's link name; an END without a name writes none.
    EXPECT_NE(obj.find("section .drectve directive 11\n  0000: 2F 45 4E 54 52 59 3A 6D 61 69 6E\n"), std::string::npos)
        << obj;
    std::string named = objectOf(".386\n.MODEL FLAT, stdcall\n.CODE\n_main PROC\nret\n_main ENDP\nEND _main\n");
    EXPECT_NE(named.find("3A 5F 5F 6D 61 69 6E 40 30\n"), std::string::npos) << "/ENTRY:__main@0\n" << named;
    std::string unnamed = objectOf(".386\n.MODEL FLAT\n.CODE\nmain: ret\nEND\n");
    EXPECT_EQ(unnamed.find(".drectve"), std::string::npos) << unnamed;
    auto bad = assemble(".386\n.MODEL FLAT\n.DATA\nx DWORD 0\nEND x\n");
    EXPECT_EQ(bad.messages(), "test.asm(5) : error A2028: a code address is needed here : END\n");
}

TEST(Assembler, TypeDefinitions) {
    auto a = assemble(
        ".386\n.MODEL FLAT\n"
        "PBYTE TYPEDEF PTR BYTE\n"
        "COUNTER TYPEDEF SDWORD\n"
        "PAIR UNION\n  asWord WORD ?\n  asBytes BYTE 4 DUP (?)\nPAIR ENDS\n"
        "ALIGNED STRUCT 4\n  a BYTE ?\n  b DWORD ?\nALIGNED ENDS\n"
        ".DATA\n"
        "p PBYTE 0\n"
        "c COUNTER -5\n"
        "u PAIR <1>\n"
        "bytesView LABEL BYTE\n"
        "w WORD 0102h\n"
        "s1 = SIZEOF PAIR\n"
        "s2 = SIZEOF ALIGNED\n"
        "o1 = ALIGNED.b\n"
        "t1 = TYPE bytesView\n"
        "END\n");
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_EQ(a.hexBytes(".data"), "00 00 00 00 FB FF FF FF 01 00 00 00 02 01");
    mltest::expectValues(a, {
                                {"s1", 4},
                                {"s2", 8},
                                {"o1", 4},
                                {"t1", 1},
                                {"bytesView", a.value("w")},
                            });
}

TEST(Assembler, DirectiveMisuseIsReported) {
    auto a = assemble(
        ".386\n"
        ".DATA\n"  // before .MODEL
        ".MODEL FLAT\n"
        ".MODEL FLAT\n"  // again: a warning
        "nop\n"          // the .DATA segment is open: fine for data, code goes anywhere
        "OPTION FROBNICATE\n"
        "ENDP\n"
        "x = 1 +\n"
        "END\n"
        "this text is never read\n");
    EXPECT_EQ(a.messages(),
              "test.asm(2) : error A2013: .MODEL must come before this directive : .DATA\n"
              "test.asm(4) : warning A4011: .MODEL given again; ignored\n"
              "test.asm(6) : error A2008: syntax error : FROBNICATE\n"
              "test.asm(7) : error A2008: syntax error : ENDP\n"
              "test.asm(8) : error A2016: an expression is missing\n");
    auto outside = assemble(".386\n.MODEL FLAT\nnop\nlabel1: ret\nEND\n");
    EXPECT_EQ(outside.messages(),
              "test.asm(3) : error A2034: statement needs an open segment (.CODE or .DATA)\n"
              "test.asm(4) : error A2034: statement needs an open segment (.CODE or .DATA)\n");
    auto noEnd = assemble(".386\n.MODEL FLAT\n.CODE\nret\n");
    EXPECT_EQ(noEnd.messages(), "test.asm(4) : error A2088: source ends without an END directive\n");
}

TEST(Assembler, ForwardReferencesSettleOverPasses) {
    auto a = assemble(
        ".386\n.MODEL FLAT\n.CODE\n"
        "start: mov eax, later\n"  // a data label defined after its use
        "  jmp target\n"
        "  mov ecx, count\n"  // an equate defined later: the encoding shrinks in pass 2
        "  REPT 120\n  nop\n  ENDM\n"
        "target: ret\n"
        ".DATA\nlater DWORD 7\n"
        "count EQU 3\n"
        "END\n");
    ASSERT_TRUE(a.ok) << a.messages();
    auto text = a.bytes(".text");
    ASSERT_GE(text.size(), 12u);
    EXPECT_EQ(mltest::hex({text.begin(), text.begin() + 12}), "A1 00 00 00 00 EB 7D B9 03 00 00 00");
    EXPECT_EQ(a.value("target"), 5 + 2 + 5 + 120);
}

TEST(Assembler, LaterPassesGiveTheSameBytesWithAndWithoutTheirShortcuts) {
    // Copying first-pass bytes must give what assembling every line again gives:
    // bytes, object, debug information and listing, with and without a listing.
    std::string source =
        ".386\n.MODEL FLAT\n.DATA\nv DWORD 1\n.CODE\n"
        "Work PROC\n"
        "start: push ebp\n  mov ebp, esp\n  mov ecx, 10\n  mov cx, 5\n"
        // constants without symbols are copied; symbols and $ are read again
        "  mov eax, SIZEOF DWORD + LOW 1234h\n  jmp $+2\n"
        "distance = fwd - start\n  mov edx, distance\n  mov edx, fwd - start\n"
        "top: add eax, v\n  imul eax, ecx\n  cmp eax, 1000\n  jle skip\n"
        "  REPT 40\n  sub eax, 3\n  ENDM\n"
        "skip: dec ecx\n  jnz top\n  rep movsb\n  fld st(1)\nfwd: pop ebp\n  ret\n"
        "Work ENDP\nEND\n";
    TempDir dir;
    mltest::AssembleOptions listed;
    listed.listing = true;
    mltest::AssembleOptions plain;
    plain.listing = false;
    mltest::AssembleOptions listedEveryLine = listed;
    listedEveryLine.copyFirstPassCode = false;
    mltest::AssembleOptions plainEveryLine = plain;
    plainEveryLine.copyFirstPassCode = false;
    auto a = mltest::assemble(dir, source, "a.asm", listed);
    auto b = mltest::assemble(dir, source, "a.asm", plain);
    auto c = mltest::assemble(dir, source, "a.asm", listedEveryLine);
    auto d = mltest::assemble(dir, source, "a.asm", plainEveryLine);
    for (const mltest::Assembly* x : {&a, &b, &c, &d}) ASSERT_TRUE(x->ok) << x->messages();
    EXPECT_GE(b.assembler->passes(), 2u);
    for (const mltest::Assembly* x : {&b, &c, &d}) {
        EXPECT_EQ(x->hexBytes(".text"), a.hexBytes(".text"));
        EXPECT_EQ(mltest::describeObject(x->object(true)), mltest::describeObject(a.object(true)));
    }
    EXPECT_EQ(a.listing(), c.listing());
    EXPECT_NE(a.listing().find("B9 0000000A"), std::string::npos) << a.listing();
    EXPECT_NE(a.listing().find("66|B9 0005"), std::string::npos) << a.listing();
}
