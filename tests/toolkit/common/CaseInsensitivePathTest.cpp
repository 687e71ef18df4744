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
