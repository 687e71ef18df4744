// The directive table: every row is found in its own form, and the statements whose
// directive applies only under a condition fall back to what they would be otherwise.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "Directives.h"
#include "MlTestSupport.h"
#include "Text.h"

namespace {

using ml::DirectiveForm;

TEST(DirectiveTable, EveryRowIsFoundInItsFormWhateverTheCase) {
    std::set<std::pair<std::string, DirectiveForm>> seen;
    for (const ml::Directive& d : ml::directiveTable()) {
        EXPECT_TRUE(seen.insert({std::string(d.name), d.form}).second) << d.name << " twice in one form";
        EXPECT_EQ(ml::findDirective(d.name, d.form), &d) << d.name;
        EXPECT_EQ(ml::findDirective(ml::upperCase(std::string(d.name)), d.form), &d) << d.name;
        EXPECT_NE(d.handle, nullptr) << d.name;
    }
}

// clang-format off
TEST(DirectiveTable, WordsAreFoundOnlyInTheirForm) {
    struct Case {
        const char* word;
        bool plain;
        bool named;
    };
    const Case cases[] = {
        {"EQU", false, true},      {"=", false, true},     {"PROC", true, true},   {"ENDS", true, true},
        {"SEGMENT", false, true},  {"PUBLIC", true, false}, {".IF", true, false},  {".untilcxz", true, false},
        {".data?", true, false},   {".386", false, false},  {"mov", false, false}, {"DWORD", false, false},
        {".nolist", false, false}, {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ml::findDirective(c.word, DirectiveForm::Plain) != nullptr, c.plain) << c.word;
        EXPECT_EQ(ml::findDirective(c.word, DirectiveForm::Named) != nullptr, c.named) << c.word;
    }
}
// clang-format on

TEST(DirectiveTable, ConditionalDirectivesFallBackToWhatTheWordIsOtherwise) {
    struct Case {
        const char* body;
        const char* code;     // .text bytes, when the source assembles
        const char* message;  // part of the diagnostics, when it does not
    };
    const Case cases[] = {
        // RET outside a procedure, and in one without a frame, is the instruction.
        {"ret\n", "C3", nullptr},
        {"f PROC\nret\nf ENDP\n", "C3", nullptr},
        // With parameters it is the epilogue.
        {"f PROC a:DWORD\nret\nf ENDP\n", "55 8B EC C9 C3", nullptr},
        // ENDS without an open structure or a segment of that name.
        {"ENDS\n", nullptr, "ENDS"},
    };
    for (const Case& c : cases) {
        const std::string source = ".386\n.MODEL FLAT, C\n.CODE\n" + std::string(c.body) + "END\n";
        mltest::Assembly a = mltest::assemble(source);
        if (c.code) {
            EXPECT_TRUE(a.ok) << c.body << a.messages();
            EXPECT_EQ(a.hexBytes(".text"), c.code) << c.body;
        } else {
            EXPECT_FALSE(a.ok) << c.body;
            EXPECT_NE(a.messages().find(c.message), std::string::npos) << c.body << a.messages();
        }
    }
}

}  // namespace
