// The ASM colouring of whole course programs against golden styled files: each
// data/<name>.asm is loaded into the main window's editor, coloured by the lexer the
// program uses, and written in the styled notation, which must equal data/<name>.asm.styled.
// ASMORA_STYLED_UPDATE=1 rewrites the styled files instead (see data/README.md).
#include "EditorTestSupport.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using asmora::testing::readFile;
using asmora::testing::writeFile;
using B = QsciScintillaBase;

namespace {

fs::path dataFolder() { return asmora::testing::sourcePath("tests/editor/data"); }

bool updating() {
    const char* value = std::getenv("ASMORA_STYLED_UPDATE");
    return value && *value && std::string(value) != "0";
}

// The document in the styled notation: "{n}" before each run of bytes of style n.
//   {1}; comment{0}
//   {9}.386{0}
std::string StyledText(const TScintilla& editor) {
    const QByteArray text = editor.GetText();
    std::string styled;
    int current = -1;
    for (int at = 0; at < text.size(); ++at) {
        const int style = int(editor.Send(B::SCI_GETSTYLEAT, at));
        if (style != current) styled += "{" + std::to_string(style) + "}";
        current = style;
        styled += text[at];
    }
    return styled;
}

std::vector<std::string> Programs() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dataFolder()))
        if (entry.path().extension() == ".asm") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SciColouringGolden : public MainWindowEditorTest, public ::testing::WithParamInterface<std::string> {};

}  // namespace

TEST_P(SciColouringGolden, TheWholeProgramIsColouredAsItsStyledFileSays) {
    const fs::path source = dataFolder() / GetParam();
    const std::string text = readFile(source);
    ASSERT_FALSE(text.empty()) << source;
    editor.SetText(QByteArray::fromStdString(text));
    editor.Send(B::SCI_COLOURISE, 0, -1);
    const std::string styled = StyledText(editor);

    const fs::path expected = source.string() + ".styled";
    if (updating()) {
        writeFile(expected, styled);
        return;
    }
    ASSERT_TRUE(fs::exists(expected)) << expected << " is missing; run with ASMORA_STYLED_UPDATE=1";
    EXPECT_EQ(readFile(expected), styled) << "differs from " << expected;
}

INSTANTIATE_TEST_SUITE_P(CoursePrograms, SciColouringGolden, ::testing::ValuesIn(Programs()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = fs::path(info.param).stem().string();
                             std::replace_if(
                                 name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });
