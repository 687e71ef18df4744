// What stands behind the emitter: the sections of the object (bytes, relocations,
// line records and their anchor symbols) and the listing.
#pragma once

#include <vector>

#include "Emitter.h"
#include "ListingRecorder.h"

namespace ml {

class SymbolTable;

class ObjectStreamer final : public Emitter {
public:
    // `lineRecords`: keep which source line produced the code (/Zi).
    ObjectStreamer(SymbolTable& symbols, bool lineRecords);

    // Forgets the contents of the sections for a new pass; a recording pass also lists
    // its `lines` lines.
    void beginPass(bool recordListing, std::size_t lines);

    const std::vector<Section>& sections() const { return sections_; }
    const ListingData& listingData() const { return listing_.data(); }

    std::uint32_t offsetIn(std::int32_t index) const override { return sections_[std::size_t(index)].offset; }
    SectionKind sectionKind() const override { return current().kind; }
    std::string_view sectionName() const override { return current().masmName; }
    bool mayGrowTo(std::uint64_t end) const override;
    const Symbol* sectionSymbol(std::int32_t index) const override;

    void switchSection(std::string_view masmName) override;
    void pushSection(std::string_view masmName) override;
    void popSection() override;
    void classifySection(SectionKind kind) override;
    void setOffset(std::uint32_t offset) override;

    void bytes(std::span<const std::uint8_t> data) override;
    void fill(std::uint8_t value, std::uint64_t count) override;
    EmitMark mark() const override;
    void repeat(const EmitMark& from, std::size_t times) override;
    void relocation(RelocKind kind, const Symbol& target, std::uint32_t at) override;
    bool label(Symbol& label) override;
    void instruction(const x86::Encoded& enc, std::string_view generatedText = {}) override;

    void beginLine(std::size_t index, const SourceLine& line) override {
        line_ = &line;
        produced_ = false;
        listing_.beginLine(index);
    }
    void endLine() override {
        if (produced_) listing_.markProduced();
    }
    void listUnder(std::size_t index) override { listing_.listUnder(index); }
    bool listing() const override { return listing_.active(); }
    void listOffset() override;
    void dataLine(std::uint32_t start, std::span<const std::string> rows) override;
    void listEquate(std::int64_t value) override;

private:
    Section& current() { return sections_[std::size_t(current_)]; }
    const Section& current() const { return sections_[std::size_t(current_)]; }
    void recordLine(std::uint32_t startOffset);
    // Copies the current section and its location counter to where here() reads them.
    void updateLocation() {
        location_ = current_ < 0 ? Location{} : Location{current_, current().offset};
        locationSymbol_ = sectionSymbol(current_);
    }
    void produced() { produced_ = true; }

    SymbolTable& symbols_;
    bool lineRecords_;
    std::vector<Section> sections_;
    std::vector<Symbol*> anchors_;  // per section, the symbol of its offset 0
    std::int32_t current_ = -1;
    std::vector<std::int32_t> stack_;  // sections that SEGMENT left
    const SourceLine* line_ = nullptr;
    bool produced_ = false;  // the current line produced code or data
    ListingRecorder listing_;
};

}  // namespace ml
