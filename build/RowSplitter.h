// Splits a child's output stream into output-list rows. A row ends at CR, at LF or
// at the end of the output; one LF right after a CR is skipped, so CR LF, a lone CR
// and a lone LF each end one row and LF CR ends two (the second empty). A line that
// arrives in two reads is one row: the unfinished piece is carried over. A line
// longer than kMaxRowBytes is cut into rows of that length, so that output without
// line ends cannot grow one row without end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace asmora::build {

class RowSplitter {
public:
    static constexpr size_t kMaxRowBytes = 64 * 1024;

    // Appends the rows that `bytes` completes to `rows`.
    void feed(std::string_view bytes, std::vector<std::string>& rows);
    // Appends the unfinished last piece, if any, as a row and resets the splitter.
    void finish(std::vector<std::string>& rows);

private:
    std::string pending_;
    bool afterCarriageReturn_ = false;
};

}  // namespace asmora::build
