// The directive table: which unit handles each directive, in which form of statement
// and under which condition.
#include "Directives.h"

#include <array>

#include "Assembler.h"
#include "Text.h"
#include "WordIndex.h"

// clang-format off
namespace ml {

std::span<const Directive> directiveTable() {
    using A = Assembler;
    using C = DirectiveCall;
    constexpr auto Plain = DirectiveForm::Plain;
    constexpr auto Named = DirectiveForm::Named;
    constexpr auto Always = DirectiveWhen::Always;
    // name          form   when                      handler
    static const auto kDirectives = std::to_array<Directive>({
        // equates, types and structures:  name EQU 5   name STRUCT ... name ENDS
        {"=",           Named, Always, [](A& a, const C& c) { a.defineEquate(c.name, c.rest, true); return true; }},
        {"equ",         Named, Always, [](A& a, const C& c) { a.defineEquate(c.name, c.rest, false); return true; }},
        {"label",       Named, Always, [](A& a, const C& c) { a.data_.directiveLabel(c.name, c.rest); return true; }},
        {"struct",      Named, Always, [](A& a, const C& c) { a.data_.beginStructure(c.name, false, c.rest); return true; }},
        {"struc",       Named, Always, [](A& a, const C& c) { a.data_.beginStructure(c.name, false, c.rest); return true; }},
        {"union",       Named, Always, [](A& a, const C& c) { a.data_.beginStructure(c.name, true, c.rest); return true; }},
        {"record",      Named, Always, [](A& a, const C& c) { a.data_.directiveRecord(c.name, c.rest); return true; }},
        {"typedef",     Named, Always, [](A& a, const C& c) { a.data_.directiveTypedef(c.name, c.rest); return true; }},
        {"ends",        Named, Always, [](A& a, const C& c) { a.directiveEndsNamed(c.name); return true; }},
        {"ends",        Plain, DirectiveWhen::InStructure, [](A& a, const C&) { a.data_.endStructure(); return true; }},
        // sections and the model
        {"segment",     Named, Always, [](A& a, const C& c) { a.directiveSegment(c.name, c.rest); return true; }},
        {"group",       Named, Always, [](A&, const C&) { return true; }},
        {".model",      Plain, Always, [](A& a, const C& c) { a.directiveModel(c.rest); return true; }},
        {".stack",      Plain, Always, [](A& a, const C& c) { a.directiveStack(c.rest); return true; }},
        {".code",       Plain, Always, [](A& a, const C& c) { a.directiveStandardSection(c.word); return true; }},
        {".data",       Plain, Always, [](A& a, const C& c) { a.directiveStandardSection(c.word); return true; }},
        {".data?",      Plain, Always, [](A& a, const C& c) { a.directiveStandardSection(c.word); return true; }},
        {".const",      Plain, Always, [](A& a, const C& c) { a.directiveStandardSection(c.word); return true; }},
        {".fardata",    Plain, Always, [](A& a, const C& c) { a.directiveStandardSection(c.word); return true; }},
        {".fardata?",   Plain, Always, [](A& a, const C& c) { a.directiveStandardSection(c.word); return true; }},
        {".radix",      Plain, Always, [](A& a, const C& c) { a.directiveRadix(c.rest); return true; }},
        {".startup",    Plain, Always, [](A&, const C&) { return true; }},
        {".exit",       Plain, Always, [](A&, const C&) { return true; }},
        {"end",         Plain, Always, [](A& a, const C& c) { a.directiveEnd(c.rest); return true; }},
        {"includelib",  Plain, Always, [](A& a, const C& c) { a.directiveIncludeLib(c.rest); return true; }},
        {"align",       Plain, Always, [](A& a, const C& c) { a.directiveAlign(c.rest); return true; }},
        {"even",        Plain, Always, [](A& a, const C&) { a.directiveAlign(2); return true; }},
        {"org",         Plain, Always, [](A& a, const C& c) { a.directiveOrg(c.rest); return true; }},
        {"option",      Plain, Always, [](A& a, const C& c) { a.directiveOption(c.rest); return true; }},
        {"assume",      Plain, Always, [](A&, const C&) { return true; }},
        {"name",        Plain, Always, [](A&, const C&) { return true; }},
        {"page",        Plain, Always, [](A&, const C&) { return true; }},
        // procedures and linkage
        {"proc",        Named, Always, [](A& a, const C& c) { a.procs_.directiveProc(c.name, c.rest); return true; }},
        {"endp",        Named, Always, [](A& a, const C& c) { a.directiveEndp(c.name); return true; }},
        {"proto",       Named, Always, [](A& a, const C& c) { a.procs_.directiveProto(c.name, c.rest); return true; }},
        {"proc",        Plain, Always, [](A& a, const C& c) { a.ctx_.error(Diag::SyntaxError, std::string(c.word)); return true; }},
        {"endp",        Plain, Always, [](A& a, const C& c) { a.ctx_.error(Diag::SyntaxError, std::string(c.word)); return true; }},
        {"public",      Plain, Always, [](A& a, const C& c) { a.procs_.directivePublic(c.rest); return true; }},
        {"extrn",       Plain, Always, [](A& a, const C& c) { a.procs_.directiveExtern(c.rest, false); return true; }},
        {"extern",      Plain, Always, [](A& a, const C& c) { a.procs_.directiveExtern(c.rest, false); return true; }},
        {"externdef",   Plain, Always, [](A& a, const C& c) { a.procs_.directiveExtern(c.rest, true); return true; }},
        {"invoke",      Plain, Always, [](A& a, const C& c) { a.procs_.directiveInvoke(c.rest); return true; }},
        {"local",       Plain, Always, [](A& a, const C& c) { a.procs_.directiveLocal(c.rest); return true; }},
        {"ret",         Plain, DirectiveWhen::InProcedure, [](A& a, const C& c) { return a.procs_.emitReturn(c.rest); }},
        {"retn",        Plain, DirectiveWhen::InProcedure, [](A& a, const C& c) { return a.procs_.emitReturn(c.rest); }},
        // control flow
        {".if",         Plain, Always, [](A& a, const C& c) { a.flow_.controlIf(c.word, c.rest); return true; }},
        {".elseif",     Plain, Always, [](A& a, const C& c) { a.flow_.controlElse(c.word, c.rest); return true; }},
        {".else",       Plain, Always, [](A& a, const C& c) { a.flow_.controlElse(c.word, c.rest); return true; }},
        {".endif",      Plain, Always, [](A& a, const C& c) { a.flow_.controlEndIf(c.word, c.rest); return true; }},
        {".while",      Plain, Always, [](A& a, const C& c) { a.flow_.controlWhile(c.word, c.rest); return true; }},
        {".endw",       Plain, Always, [](A& a, const C& c) { a.flow_.controlEndWhile(c.word, c.rest); return true; }},
        {".repeat",     Plain, Always, [](A& a, const C& c) { a.flow_.controlRepeat(c.word, c.rest); return true; }},
        {".until",      Plain, Always, [](A& a, const C& c) { a.flow_.controlUntil(c.word, c.rest); return true; }},
        {".untilcxz",   Plain, Always, [](A& a, const C& c) { a.flow_.controlUntil(c.word, c.rest); return true; }},
        {".break",      Plain, Always, [](A& a, const C& c) { a.flow_.controlLeave(c.word, c.rest); return true; }},
        {".continue",   Plain, Always, [](A& a, const C& c) { a.flow_.controlLeave(c.word, c.rest); return true; }},
    });
    return kDirectives;
}
// clang-format on

const Directive* findDirective(std::string_view word, DirectiveForm form) {
    static const WordIndex<Directive> plain(directiveTable(),
                                            [](const Directive& d) { return d.form == DirectiveForm::Plain; });
    static const WordIndex<Directive> named(directiveTable(),
                                            [](const Directive& d) { return d.form == DirectiveForm::Named; });
    return (form == DirectiveForm::Plain ? plain : named).find(word);
}

}  // namespace ml
