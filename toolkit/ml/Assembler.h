// The assembler: runs the passes over the preprocessed lines, defines symbols, fills
// the sections through the data directives and the instruction encoder, and records
// what the listing, the object writer and the debug information need.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CodeCache.h"
#include "Diagnostics.h"
#include "Expression.h"
#include "FrameTracker.h"
#include "Lexer.h"
#include "ListingData.h"
#include "ObjectStreamer.h"
#include "Preprocessor.h"
#include "Sections.h"
#include "SourceLine.h"
#include "Symbols.h"
#include "x86/Encoder.h"

namespace ml {

class SourceFiles;

// The tokens as one text, blanks only between words: "corner.y", "[ebp+8]".
std::string joinTokens(std::span<const Token> t);

enum class CaseMode : std::uint8_t { Insensitive, Sensitive, Upper };

struct AssemblerOptions {
    std::vector<std::string> includeDirs;
    CaseMode caseMode = CaseMode::Insensitive;
    bool keepListing = false;      // record listing entries (/Fl)
    bool debugInfo = false;        // record line numbers and follow the stack for call frames (/Zi)
    // Later passes copy the bytes of first-pass instructions that cannot change instead
    // of assembling their lines again; off, every line is assembled in every pass (the
    // tests compare both ways).
    bool copyFirstPassCode = true;
};

// One control-flow block of .IF / .WHILE / .REPEAT.
struct ControlBlock;
enum class ControlBlockKind : std::uint8_t;

// Whether and how an instruction branches to a label (Instructions.cpp).
enum class BranchKind : std::uint8_t;

class Assembler final : public ConstantEvaluator {
public:
    Assembler(SourceFiles& files, DiagnosticSink& diagnostics, AssemblerOptions options);
    ~Assembler() override;

    // Assembles `mainFile`; false when errors were reported.
    bool assemble(std::uint32_t mainFile);

    const std::vector<Section>& sections() const { return output_.sections(); }
    const SymbolTable& symbols() const { return symbols_; }
    SymbolTable& symbols() { return symbols_; }
    // The preprocessed lines, kept after assemble() for the listing (keepListing).
    const std::vector<SourceLine>& lines() const { return lines_; }
    const ListingData& listing() const { return output_.listingData(); }
    const Preprocessor& preprocessor() const { return *pp_; }
    const SourceFiles& files() const { return files_; }
    std::uint32_t passes() const { return pass_; }
    const std::vector<std::string>& includeLibraries() const { return includeLibs_; }
    // The ELF name of `s` as MASM hands it to the linker (_Name@8, _name, name).
    std::string linkName(const Symbol& s) const;
    // The anchor symbol of section `index` (its offset 0).
    const Symbol* sectionAnchor(std::int32_t index) const;
    Language defaultLanguage() const { return language_; }
    // Call frame rules of every procedure and public code label, for .debug_frame.
    const std::vector<FrameRange>& frameRanges() const { return frames_.ranges(); }
    bool modelSeen() const { return modelSeen_; }
    // The entry named by END, or nullptr when END names none.
    const Symbol* entryPoint() const { return entryPoint_; }

    std::optional<std::int64_t> evaluateConstant(std::string_view text, const SourceLine& at, bool quiet) override;
    bool isNumericEquate(std::string_view text) override;

private:
    friend struct ControlBlock;
    using Tokens = std::span<const Token>;

    // passes and lines
    void runPass();
    void processLine(std::size_t index);
    void processLineStatement();
    void processStatement(Tokens tokens);
    bool processNamedDirective(const Token& name, const Token& directive, Tokens rest);
    bool processDirective(const Token& word, Tokens rest);
    void beginPass();
    void cacheCode(Tokens t, std::size_t before);
    bool replayCachedCode();
    bool passIsStable() const { return !changed_ && !sawUnresolved_; }

    // diagnostics
    void error(Diag id, std::string detail = {});
    void evalError(const EvalError& e) { error(e.id, e.detail); }

