// The listing side of the emitter: fills ListingData for the line being assembled,
// with the code column of each instruction formatted as MASM lists it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "ListingData.h"
#include "x86/Encoder.h"

namespace ml {

class SymbolTable;

class ListingRecorder {
public:
    explicit ListingRecorder(const SymbolTable& symbols) : symbols_(symbols) {}

    // Records the pass over `lines` lines (recording) or nothing.
    void beginPass(bool recording, std::size_t lines);
    void beginLine(std::size_t index) {
        line_ = index;
        listUnder(index);
    }
    void listUnder(std::size_t index) {
        entry_ = recording_ ? data_.entry(index) : nullptr;
        listed_ = index;
    }
    // Marks the line begun last as one that produced code or data.
    void markProduced() {
        if (ListingEntry* e = recording_ ? data_.entry(line_) : nullptr) e->producesCode = true;
    }
    bool active() const { return entry_ != nullptr; }

    void showOffset(std::int32_t section, std::uint32_t offset);
    void instruction(const x86::Encoded& enc, std::int32_t section, std::uint32_t address,
                     std::string_view generatedText);
    void replaceCode(std::int32_t section, std::uint32_t start, std::span<const std::string> rows);
    void setEquate(std::string_view text);

    const ListingData& data() const { return data_; }

    // Appends the listing's code column of `enc` to `out`.
    void formatEncoded(const x86::Encoded& enc, std::string& out) const;

private:
    const SymbolTable& symbols_;
    ListingData data_;
    bool recording_ = false;
    std::size_t line_ = 0;    // the line being assembled
    std::size_t listed_ = 0;  // the line its output is listed under
    ListingEntry* entry_ = nullptr;
    std::string piece_;  // reused: one instruction's code column
};

}  // namespace ml
