// The listing side of the emitter: offset and code columns of each line, and the
// instructions the assembler wrote, recorded by the final pass.
#include "ListingRecorder.h"

#include "Symbols.h"
#include "Text.h"

namespace ml {

void ListingRecorder::beginPass(bool recording, std::size_t lines) {
    recording_ = recording;
    if (recording_) data_.reset(lines);
    entry_ = nullptr;
}

void ListingRecorder::showOffset(std::int32_t section, std::uint32_t offset) {
    if (!entry_) return;
    entry_->section = section;
    entry_->offset = offset;
    entry_->showOffset = true;
}

void ListingRecorder::instruction(const x86::Encoded& enc, std::int32_t section, std::uint32_t address,
                                  std::string_view generatedText) {
    if (!entry_) return;
    piece_.clear();
    formatEncoded(enc, piece_);
    if (!generatedText.empty()) {
        data_.addGenerated(listed_, address, piece_, generatedText);
        return;
    }
    // The first instruction of a line gives its offset column (a label before it may have).
    if (!entry_->showOffset || entry_->code.empty()) showOffset(section, address);
    data_.addCode(*entry_, piece_);
}

void ListingRecorder::replaceCode(std::int32_t section, std::uint32_t start, std::span<const std::string> rows) {
    if (!entry_) return;
    showOffset(section, start);
    entry_->code = {};
    for (const std::string& row : rows) data_.addCode(*entry_, row);
}

void ListingRecorder::setEquate(std::string_view text) {
    if (entry_) data_.setEquate(*entry_, text);
}

// The code column of an instruction: prefixes marked '|' (operand and address size),
// '/' (REP and LOCK) or ':' (segment), opcode bytes spaced, displacement and
// immediate as whole little-endian numbers, and R or E after relocated fields.
//   66|C7 05 00000000 R 0005
void ListingRecorder::formatEncoded(const x86::Encoded& enc, std::string& out) const {
    const std::size_t start = out.size();
    auto separate = [&] {
        if (out.size() > start && out.back() != '|' && out.back() != '/' && out.back() != ':') out += ' ';
    };
    // A relocated field shows the value the linker adds to: the symbol's offset, so a
    // PC-relative field is shown without the field-end adjustment it stores.
    auto field = [&](const x86::Field& f) {
        std::uint64_t v = 0;
        for (int b = f.size - 1; b >= 0; --b) v = (v << 8) | enc.bytes[f.offset + std::size_t(b)];
        const char* mark = "";
        for (const x86::Fixup& fx : enc.fixups) {
            if (fx.offset < f.offset || fx.offset >= f.offset + f.size) continue;
            if (fx.kind == x86::FixupKind::Pc32) v += 4;
            if (fx.kind == x86::FixupKind::Pc8) v += 1;
            const Symbol* s =
                fx.symbol && fx.symbol <= symbols_.all().size() ? &symbols_.all()[fx.symbol - 1] : nullptr;
            mark = s && s->kind != SymbolKind::Segment ? " E" : " R";
        }
        if (f.size < 8) v &= (std::uint64_t(1) << (8 * f.size)) - 1;
        separate();
        appendHex(out, v, f.size * 2);
        out += mark;
    };
    for (std::uint8_t i = 0; i < enc.prefixLength && i < enc.length; ++i) {
        std::uint8_t b = enc.bytes[i];
        char mark = (b == 0x66 || b == 0x67) ? '|' : (b == 0xF0 || b == 0xF2 || b == 0xF3) ? '/' : ':';
        separate();
        appendHex(out, b, 2);
        out += mark;
    }
    std::uint8_t i = enc.prefixLength;
    while (i < enc.length) {
        const x86::Field* at = nullptr;
        for (const x86::Field* f : {&enc.displacement, &enc.immediate, &enc.immediate2})
            if (f->size && f->offset == i) at = f;
        if (at) {
            field(*at);
            i = static_cast<std::uint8_t>(i + at->size);
        } else {
            separate();
            appendHex(out, enc.bytes[i], 2);
            ++i;
        }
    }
}

}  // namespace ml
