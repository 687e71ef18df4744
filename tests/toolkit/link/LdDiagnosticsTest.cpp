// Translation of GNU ld's messages into link.exe's.
#include "LdDiagnostics.h"

#include <gtest/gtest.h>

using namespace asmora::link;

namespace {
const LdContext kContext{"Debug/hello.exe", "/w/Debug/hello.exe.77.link-tmp"};
}

TEST(LdDiagnostics, UnresolvedSymbolsAreListedOnceAndCounted) {
    auto m = translateLdOutput(
        "ld: /w/Debug/hello.obj: in function `_start':\n"
        "/w/hello.asm:25: undefined reference to `_ExitProcess@4'\n"
        "ld: /w/hello.asm:27: undefined reference to `_Foo@0'\n"
        "ld: /w/hello.asm:29: undefined reference to `_ExitProcess@4'\n"
        "ld: io.obj:(.data+0x4): undefined reference to `table'\n",
        kContext);
    EXPECT_EQ(m.lines, (std::vector<std::string>{"hello.obj : error LNK2001: unresolved external symbol _ExitProcess@4",
                                                 "hello.obj : error LNK2001: unresolved external symbol _Foo@0",
                                                 "io.obj : error LNK2001: unresolved external symbol table",
                                                 "hello.exe : fatal error LNK1120: 3 unresolved externals"}));
    EXPECT_EQ(m.errorCount, 4);
}

TEST(LdDiagnostics, MissingEntryPointIsAnUnresolvedExternal) {
    // ld says it one way for the plain entry and another for the start-up stub's alias.
    for (const char* said : {"/usr/bin/ld: required symbol `_start' not defined\n",
                             "/usr/bin/ld: --defsym:1: undefined symbol `_start' referenced in expression\n"}) {
        auto m = translateLdOutput(said, kContext);
        EXPECT_EQ(m.lines, (std::vector<std::string>{"LINK : error LNK2001: unresolved external symbol _start",
                                                     "hello.exe : fatal error LNK1120: 1 unresolved externals"}))
            << said;
    }
}

TEST(LdDiagnostics, MultipleDefinitionsAndFileErrors) {
    auto m = translateLdOutput(
        "ld: b.obj: in function `_start':\n"
        "/w/b.asm:5: multiple definition of `_start'; a.obj:/w/a.asm:5: first defined here\n"
        "ld: cannot open output file /w/Debug/hello.exe.77.link-tmp: Permission denied\n",
        kContext);
    EXPECT_EQ(m.lines, (std::vector<std::string>{
                           "b.obj : error LNK2005: _start already defined in a.obj",
                           "LINK : fatal error LNK1104: cannot open file 'Debug/hello.exe'",
                           "hello.exe : fatal error LNK1169: one or more multiply defined symbols found"}));
    EXPECT_EQ(m.errorCount, 3);
}

TEST(LdDiagnostics, UnknownLinesStayVisibleAsErrorsAndWarningsAreNotErrors) {
    auto m = translateLdOutput("ld: warning: something odd\nld: final link failed: bad value\n\n", kContext);
    EXPECT_EQ(m.lines, (std::vector<std::string>{"LINK : warning LNK4000: something odd",
                                                 "LINK : error LNK1000: final link failed: bad value"}));
    EXPECT_EQ(m.errorCount, 1);
}
