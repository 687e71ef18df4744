// Splitting child output into rows.
#include "RowSplitter.h"

namespace asmora::build {
namespace {

// Moves the full-length rows at the front of `text` to `rows`, leaving the rest.
void cutLongRows(std::string& text, std::vector<std::string>& rows) {
    if (text.size() <= RowSplitter::kMaxRowBytes) return;
    size_t start = 0;
    while (text.size() - start > RowSplitter::kMaxRowBytes) {
        rows.push_back(text.substr(start, RowSplitter::kMaxRowBytes));
        start += RowSplitter::kMaxRowBytes;
    }
    text.erase(0, start);
}

}  // namespace

void RowSplitter::feed(std::string_view bytes, std::vector<std::string>& rows) {
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            afterCarriageReturn_ = false;
            continue;
        }
        if (c == '\n' && afterCarriageReturn_ && i == start && pending_.empty()) {
            // The LF of a CR LF pair: the row already ended at the CR.
            afterCarriageReturn_ = false;
            start = i + 1;
            continue;
        }
        pending_.append(bytes.substr(start, i - start));
        cutLongRows(pending_, rows);
        rows.push_back(std::move(pending_));
        pending_.clear();
        afterCarriageReturn_ = c == '\r';
        start = i + 1;
    }
    pending_.append(bytes.substr(start));
    cutLongRows(pending_, rows);
}

void RowSplitter::finish(std::vector<std::string>& rows) {
    if (!pending_.empty()) rows.push_back(std::move(pending_));
    pending_.clear();
    afterCarriageReturn_ = false;
}

}  // namespace asmora::build
