// Golden files: every golden/<case>.asm, and the program's new-file template as the
// case "template", assembles to the diagnostics, object and listing kept in golden/.
// ML_GOLDEN_UPDATE=1 rewrites them (see golden/README.md).
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

// The case whose source is the program's new-file template rather than a golden file.
constexpr const char* kTemplateCase = "template";

fs::path sourceOf(const std::string& name) {
    return name == kTemplateCase ? fs::path(NEW_FILE_TEMPLATE) : goldenDir() / (name + ".asm");
}

// The template's INCLUDE io.h is the golden folder's.
mltest::Assembly assembleCase(const std::string& name) {
    mltest::AssembleOptions options;
    if (name == kTemplateCase) options.includeDirs = {goldenDir().string()};
    return mltest::assembleFile(sourceOf(name), options);
}

// The listing without the folders of the source and of the golden files.
std::string listingWithoutFolders(std::string listing, const std::string& name) {
    for (const fs::path& dir : {goldenDir(), sourceOf(name).parent_path()}) {
        const std::string folder = dir.string() + "/";
        for (std::size_t at; (at = listing.find(folder)) != std::string::npos;) listing.erase(at, folder.size());
    }
    return listing;
}

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
    names.push_back(kTemplateCase);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_P(Golden, MatchesItsExpectedFiles) {
    const std::string name = GetParam();
    mltest::Assembly a = assembleCase(name);
    check(goldenDir() / (name + ".diag"), a.messages());
    check(goldenDir() / (name + ".lst"), listingWithoutFolders(a.listing(), name));
    fs::path objectPath = goldenDir() / (name + ".obj.txt");
    if (a.ok)
        check(objectPath, mltest::describeObject(a.object()));
    else
        EXPECT_FALSE(fs::exists(objectPath)) << "a case with errors has no object";
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });
