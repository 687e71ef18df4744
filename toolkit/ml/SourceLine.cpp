// Text storage for generated lines and the diagnostic position of a line.
#include "SourceLine.h"

#include <cstring>

#include "SourceFiles.h"

namespace ml {

std::string_view TextArena::store(std::string_view text) {
    constexpr std::size_t kBlock = 1 << 16;
    if (text.empty()) return {};
    if (text.size() > kBlock / 4) {
        auto& big = large_.emplace_back(std::make_unique<char[]>(text.size()));
        std::memcpy(big.get(), text.data(), text.size());
        return {big.get(), text.size()};
    }
    if (used_ + text.size() > capacity_) {
        blocks_.emplace_back(std::make_unique<char[]>(kBlock));
        used_ = 0;
        capacity_ = kBlock;
    }
    char* p = blocks_.back().get() + used_;
    std::memcpy(p, text.data(), text.size());
    used_ += text.size();
    return {p, text.size()};
}

Diagnostic diagnosticAt(Diag id, std::string detail, const SourceLine& at, const SourceFiles& files,
                        std::uint64_t order) {
    Diagnostic d;
    d.id = id;
    d.detail = std::move(detail);
    if (at.file < files.count()) d.file = files.file(at.file).displayName;
    d.line = at.line;
    d.order = order;
    std::uint32_t line = at.macroLine;
    for (const Expansion* e = at.expansion; e; e = e->parent) {
        d.macroChain.push_back(ContextFrame{e->name, line});
        line = e->callerMacroLine;
    }
    return d;
}

}  // namespace ml