    // symbols and labels
    Symbol* defineLabel(std::string_view name, bool global, Type type, std::uint32_t length = 1,
                        std::uint32_t size = 0);
    Symbol* defineSymbol(std::string_view name, SymbolKind kind, bool local = false);
    void defineAnonymousLabel();
    void setSymbolValue(Symbol& s, std::int64_t value, std::int32_t section);
    // Binds `s` to the location counter in this pass.
    void placeLabel(Symbol& s);
    void defineEquate(std::string_view name, Tokens rest, bool redefinable);
    EvalEnvironment environment(bool reportUndefined) const;
    std::optional<ExprValue> evaluateTokens(Tokens tokens);
    bool evaluateTokens(Tokens tokens, ExprValue& out);  // the same into `out`
    std::optional<std::int64_t> constantTokens(Tokens tokens, std::string_view what);

    // sections and model
    void selectSection(std::string_view masmName);
    bool requireSection();
    void directiveModel(Tokens rest);
    void defineNumber(std::string_view name, std::int64_t value);
    void definePredefinedSymbols(std::uint32_t mainFile);
    void defineModelSymbols();
    void directiveEnd(Tokens rest);
    void directiveAlign(std::int64_t alignment);
    void directiveOrg(Tokens rest);
    void directiveOption(Tokens rest);
    void directiveSegment(std::string_view name, Tokens rest);
    void directiveEnds(std::string_view name);

    // data (DataDirectives.cpp)
    const Type* dataType(const Token& word) const;
    void defineData(const Token* name, const Type& type, Tokens initializers);
    bool emitInitializer(const Type& type, Tokens item, std::uint32_t& count, std::vector<std::string>& fields);
    bool emitInitializerList(const Type& type, Tokens list, std::uint32_t& count, std::vector<std::string>& fields,
                             int depth);
    bool emitScalar(const Type& type, Tokens item, std::vector<std::string>& fields);
    bool emitWrittenReal(std::uint32_t size, Tokens item, std::vector<std::string>& fields);
    bool emitReal(std::uint32_t size, long double value, const char* digits, bool negative,
                  std::vector<std::string>& fields);
    bool emitHexReal(std::uint32_t size, const Token& number, std::vector<std::string>& fields);
    bool emitInteger(std::uint32_t size, std::int64_t n, std::vector<std::string>& fields);
    bool emitAddress(std::uint32_t size, const ExprValue& v, std::vector<std::string>& fields);
    bool emitStructure(const StructDef& def, Tokens item, std::vector<std::string>& fields);
    bool emitRecord(const StructDef& def, Tokens item, std::vector<std::string>& fields);
    std::uint32_t countInitializers(const Type& type, Tokens list);
    static std::vector<std::string> listingRows(const std::vector<std::string>& fields);
    void beginStructure(std::string_view name, bool isUnion, Tokens alignment);
    void endStructure();
    void addStructField(const Token* name, const Type& type, Tokens initializers);
    void directiveRecord(std::string_view name, Tokens rest);
    void directiveTypedef(std::string_view name, Tokens rest);
    void directiveLabel(std::string_view name, Tokens rest);
    std::optional<Type> parseType(Tokens tokens);

    // instructions (Instructions.cpp)
    // `first` is the mnemonic of tokens[0] when the caller looked it up already.
    void assembleInstruction(Tokens tokens, x86::Mnemonic first = {});
    bool processorDirective(std::string_view word);  // .386, .686P, .387, .NO87 ...
    bool toOperand(const ExprValue& v, x86::Operand& out, bool branchTarget);
    x86::Value relocatable(const Symbol* symbol, std::int64_t addend) const;
    // `generatedText` lists the instruction as one the assembler wrote (prefixed '*').
    bool emitInstruction(x86::Instruction& insn, std::span<const ExprValue> values,
                         std::string_view generatedText = {});
    bool encodeSimple(std::string_view mnemonic, std::initializer_list<x86::Operand> operands,
                      std::string_view listText);
    x86::BranchForm chooseBranchForm(BranchKind kind, const ExprValue& target, bool& sizable);
    void trackFrame(const x86::Instruction& insn);
    void closeFrame();

    // procedures and linkage (Procedures.cpp)
    void directiveProc(std::string_view name, Tokens rest);
    void directiveEndp(std::string_view name);
    static bool isFrameless(const ProcInfo& info);
    void resumeEnclosingProc();
    void directiveProto(std::string_view name, Tokens rest);
    void directiveExtern(Tokens rest, bool externDef);
    void directivePublic(Tokens rest);
    void directiveLocal(Tokens rest);
    void directiveInvoke(Tokens rest);
    bool emitReturn(Tokens rest);
    std::optional<Language> languageWord(const Token& t) const;
    bool parseParameters(Tokens rest, ProcInfo& info, bool isPrototype);
    void emitPrologue(const ProcInfo& info);
    bool pushArgument(Tokens arg, const ProcParam* param);

