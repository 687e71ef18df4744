// Golden files: every golden/<case>.asm assembles to the diagnostics, object and
// listing kept beside it. ML_GOLDEN_UPDATE=1 rewrites them (see golden/README.md).
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "Listing.h"
#include "MlTestSupport.h"

namespace fs = std::filesystem;
using mltest::readFile;

namespace {

fs::path goldenDir() { return ML_GOLDEN_DIR; }

bool updating() {
    const char* v = std::getenv("ML_GOLDEN_UPDATE");
    return v && *v && std::string(v) != "0";
}

// Compares `actual` with the golden file, or rewrites it when updating.
void check(const fs::path& expectedPath, const std::string& actual) {
    if (updating()) {
        std::ofstream(expectedPath, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(fs::exists(expectedPath)) << expectedPath << " is missing; run with ML_GOLDEN_UPDATE=1";
    EXPECT_EQ(readFile(expectedPath), actual) << "differs from " << expectedPath;
}

class Golden : public testing::TestWithParam<std::string> {};

std::vector<std::string> cases() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(goldenDir(), ec))
        if (entry.path().extension() == ".asm") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_P(Golden, MatchesItsExpectedFiles) {
    const std::string name = GetParam();
    mltest::Assembly a = mltest::assembleFile(goldenDir() / (name + ".asm"));
    check(goldenDir() / (name + ".diag"), a.messages());
    std::string listing = a.listing();
    const std::string folder = goldenDir().string() + "/";
    for (std::size_t at; (at = listing.find(folder)) != std::string::npos;) listing.erase(at, folder.size());
    check(goldenDir() / (name + ".lst"), listing);
    fs::path objectPath = goldenDir() / (name + ".obj.txt");
    if (a.ok) check(objectPath, mltest::describeObject(a.object()));
    else EXPECT_FALSE(fs::exists(objectPath)) << "a case with errors has no object";
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });
