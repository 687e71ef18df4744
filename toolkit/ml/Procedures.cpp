// Procedures and linkage: PROC/ENDP with parameters, LOCAL, USES and the generated
// prologue and epilogue; PROTO and INVOKE; PUBLIC, EXTRN and EXTERNDEF; and the
// names that symbols get in the object under each language type.
#include <algorithm>

#include "Procedures.h"
#include "Text.h"

namespace ml {

namespace {

struct LanguageName {
    std::string_view name;
    Language language;
};

constexpr LanguageName kLanguages[] = {
    {"c", Language::C},           {"syscall", Language::Syscall}, {"stdcall", Language::Stdcall},
    {"pascal", Language::Pascal}, {"fortran", Language::Fortran}, {"basic", Language::Basic},
};

bool isDistance(const Token& t) {
    return t.isWord("NEAR") || t.isWord("NEAR32") || t.isWord("FAR") || t.isWord("FAR32") || t.isWord("NEAR16") ||
           t.isWord("FAR16");
}

x86::Operand reg(std::string_view name) {
    x86::Operand op;
    op.kind = x86::OperandKind::Reg;
    op.reg = x86::lookupRegister(name);
    op.size = static_cast<std::uint8_t>(registerSize(op.reg));
    return op;
}

x86::Operand imm(std::int64_t value, std::uint32_t symbol = 0) {
    x86::Operand op;
    op.kind = x86::OperandKind::Imm;
    op.imm = x86::Value{value, symbol};
    return op;
}

// "name:type" or ":type" starts the parameter list (the comma before it is optional).
bool startsParameter(std::span<const Token> t, std::size_t i) {
    if (t[i].is(":")) return true;
    if (i + 1 >= t.size() || t[i].kind != TokenKind::Identifier || !t[i + 1].is(":")) return false;
    for (const LanguageName& l : kLanguages)
        if (t[i].isWord(l.name)) return false;  // "stdcall :DWORD": a language, then a parameter
    return !isDistance(t[i]);
}

}  // namespace

// The tokens as one text, blanks only between words: "corner.y", "[ebp+8]".
std::string joinTokens(std::span<const Token> t) {
    std::string out;
    const Token* previous = nullptr;
    for (const Token& tok : t) {
        bool glue = out.empty() || tok.kind == TokenKind::Punct || out.back() == '[' || out.back() == '(' ||
                    out.back() == '.' || out.back() == '+' || out.back() == '-' || out.back() == '*';
        if (tok.is("[") && previous && previous->isWord("PTR")) glue = false;  // BYTE PTR [esi]
        previous = &tok;
        if (!glue) out += ' ';
        out += tok.text;
        if (tok.is(",")) out += ' ';
    }
    return out;
}

namespace {

std::string joinText(std::span<const Token> t) { return joinTokens(t); }

}  // namespace

std::optional<Language> languageWord(const Token& t) {
    if (t.kind != TokenKind::Identifier) return std::nullopt;
    for (const LanguageName& l : kLanguages)
        if (equalsNoCase(t.text, l.name)) return l.language;
    return std::nullopt;
}

std::string linkName(const Symbol& s, CaseMode caseMode) {
    std::string name = caseMode == CaseMode::Upper ? upperCase(s.name) : s.name;
    switch (s.language) {
        case Language::C:
            return "_" + name;
        case Language::Stdcall:
            if (s.proc && (s.kind == SymbolKind::Procedure || s.kind == SymbolKind::Prototype ||
                           (s.kind == SymbolKind::External && s.proc->hasPrototype)))
                return "_" + name + "@" + std::to_string(s.proc->paramBytes);
            return "_" + name;
        case Language::Pascal:
        case Language::Fortran:
        case Language::Basic:
            return upperCase(name);
        default:
            return name;
    }
}

// Reads "name:type" pairs after the first comma of PROC and PROTO, and gives each
// parameter its place above the return address: [ebp+8], [ebp+12] ...
bool Procedures::parseParameters(Tokens rest, ProcInfo& info, bool isPrototype) {
    std::int32_t offset = 8;
    for (Tokens p : splitTokens(rest)) {
        if (p.empty()) continue;
        ProcParam param;
        std::size_t typeAt = 0;
        if (p[0].kind == TokenKind::Identifier && p.size() >= 2 && p[1].is(":")) {
            param.name = std::string(p[0].text);
            typeAt = 2;
        } else if (!isPrototype) {
            ctx_.error(Diag::SyntaxError, joinText(p));
            return false;
        } else if (p[0].is(":")) {
            typeAt = 1;
        }
        Tokens typeTokens = p.subspan(std::min(typeAt, p.size()));
        if (typeTokens.size() == 1 && typeTokens[0].isWord("VARARG")) {
            param.isVararg = true;
        } else if (typeTokens.empty()) {
            param.type = Type{4};
        } else {
            auto t = ctx_.parseType(typeTokens);
            if (!t) {
                ctx_.error(Diag::InvalidType, joinText(typeTokens));
                return false;
            }
            param.type = *t;
            if (param.type.isCode) param.type = Type{4};
        }
        if (!info.params.empty() && info.params.back().isVararg) {
            ctx_.error(Diag::VarargNotLast, param.name);
            return false;
        }
        param.offset = offset;
        std::uint32_t slot = param.isVararg ? 0 : (std::max<std::uint32_t>(param.type.size, 4) + 3) / 4 * 4;
        offset += static_cast<std::int32_t>(slot);
        info.paramBytes += slot;
        info.params.push_back(std::move(param));
    }
    if (info.language == Language::Pascal) {  // pushed left to right: the last is nearest
        std::int32_t at = 8;
        for (auto it = info.params.rbegin(); it != info.params.rend(); ++it) {
            it->offset = at;
            at += static_cast<std::int32_t>((std::max<std::uint32_t>(it->type.size, 4) + 3) / 4 * 4);
        }
    }
    return true;
}

void Procedures::directiveProc(std::string_view name, Tokens rest) {
    if (ctx_.currentProc && !isFrameless(*ctx_.currentProc->proc)) {
        ctx_.error(Diag::NestedProcedure, std::string(name));
        return;
    }
    if (!ctx_.requireSection()) return;
    auto info = std::make_shared<ProcInfo>();
    info->language = ctx_.language;
    bool isPublic = ctx_.procsPublic;
    std::size_t i = 0;
    for (; i < rest.size() && !rest[i].is(",") && !startsParameter(rest, i); ++i) {
        const Token& t = rest[i];
        if (isDistance(t)) {
            info->isFar = t.isWord("FAR") || t.isWord("FAR32") || t.isWord("FAR16");
        } else if (auto lang = languageWord(t)) {
            info->language = *lang;
        } else if (t.isWord("PRIVATE")) {
            isPublic = false;
        } else if (t.isWord("PUBLIC") || t.isWord("EXPORT")) {
            isPublic = true;
        } else if (t.isWord("USES")) {
            // The registers end at the first "name:type" (a comma before it is optional).
            for (++i; i < rest.size() && rest[i].kind == TokenKind::Identifier && !startsParameter(rest, i); ++i) {
                if (x86::lookupRegister(rest[i].text).cls == x86::RegClass::None) {
                    ctx_.error(Diag::SyntaxError, std::string(rest[i].text));
                    return;
                }
                info->uses.emplace_back(rest[i].text);
            }
            --i;
        } else {
            ctx_.error(Diag::SyntaxError, std::string(t.text));
            return;
        }
    }
    if (i < rest.size() && rest[i].is(",")) ++i;
    if (i < rest.size() && !parseParameters(rest.subspan(i), *info, false)) return;
    requireLanguageForParameters(*info, name);
    if (ctx_.currentProc && !isFrameless(*info)) {
        ctx_.error(Diag::NestedProcedure, std::string(name));
        return;
    }

    Symbol* s = ctx_.symbols.findGlobal(name);
    if (s && s->prototype && s->prototypeAt < ctx_.lineIndex && !sameParameters(*s->prototype, *info))
        ctx_.error(Diag::ConflictingParameter, std::string(name));
    if (s && s->kind == SymbolKind::Prototype && s->proc) {
        s->kind = SymbolKind::Procedure;
        info->hasPrototype = true;
    } else if (s && s->kind == SymbolKind::External && s->isExternDef) {
        s->kind = SymbolKind::Procedure;
    } else {
        s = ctx_.defineSymbol(name, SymbolKind::Procedure);
        if (!s) return;
    }
    ctx_.placeLabel(*s);
    s->type = Type{4, false, false, true, info->isFar};
    s->language = info->language;
    s->isPublic = s->isPublic || isPublic;
    info->hasFrame = !info->params.empty();
    s->proc = info;
    if (ctx_.currentProc) {
        enclosingProcs_.push_back(ctx_.currentProc);
        ctx_.closeFrame();
    }
    ctx_.currentProc = s;
    ctx_.symbols.openScope(s->id);
    if (ctx_.out.sectionKind() == SectionKind::Text) ctx_.frames.begin(ctx_.out.here().section, ctx_.out.here().offset);
    for (const ProcParam& p : info->params) {
        if (p.name.empty()) continue;
        Symbol* param = ctx_.defineSymbol(p.name, SymbolKind::StackParam, true);
        if (!param) continue;
        param->value = p.offset;
        param->type = p.type;
        param->lengthOf = 1;
        param->sizeOf = p.type.size;
        param->defined = true;
        param->definedPass = ctx_.pass;
        param->definedAt = ctx_.lineIndex;
    }
    prologuePending_ = info->hasFrame || !info->uses.empty();
    procLine_ = ctx_.lineIndex;
    prologueListedAt_ = procLine_;
    ctx_.out.listOffset();
}

void Procedures::directiveLocal(Tokens rest) {
    if (!ctx_.currentProc || !ctx_.currentProc->proc) {
        ctx_.error(Diag::LocalOutsideBlock);
        return;
    }
    if (!enclosingProcs_.empty()) {  // a stack frame inside another procedure
        ctx_.error(Diag::NestedProcedure, ctx_.currentProc->name);
        return;
    }
    ProcInfo& info = *ctx_.currentProc->proc;
    for (Tokens item : splitTokens(rest)) {
        if (item.empty() || item[0].kind != TokenKind::Identifier) {
            ctx_.error(Diag::SyntaxError, "LOCAL");
            return;
        }
        std::size_t i = 1;
        std::int64_t count = 1;
        if (i < item.size() && item[i].is("[")) {
            std::size_t close = i + 1;
            while (close < item.size() && !item[close].is("]")) ++close;
            auto n = ctx_.constantTokens(item.subspan(i + 1, close - i - 1), "LOCAL");
            if (!n) return;
            if (*n < 1 || *n > (1 << 24)) {
                ctx_.error(Diag::ValueOutOfRange, "LOCAL");
                return;
            }
            count = *n;
            i = close + 1;
        }
        Type type{4};
        if (i < item.size() && item[i].is(":")) {
            auto t = ctx_.parseType(item.subspan(i + 1));
            if (!t) {
                ctx_.error(Diag::InvalidType, joinText(item.subspan(i + 1)));
                return;
            }
            type = *t;
        }
        std::uint32_t bytes = static_cast<std::uint32_t>(type.size * count);
        info.localBytes = (info.localBytes + bytes + 3) / 4 * 4;
        ProcParam local;
        local.name = std::string(item[0].text);
        local.type = type;
        local.offset = -static_cast<std::int32_t>(info.localBytes);
        info.locals.push_back(local);
        Symbol* s = ctx_.defineSymbol(local.name, SymbolKind::StackParam, true);
        if (!s) continue;
        s->value = local.offset;
        s->type = type;
        s->lengthOf = static_cast<std::uint32_t>(count);
        s->firstLength = s->lengthOf;
        s->sizeOf = bytes;
        s->defined = true;
        s->definedPass = ctx_.pass;
        s->definedAt = ctx_.lineIndex;
    }
    info.hasFrame = true;
    prologuePending_ = true;
    prologueListedAt_ = ctx_.lineIndex;
}

void Procedures::beginPass() {
    enclosingProcs_.clear();
    prologuePending_ = false;
}

void Procedures::writePendingPrologue() {
    prologuePending_ = false;
    if (ctx_.currentProc && ctx_.currentProc->proc) emitPrologue(*ctx_.currentProc->proc);
}

void Procedures::emitPrologue(const ProcInfo& info) {
    // The prologue is written at the first statement after PROC and LOCAL; like MASM,
    // the listing shows it after the LOCAL lines, and the debugger steps it as the
    // PROC line.
    struct Restore {
        PassContext& ctx;
        std::size_t line;
        ~Restore() {
            ctx.lineIndex = line;
            ctx.out.listUnder(line);
        }
    } restore{ctx_, ctx_.lineIndex};
    ctx_.lineIndex = procLine_;
    ctx_.out.listUnder(prologueListedAt_);
    if (info.hasFrame) {
        insns_.encodeSimple("push", {reg("ebp")}, "push ebp");
        insns_.encodeSimple("mov", {reg("ebp"), reg("esp")}, "mov ebp, esp");
        if (info.localBytes)
            insns_.encodeSimple("add", {reg("esp"), imm(-static_cast<std::int64_t>(info.localBytes))},
                                "add esp, " + std::to_string(-static_cast<std::int64_t>(info.localBytes)));
    }
    for (const std::string& r : info.uses) insns_.encodeSimple("push", {reg(r)}, "push " + r);
}

bool Procedures::emitReturn(Tokens rest) {
    const ProcInfo* info = ctx_.currentProc->proc.get();
    if (!info || (!info->hasFrame && info->uses.empty() && info->paramBytes == 0)) return false;
    if (prologuePending_) {
        prologuePending_ = false;
        emitPrologue(*info);
    }
    std::int64_t pop =
        (info->language == Language::C || info->language == Language::Syscall || info->language == Language::None)
            ? 0
            : info->paramBytes;
    if (!rest.empty()) {
        auto n = ctx_.constantTokens(rest, "RET");
        if (!n) return true;
        pop = *n;
    }
    for (auto it = info->uses.rbegin(); it != info->uses.rend(); ++it)
        insns_.encodeSimple("pop", {reg(*it)}, "pop " + *it);
    if (info->hasFrame) insns_.encodeSimple("leave", {}, "leave");
    if (pop)
        insns_.encodeSimple("ret", {imm(pop)}, "ret " + std::to_string(pop));
    else
        insns_.encodeSimple("ret", {}, "ret");
    return true;
}

void Procedures::directiveEndp(std::string_view name) {
    if (!ctx_.currentProc || !equalsNoCase(ctx_.currentProc->name, name)) {
        ctx_.error(Diag::ProcNotOpen, std::string(name));
        return;
    }
    if (prologuePending_) {
        prologuePending_ = false;
        emitPrologue(*ctx_.currentProc->proc);
    }
    if (ctx_.out.hasSection() && ctx_.currentProc->section == ctx_.out.here().section) {
        ctx_.currentProc->sizeOf = static_cast<std::uint32_t>(ctx_.out.here().offset - ctx_.currentProc->value);
        ctx_.currentProc->proc->endOffset = ctx_.out.here().offset;
    }
    ctx_.currentProc = nullptr;
    ctx_.symbols.closeScope();
    ctx_.closeFrame();
    resumeEnclosingProc();
}

// Who removes the arguments, and so how RET and INVOKE end a call, follows from the
// language type: parameters without one (.MODEL FLAT alone, no C or STDCALL on the
// PROC or PROTO) are error A2119, as in MASM, not a call that leaves them on the stack.
void Procedures::requireLanguageForParameters(const ProcInfo& info, std::string_view name) {
    if (!info.params.empty() && info.language == Language::None) ctx_.error(Diag::LanguageRequired, std::string(name));
}

// A PROC and its PROTO (or two PROTOs) must pass the same: as many parameters, each
// of the same size and kind (a:DWORD against b:WORD is A2111).
bool Procedures::sameParameters(const ProcInfo& a, const ProcInfo& b) {
    return std::equal(
        a.params.begin(), a.params.end(), b.params.begin(), b.params.end(), [](const ProcParam& x, const ProcParam& y) {
            return x.isVararg == y.isVararg && x.type.size == y.type.size && x.type.isFloat == y.type.isFloat;
        });
}

// Only procedures without parameters, locals and USES nest: none of them has a frame
// that the other's code would have to know about.
bool Procedures::isFrameless(const ProcInfo& info) {
    return !info.hasFrame && info.uses.empty() && info.params.empty();
}

// After the ENDP of a nested procedure the enclosing one goes on: its labels are
// visible again and its code is followed for call frames from here.
void Procedures::resumeEnclosingProc() {
    if (enclosingProcs_.empty()) return;
    ctx_.currentProc = enclosingProcs_.back();
    enclosingProcs_.pop_back();
    ctx_.symbols.openScope(ctx_.currentProc->id);
    if (ctx_.out.hasSection() && ctx_.out.sectionKind() == SectionKind::Text)
        ctx_.frames.begin(ctx_.out.here().section, ctx_.out.here().offset);
}

void Procedures::directiveProto(std::string_view name, Tokens rest) {
    auto info = std::make_shared<ProcInfo>();
    info->language = ctx_.language;
    info->hasPrototype = true;
    std::size_t i = 0;
    for (; i < rest.size() && !rest[i].is(",") && !startsParameter(rest, i); ++i) {
        if (isDistance(rest[i]))
            info->isFar = rest[i].isWord("FAR") || rest[i].isWord("FAR32");
        else if (auto lang = languageWord(rest[i]))
            info->language = *lang;
        else {
            ctx_.error(Diag::SyntaxError, std::string(rest[i].text));
            return;
        }
    }
    if (i < rest.size() && rest[i].is(",")) ++i;
    if (i < rest.size() && !parseParameters(rest.subspan(i), *info, true)) return;
    requireLanguageForParameters(*info, name);
    Symbol* s = ctx_.symbols.findGlobal(name);
    if (s && (s->kind == SymbolKind::Prototype || s->kind == SymbolKind::Procedure) && s->proc) {
        // A repeated prototype (an INCLUDE file read twice) must agree with the first,
        // and a prototype after its PROC with the PROC; both are checked in every pass.
        const ProcInfo* earlier = nullptr;
        if (s->prototype && s->prototypeAt < ctx_.lineIndex)
            earlier = s->prototype.get();
        else if (s->kind == SymbolKind::Procedure && s->definedPass == ctx_.pass && s->definedAt < ctx_.lineIndex)
            earlier = s->proc.get();
        if (earlier && (!sameParameters(*earlier, *info) || earlier->language != info->language))
            ctx_.error(Diag::ConflictingParameter, std::string(name));
        if (!s->prototype) {
            s->prototype = info;
            s->prototypeAt = ctx_.lineIndex;
        }
        return;
    }
    if (s && s->kind == SymbolKind::External) {
        s->kind = SymbolKind::Prototype;
    } else {
        s = ctx_.defineSymbol(name, SymbolKind::Prototype);
        if (!s) return;
    }
    s->proc = info;
    s->prototype = info;
    s->prototypeAt = ctx_.lineIndex;
    s->language = info->language;
    s->type = Type{4, false, false, true, info->isFar};
    s->defined = true;
    s->definedPass = ctx_.pass;
    s->definedAt = ctx_.lineIndex;
}

// EXTRN [language] name:type [, ...]
void Procedures::directiveExtern(Tokens rest, bool externDef) {
    for (Tokens item : splitTokens(rest)) {
        Language lang = ctx_.language;
        if (!item.empty()) {
            if (auto l = languageWord(item[0]); l && item.size() > 1 && item[1].kind == TokenKind::Identifier) {
                lang = *l;
                item = item.subspan(1);
            }
        }
        if (item.size() < 3 || item[0].kind != TokenKind::Identifier || !item[1].is(":")) {
            ctx_.error(Diag::SyntaxError, joinText(item));
            continue;
        }
        std::string_view name = item[0].text;
        Tokens typeTokens = item.subspan(2);
        std::optional<Type> type;
        if (typeTokens.size() == 1 && typeTokens[0].isWord("ABS"))
            type = Type{};
        else
            type = ctx_.parseType(typeTokens);
        if (!type) {
            ctx_.error(Diag::InvalidType, joinText(typeTokens));
            continue;
        }
        Symbol* s = ctx_.symbols.findGlobal(name);
        if (s && (s->kind == SymbolKind::Label || s->kind == SymbolKind::Procedure) && s->defined) {
            if (externDef)
                s->isPublic = true;
            else if (s->definedPass == ctx_.pass)
                ctx_.error(Diag::SymbolRedefinition, s->name);
            continue;
        }
        if (s && (s->kind == SymbolKind::External || s->kind == SymbolKind::Prototype)) continue;  // declared again
        if (!s)
            s = &ctx_.symbols.create(name, SymbolKind::External);
        else if (s->kind == SymbolKind::Label && !s->defined)
            s->kind = SymbolKind::External;
        else {
            ctx_.error(Diag::SymbolTypeConflict, s->name);
            continue;
        }
        s->type = *type;
        s->language = lang;
        s->isExternDef = externDef;
        s->defined = true;
        s->definedPass = ctx_.pass;
        s->definedAt = ctx_.lineIndex;
    }
}

void Procedures::directivePublic(Tokens rest) {
    for (Tokens item : splitTokens(rest)) {
        std::optional<Language> lang;
        if (item.size() == 2 && (lang = languageWord(item[0]))) item = item.subspan(1);
        if (item.size() != 1 || item[0].kind != TokenKind::Identifier) {
            ctx_.error(Diag::SyntaxError, joinText(item));
            continue;
        }
        Symbol* s = ctx_.symbols.findGlobal(item[0].text);
        if (!s) {
            s = &ctx_.symbols.create(item[0].text, SymbolKind::Label);
            s->language = ctx_.language;
        }
        if (s->kind != SymbolKind::Label && s->kind != SymbolKind::Procedure && s->kind != SymbolKind::External) {
            ctx_.error(Diag::CannotBePublic, s->name);
            continue;
        }
        s->isPublic = true;
        if (lang) s->language = *lang;
        if (ctx_.pass > 1 && !s->defined) ctx_.error(Diag::UndefinedSymbol, s->name);
    }
}

// INVOKE target [, argument ...]: pushes the arguments right to left, calls, and for
// the C language removes them again.
void Procedures::directiveInvoke(Tokens rest) {
    if (!ctx_.requireSection()) return;
    auto parts = splitTokens(rest);
    if (parts.empty() || parts[0].empty()) {
        ctx_.error(Diag::SyntaxError, "INVOKE");
        return;
    }
    Tokens targetTokens = parts[0];
    Symbol* target = targetTokens.size() == 1 ? ctx_.symbols.find(targetTokens[0].text) : nullptr;
    if (!target || !target->proc) {
        if (!target && ctx_.pass == 1) {
            ctx_.sawUnresolved = true;
            return;
        }
        ctx_.error(target ? Diag::InvokeNeedsPrototype : Diag::UndefinedSymbol, joinText(targetTokens));
        return;
    }
    target->referenced = true;
    const ProcInfo& info = *target->proc;
    std::vector<Tokens> args(parts.begin() + 1, parts.end());
    bool vararg = !info.params.empty() && info.params.back().isVararg;
    std::size_t fixed = info.params.size() - (vararg ? 1 : 0);
    if (args.size() > fixed && !vararg) {
        ctx_.error(Diag::TooManyInvokeArguments, target->name);
        return;
    }
    if (args.size() < fixed) {
        ctx_.error(Diag::TooFewInvokeArguments, target->name);
        return;
    }
    std::uint32_t pushed = 0;
    eaxOverwritten_ = false;
    for (std::size_t k = args.size(); k-- > 0;) {
        const ProcParam* param = k < fixed ? &info.params[k] : nullptr;
        if (args[k].empty()) {
            ctx_.error(Diag::InvalidInvokeArgument, std::to_string(k + 1));
            return;
        }
        auto bytes = pushArgument(args[k], param, k + 1);
        if (!bytes) return;
        pushed += *bytes;
    }
    x86::Operand call = imm(0);
    if (target->defined && target->section == ctx_.out.here().section && target->kind == SymbolKind::Procedure)
        call.imm = x86::Value{target->value, 0};
    else
        call.imm = ctx_.relocatable(target, 0);
    insns_.encodeSimple("call", {call}, "call " + target->name);
    bool callerCleans = info.language == Language::C || info.language == Language::Syscall || vararg;
    if (callerCleans && pushed)
        insns_.encodeSimple("add", {reg("esp"), imm(pushed)}, "add esp, " + std::to_string(pushed));
}

namespace {

bool mentionsEax(Tokens arg) {
    for (const Token& t : arg)
        if (t.isWord("EAX") || t.isWord("AX") || t.isWord("AL") || t.isWord("AH")) return true;
    return false;
}

}  // namespace

// Arguments are pushed right to left; ADDR of a stack variable and the widening of
// BYTE and WORD arguments go through EAX, so an argument further left that reads EAX
// would get the wrong value (A2133). An argument larger than its parameter would push
// more than the procedure removes (A2114).
std::optional<std::uint32_t> Procedures::pushArgument(Tokens arg, const ProcParam* param, std::size_t number) {
    if (eaxOverwritten_ && mentionsEax(arg)) {
        ctx_.error(Diag::InvokeOverwritesRegister, joinText(arg));
        return std::nullopt;
    }
    std::string text = joinText(arg);
    if (arg.size() == 3 && arg[1].is("::")) return pushRegisterPair(arg, param, number);
    if (arg[0].isWord("ADDR")) {
        auto v = ctx_.evaluateTokens(arg.subspan(1));
        if (!v) return std::nullopt;
        if (v->kind == ValueKind::Memory && v->hasRegisters()) {
            x86::Operand m;
            if (!insns_.toOperand(*v, m, false)) return std::nullopt;
            m.size = 0;
            insns_.encodeSimple("lea", {reg("eax"), m}, "lea eax, " + joinText(arg.subspan(1)));
            eaxOverwritten_ = true;
            if (!insns_.encodeSimple("push", {reg("eax")}, "push eax")) return std::nullopt;
            return 4;
        }
        if ((v->kind != ValueKind::Address && v->kind != ValueKind::Memory) || (!v->symbol && !v->unresolved)) {
            ctx_.error(Diag::InvalidInvokeArgument, text);
            return std::nullopt;
        }
        x86::Operand o = imm(0);
        o.imm = v->unresolved ? x86::Value{0, 0} : ctx_.relocatable(v->symbol, v->number);
        if (!insns_.encodeSimple("push", {o}, "push OFFSET " + joinText(arg.subspan(1)))) return std::nullopt;
        return 4;
    }
    auto v = ctx_.evaluateTokens(arg);
    if (!v) return std::nullopt;
    std::uint32_t wanted = param ? std::max<std::uint32_t>(param->type.size, 4) : 4;
    x86::Operand op;
    if (!insns_.toOperand(*v, op, false)) return std::nullopt;
    if (op.kind == x86::OperandKind::Imm) {
        op.size = 4;
        if (wanted == 8) {
            std::int64_t value = op.imm.constant;
            insns_.encodeSimple("push", {imm(value >> 32)}, "push " + std::to_string(value >> 32));
            if (!insns_.encodeSimple("push", {imm(value & 0xFFFFFFFF)}, "push " + std::to_string(value & 0xFFFFFFFF)))
                return std::nullopt;
            return 8;
        }
        if (!insns_.encodeSimple("push", {op}, "push " + text)) return std::nullopt;
        return 4;
    }
    std::uint32_t size = op.size ? op.size : wanted;
    if (param && op.size > param->type.size) {  // a QWORD for a DWORD, EAX for a BYTE
        ctx_.error(Diag::InvokeArgumentMismatch, "argument " + std::to_string(number));
        return std::nullopt;
    }
    if (op.kind == x86::OperandKind::Reg && size < 4) {
        bool isSigned = v->type.isSigned || (param && param->type.isSigned);
        if (!pushConverted(isSigned ? "movsx" : "movzx", op, text)) return std::nullopt;
        return 4;
    }
    if (op.kind == x86::OperandKind::Reg) {
        if (!insns_.encodeSimple("push", {op}, "push " + text)) return std::nullopt;
        return 4;
    }
    if (size == 8) {
        x86::Operand high = op;
        high.size = 4;
        high.disp.constant += 4;
        x86::Operand low = op;
        low.size = 4;
        insns_.encodeSimple("push", {high}, "push DWORD PTR " + text + "+4");
        if (!insns_.encodeSimple("push", {low}, "push DWORD PTR " + text)) return std::nullopt;
        return 8;
    }
    if (size < 4) {
        if (!pushConverted(v->type.isSigned ? "movsx" : "movzx", op, text)) return std::nullopt;
        return 4;
    }
    op.size = 4;
    if (!insns_.encodeSimple("push", {op}, "push " + text)) return std::nullopt;
    return 4;
}

// edx::eax: a QWORD argument in two registers, the high one pushed first.
std::optional<std::uint32_t> Procedures::pushRegisterPair(Tokens arg, const ProcParam* param, std::size_t number) {
    const x86::Register high = x86::lookupRegister(arg[0].text), low = x86::lookupRegister(arg[2].text);
    if (high.cls != x86::RegClass::Gpr32 || low.cls != x86::RegClass::Gpr32) {
        ctx_.error(Diag::InvalidInvokeArgument, joinText(arg));
        return std::nullopt;
    }
    if (param && param->type.size != 8) {
        ctx_.error(Diag::InvokeArgumentMismatch, "argument " + std::to_string(number));
        return std::nullopt;
    }
    insns_.encodeSimple("push", {reg(arg[0].text)}, "push " + std::string(arg[0].text));
    if (!insns_.encodeSimple("push", {reg(arg[2].text)}, "push " + std::string(arg[2].text))) return std::nullopt;
    return 8;
}

// A BYTE or WORD argument is widened in EAX and pushed as a DWORD.
bool Procedures::pushConverted(const char* mnemonic, const x86::Operand& op, const std::string& text) {
    insns_.encodeSimple(mnemonic, {reg("eax"), op}, std::string(mnemonic) + " eax, " + text);
    eaxOverwritten_ = true;
    return insns_.encodeSimple("push", {reg("eax")}, "push eax");
}

}  // namespace ml