    // control flow (ControlFlow.cpp)
    bool processControlFlow(const Token& word, Tokens rest);
    // The control-flow directives, one handler each, found in ControlFlow.cpp's table.
    using ControlHandler = void (Assembler::*)(std::string_view directive, Tokens rest);
    static ControlHandler controlHandler(std::string_view directive);
    ControlBlock* innermostBlockOf(ControlBlockKind kind, std::string_view directive);
    ControlBlock* innermostLoop();
    void controlIf(std::string_view directive, Tokens rest);
    void controlElse(std::string_view directive, Tokens rest);
    void controlEndIf(std::string_view directive, Tokens rest);
    void controlWhile(std::string_view directive, Tokens rest);
    void controlEndWhile(std::string_view directive, Tokens rest);
    void controlRepeat(std::string_view directive, Tokens rest);
    void controlUntil(std::string_view directive, Tokens rest);
    void controlLeave(std::string_view directive, Tokens rest);
    bool emitCondition(Tokens cond, bool jumpIfTrue, Symbol& target);
    bool emitJunction(const std::vector<Tokens>& parts, bool isOr, bool jumpIfTrue, Symbol& target);
    std::optional<bool> emitRelation(Tokens cond, bool jumpIfTrue, Symbol& target);
    bool emitTestAgainstZero(Tokens cond, bool jumpIfTrue, Symbol& target);
    // cmp (or test) of the two sides of a relation; isSigned when either side is signed.
    bool encodeComparison(Tokens left, Tokens right, bool bitTest, bool& isSigned);
    void emitCountedUntil(Tokens cond, Symbol& top);
    Symbol& newHiddenLabel();
    Symbol& hiddenLabel(const std::string& name);
    void placeHiddenLabel(Symbol& label);
    void emitJump(std::string_view mnemonic, Symbol& target);

    SourceFiles& files_;
    DiagnosticSink& diagnostics_;
    AssemblerOptions options_;
    SymbolTable symbols_;
    TextArena arena_;
    std::unique_ptr<Preprocessor> pp_;
    std::vector<SourceLine> lines_;
    std::vector<std::string> dataFields_;  // reused: the listed values of one data line
    // Where everything the passes produce goes: the object's sections and the listing.
    ObjectStreamer output_;
    Emitter& out_ = output_;
    std::vector<std::string> includeLibs_;
    std::vector<Token> tokens_;
    x86::Encoded encoded_;            // reused: keeps its fixup storage between instructions
    CodeCache codeCache_;             // by line index, from the first pass

    // pass state
    std::uint32_t pass_ = 0;
    bool reporting_ = false;
    bool changed_ = false;
    bool sawUnresolved_ = false;
    bool endSeen_ = false;
    std::size_t lineIndex_ = 0;
    const SourceLine* line_ = nullptr;
    Symbol* currentProc_ = nullptr;
    std::vector<Symbol*> enclosingProcs_;  // procedures that the current one is nested in
    int radix_ = 10;
    // What the processor directives enable; until the first one, every instruction
    // the encoder knows.
    x86::CpuMode cpuMode_;
    bool modelSeen_ = false;
    Language language_ = Language::None;
    bool scoped_ = true;
    std::vector<std::uint8_t> nearBranches_;  // per branch, in pass order: grown to near
    std::size_t branchIndex_ = 0;
    StructDef* openStructure_ = nullptr;
    std::shared_ptr<StructDef> structureBeingBuilt_;
    Symbol* structureSymbol_ = nullptr;
    std::uint32_t hiddenLabels_ = 0;
    std::uint32_t anonymousLabels_ = 0;  // "@@:" labels placed so far in this pass
    std::vector<std::unique_ptr<ControlBlock>> controlBlocks_;
    bool lineDependsOnSymbols_ = false;  // an operand of the line read a symbol or $
    bool prologuePending_ = false;
    std::size_t procLine_ = 0;        // the PROC line: its listing shows the prologue
    Symbol* entryPoint_ = nullptr;
    bool endInsideConditional_ = false;
    FrameTracker frames_;
};

}  // namespace ml
