// The listing's record of each line, kept compact: text in one string, entries of numbers.
#include "ListingData.h"

namespace ml {

void ListingData::reset(std::size_t lines) {
    entries_.assign(lines, ListingEntry{});
    generated_.clear();
    text_.clear();
}

ListingText ListingData::store(std::string_view piece) {
    ListingText t;
    t.begin = static_cast<std::uint32_t>(text_.size());
    text_.append(piece);
    text_.push_back('\n');
    t.end = static_cast<std::uint32_t>(text_.size());
    return t;
}

void ListingData::addCode(ListingEntry& e, std::string_view piece) {
    // A line's pieces stay together: the rare code column that is not the last text
    // written moves to the end before it grows.
    if (!e.code.empty() && e.code.end != text_.size()) {
        const std::string earlier = text_.substr(e.code.begin, e.code.end - e.code.begin);
        e.code.begin = static_cast<std::uint32_t>(text_.size());
        text_ += earlier;
        e.code.end = static_cast<std::uint32_t>(text_.size());
    }
    ListingText t = store(piece);
    if (e.code.empty())
        e.code = t;
    else
        e.code.end = t.end;
}

void ListingData::setEquate(ListingEntry& e, std::string_view text) {
    ListingText t = store(text);
    e.equate = ListingText{t.begin, t.end - 1};  // without the '\n'
}

void ListingData::addGenerated(std::size_t line, std::uint32_t offset, std::string_view code, std::string_view text) {
    generated_.push_back(GeneratedCode{line, offset, store(code), std::string(text)});
}

}  // namespace ml
