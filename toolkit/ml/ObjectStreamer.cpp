// The emitter's object and listing side: section contents, relocations, line
// records and section anchors, with the listing recorded beside them.
#include "ObjectStreamer.h"

#include <algorithm>

#include "SourceLine.h"
#include "Symbols.h"
#include "Text.h"

namespace ml {

namespace {

// The bytes all sections together may hold (reserved space of .DATA? aside): a bound
// on the memory any source can make the assembler use.
constexpr std::uint64_t kMaxDataBytes = 1ull << 28;
constexpr std::uint64_t kMaxReservedBytes = 1ull << 31;

RelocKind relocKindOf(x86::FixupKind k) {
    switch (k) {
        case x86::FixupKind::Pc32:
            return RelocKind::Pc32;
        case x86::FixupKind::Abs16:
            return RelocKind::Abs16;
        case x86::FixupKind::Abs8:
            return RelocKind::Abs8;
        case x86::FixupKind::Pc8:
            return RelocKind::Pc8;
        default:
            return RelocKind::Abs32;
    }
}

}  // namespace

ObjectStreamer::ObjectStreamer(SymbolTable& symbols, bool lineRecords)
    : symbols_(symbols), lineRecords_(lineRecords), listing_(symbols) {}

void ObjectStreamer::beginPass(bool recordListing, std::size_t lines) {
    for (Section& s : sections_) s.reset();
    current_ = -1;
    stack_.clear();
    updateLocation();
    listing_.beginPass(recordListing, lines);
}

bool ObjectStreamer::mayGrowTo(std::uint64_t end) const {
    const Section& growing = current();
    if (growing.kind == SectionKind::Bss) return end <= kMaxReservedBytes;
    std::uint64_t total = 0;
    for (const Section& s : sections_)
        if (s.kind != SectionKind::Bss) total += &s == &growing ? std::max<std::uint64_t>(s.size, end) : s.size;
    return total <= kMaxDataBytes;
}

const Symbol* ObjectStreamer::sectionSymbol(std::int32_t index) const {
    return index < 0 || std::size_t(index) >= anchors_.size() ? nullptr : anchors_[std::size_t(index)];
}

// A section is made on first use, with its anchor symbol; the standard names get
// their ELF names and kinds, any other name is a data section ".name".
void ObjectStreamer::switchSection(std::string_view masmName) {
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (equalsNoCase(sections_[i].masmName, masmName)) {
            current_ = static_cast<std::int32_t>(i);
            updateLocation();
            return;
        }
    }
    Section s;
    s.masmName = std::string(masmName);
    s.kind = SectionKind::Data;
    s.elfName = "." + foldCase(masmName);
    for (const StandardSection& std : standardSections()) {
        if (equalsNoCase(std.masmName, masmName)) {
            s.masmName = std::string(std.masmName);
            s.elfName = std::string(std.elfName);
            s.kind = std.kind;
            break;
        }
    }
    sections_.push_back(std::move(s));
    current_ = static_cast<std::int32_t>(sections_.size() - 1);
    Symbol& anchor = symbols_.create(sections_.back().masmName, SymbolKind::Segment);
    anchor.section = current_;
    anchor.defined = true;
    anchors_.push_back(&anchor);
    updateLocation();
}

void ObjectStreamer::pushSection(std::string_view masmName) {
    if (current_ >= 0) stack_.push_back(current_);
    switchSection(masmName);
}

void ObjectStreamer::popSection() {
    if (stack_.empty()) {
        current_ = -1;
    } else {
        current_ = stack_.back();
        stack_.pop_back();
    }
    updateLocation();
}

void ObjectStreamer::classifySection(SectionKind kind) {
    Section& s = current();
    s.kind = kind;
    if (s.kind == SectionKind::Text && s.elfName != ".text" && equalsNoCase(s.masmName, "_TEXT")) s.elfName = ".text";
}

void ObjectStreamer::setOffset(std::uint32_t offset) {
    current().setOffset(offset);
    updateLocation();
}

void ObjectStreamer::bytes(std::span<const std::uint8_t> data) {
    current().emit(data.data(), data.size());
    updateLocation();
    if (!data.empty()) produced();
}

void ObjectStreamer::fill(std::uint8_t value, std::uint64_t count) {
    current().emitFill(value, count);
    updateLocation();
    if (count) produced();
}

EmitMark ObjectStreamer::mark() const { return EmitMark{current().offset, current().relocations.size()}; }

void ObjectStreamer::repeat(const EmitMark& from, std::size_t times) {
    Section& s = current();
    const std::uint32_t unit = s.offset - from.offset;
    const std::size_t relocEnd = s.relocations.size();
    s.repeatLast(from.offset, unit, times);
    updateLocation();
    for (std::size_t k = 1; k < times && relocEnd > from.relocations; ++k) {
        const std::uint32_t at = from.offset + unit * std::uint32_t(k);
        for (std::size_t r = from.relocations; r < relocEnd; ++r) {
            Relocation rel = s.relocations[r];
            rel.offset = rel.offset - from.offset + at;
            s.relocations.push_back(rel);
        }
    }
}

void ObjectStreamer::relocation(RelocKind kind, const Symbol& target, std::uint32_t at) {
    if (current_ < 0) return;
    current().relocations.push_back(Relocation{at, kind, target.id});
}

bool ObjectStreamer::label(Symbol& label) {
    const Location at = here();
    const bool moved = label.defined && (label.value != at.offset || label.section != at.section);
    label.value = at.offset;
    label.section = at.section;
    label.defined = true;
    return moved;
}

void ObjectStreamer::instruction(const x86::Encoded& enc, std::string_view generatedText) {
    Section& s = current();
    const std::uint32_t address = s.offset;
    recordLine(address);
    s.emit(enc.bytes.data(), enc.length);
    location_.offset = s.offset;
    for (const x86::Fixup& f : enc.fixups)
        if (const Symbol* target = symbols_.byId(f.symbol))
            relocation(relocKindOf(f.kind), *target, address + f.offset);
    produced();
    if (listing_.active()) listing_.instruction(enc, current_, address, generatedText);
}

// One record per instruction or data statement in code sections, merged with the
// previous one when both are at the same offset or on the same line.
void ObjectStreamer::recordLine(std::uint32_t startOffset) {
    if (!lineRecords_ || current_ < 0 || !line_) return;
    Section& s = current();
    if (s.kind != SectionKind::Text) return;
    if (!s.lines.empty() && s.lines.back().offset == startOffset) {
        s.lines.back().file = line_->file;
        s.lines.back().line = line_->line;
        return;
    }
    if (!s.lines.empty() && s.lines.back().file == line_->file && s.lines.back().line == line_->line) return;
    s.lines.push_back(LineRecord{startOffset, line_->file, line_->line});
}

void ObjectStreamer::listOffset() {
    if (current_ >= 0) listing_.showOffset(current_, current().offset);
}

void ObjectStreamer::dataLine(std::uint32_t start, std::span<const std::string> rows) {
    produced();
    recordLine(start);
    listing_.replaceCode(current_, start, rows);
}

void ObjectStreamer::listEquate(std::int64_t value) {
    if (listing_.active()) listing_.setEquate(hex(static_cast<std::uint64_t>(value), 8));
}

}  // namespace ml
