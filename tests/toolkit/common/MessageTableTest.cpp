// The parts message tables share: severity words, rows found by their id.
#include "MessageTable.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace asmora::toolkit;

namespace {

enum class Sample { First, Second };
struct Row {
    Sample id;
    Severity severity;
};
constexpr std::array kInOrder{Row{Sample::First, Severity::Warning}, Row{Sample::Second, Severity::Fatal}};
constexpr std::array kSwapped{Row{Sample::Second, Severity::Warning}, Row{Sample::First, Severity::Fatal}};

}  // namespace

TEST(MessageTable, RowsAreFoundByIdWhenTheyFollowTheirIds) {
    static_assert(rowsFollowIds(kInOrder));
    static_assert(!rowsFollowIds(kSwapped));
    EXPECT_EQ(rowOf(kInOrder, Sample::Second).severity, Severity::Fatal);
    EXPECT_EQ(std::string(severityWord(Severity::Warning)), "warning");
    EXPECT_EQ(std::string(severityWord(Severity::Error)), "error");
    EXPECT_EQ(std::string(severityWord(Severity::Fatal)), "fatal error");
}
