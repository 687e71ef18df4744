// The assembler: runs the passes over the preprocessed lines and dispatches each
// statement to the unit that handles it (instructions, data, procedures, control
// flow) or to its own directives (labels, equates, sections, the model, END, ALIGN,
// ORG, OPTION); everything produced goes through the emitter to the sections and
// the listing, which the object writer and the debug information read afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CodeCache.h"
#include "ControlFlow.h"
#include "DataDirectives.h"
#include "Diagnostics.h"
#include "Directives.h"
#include "Expression.h"
#include "InstructionWriter.h"
#include "ListingData.h"
#include "ObjectStreamer.h"
#include "PassContext.h"
#include "Preprocessor.h"
#include "Procedures.h"
#include "Sections.h"
#include "SourceLine.h"
#include "Symbols.h"

namespace ml {

class SourceFiles;

class Assembler final : public AssemblerHooks {
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
    std::uint32_t passes() const { return ctx_.pass; }
    const std::vector<std::string>& includeLibraries() const { return includeLibs_; }
    // The ELF name of `s` as MASM hands it to the linker (_Name@8, _name, name).
    std::string linkName(const Symbol& s) const { return ml::linkName(s, options_.caseMode); }
    // The anchor symbol of section `index` (its offset 0).
    const Symbol* sectionAnchor(std::int32_t index) const { return output_.sectionSymbol(index); }
    Language defaultLanguage() const { return ctx_.language; }
    // Call frame rules of every procedure and public code label, for .debug_frame.
    const std::vector<FrameRange>& frameRanges() const { return ctx_.frames.ranges(); }
    bool modelSeen() const { return modelSeen_; }
    // The entry named by END, or nullptr when END names none.
    const Symbol* entryPoint() const { return entryPoint_; }

    std::optional<std::int64_t> evaluateConstant(std::string_view text, const SourceLine& at, bool quiet) override;
    bool isNumericEquate(std::string_view text) override;
    void assembleNow(const SourceLine& line) override;

private:
    // The directive table's handlers call the units and the directives below.
    friend std::span<const Directive> directiveTable();

    // passes and lines
    void runPass();
    void processLine(std::size_t index);
    void processLineStatement();
    void processStatement(Tokens tokens);
    bool processNamedDirective(const Token& name, const Token& directive, Tokens rest);
    bool processDirective(const Token& word, Tokens rest);
    // Runs `d` when its condition holds; false when the statement is something else.
    bool runDirective(const Directive& d, const DirectiveCall& call);
    void beginPass();
    void cacheCode(Tokens t, std::size_t before);
    bool replayCachedCode();
    bool passIsStable() const { return !ctx_.changed && !ctx_.sawUnresolved; }

    // labels and equates
    void defineAnonymousLabel();
    void defineEquate(std::string_view name, Tokens rest, bool redefinable);

    // sections and model
    void selectSection(std::string_view masmName);
    void directiveModel(Tokens rest);
    void defineNumber(std::string_view name, std::int64_t value);
    void definePredefinedSymbols(std::uint32_t mainFile);
    void defineModelSymbols();
    void noteCurrentSegment();
    void defineUnlistedText(std::string_view name, std::string value);
    void directiveEnd(Tokens rest);
    void directiveEndp(std::string_view name);
    void directiveAlign(Tokens rest);
    void directiveAlign(std::int64_t alignment);
    void directiveStandardSection(std::string_view directive);
    void directiveStack(Tokens rest);
    void directiveRadix(Tokens rest);
    void directiveIncludeLib(Tokens rest);
    void directiveEndsNamed(std::string_view name);
    void directiveOrg(Tokens rest);
    void directiveOption(Tokens rest);
    void directiveSegment(std::string_view name, Tokens rest);
    void directiveEnds(std::string_view name);

    SourceFiles& files_;
    DiagnosticSink& diagnostics_;
    AssemblerOptions options_;
    SymbolTable symbols_;
    TextArena arena_;
    std::unique_ptr<Preprocessor> pp_;
    std::vector<SourceLine> lines_;
    std::int32_t curSegSection_ = -1;  // the section @CurSeg names
    // Where everything the passes produce goes: the object's sections and the listing.
    ObjectStreamer output_;
    Emitter& out_ = output_;
    PassContext ctx_;
    InstructionWriter insns_;
    DataDirectives data_;
    Procedures procs_;
    ControlFlow flow_;
    std::vector<std::string> includeLibs_;
    std::vector<Token> tokens_;
    CodeCache codeCache_;    // by line index, from the first pass
    x86::Encoded replayed_;  // reused: a cached instruction emitted again

    bool endSeen_ = false;
    bool modelSeen_ = false;
    Symbol* entryPoint_ = nullptr;
    bool endInsideConditional_ = false;
};

}  // namespace ml
