// Case-insensitive path lookup as Windows resolves file names.
#include "CaseInsensitivePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using asmora::toolkit::resolveCaseInsensitive;

TEST(CaseInsensitivePath, ResolvesEachMissingComponentInItsFolder) {
    const fs::path root = fs::temp_directory_path() / ("ci-path-" + std::to_string(::getpid()));
    fs::create_directories(root / "Bin");
    std::ofstream(root / "Bin" / "Kernel32.Lib") << "x";
    EXPECT_EQ(resolveCaseInsensitive((root / "bin" / "kernel32.lib").string()),
              (root / "Bin" / "Kernel32.Lib").string());
    EXPECT_EQ(resolveCaseInsensitive((root / "Bin" / "Kernel32.Lib").string()),
              (root / "Bin" / "Kernel32.Lib").string());
    EXPECT_FALSE(resolveCaseInsensitive((root / "bin" / "kernel33.lib").string()));
    EXPECT_FALSE(resolveCaseInsensitive(""));
    fs::remove_all(root);
}

TEST(CaseInsensitivePath, FilesFoldersDotsAndTheNameRule) {
    const fs::path root = fs::temp_directory_path() / ("ci-rule-" + std::to_string(::getpid()));
    fs::create_directories(root / "Lib");
    std::ofstream(root / "Lib" / "IO.H") << "x";
    std::ofstream(root / "Lib" / "\xC3\x84rger.inc") << "x";  // Ärger
    const std::string lib = (root / "Lib").string();
    EXPECT_EQ(resolveCaseInsensitive((root / "lib" / ".." / "LIB" / "io.h").string()), lib + "/../Lib/IO.H");
    EXPECT_EQ(asmora::toolkit::resolveCaseInsensitiveFile((root / "lib" / "io.h").string()), lib + "/IO.H");
    EXPECT_FALSE(asmora::toolkit::resolveCaseInsensitiveFile((root / "lib").string()));  // a folder is no file
    // ASCII letters by default; a caller may bring its own rule for other letters.
    const std::string umlaut = (root / "lib" / "\xC3\xA4rger.inc").string();
    EXPECT_FALSE(resolveCaseInsensitive(umlaut));
    const auto foldingUmlauts = [](std::string_view entry, std::string_view wanted) {
        const auto fold = [](std::string_view name) {
            std::string text(name);
            for (auto at = text.find("\xC3\x84"); at != std::string::npos; at = text.find("\xC3\x84"))
                text[at + 1] = '\xA4';
            return asmora::toolkit::toLowerAscii(text);
        };
        return fold(entry) == fold(wanted);
    };
    EXPECT_EQ(resolveCaseInsensitive(umlaut, foldingUmlauts), lib + "/\xC3\x84rger.inc");
    fs::remove_all(root);
}

TEST(CaseInsensitivePath, TheFirstNameByByteOrderWinsAmongNamesThatDifferInCaseOnly) {
    const fs::path root = fs::temp_directory_path() / ("ci-order-" + std::to_string(::getpid()));
    fs::create_directories(root);
    for (const char* name : {"ml.exe", "Ml.exe", "ML.EXE"}) std::ofstream(root / name) << name;
    EXPECT_EQ(resolveCaseInsensitive((root / "mL.exe").string()), (root / "ML.EXE").string());
    fs::remove_all(root);
}
