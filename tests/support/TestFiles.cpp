// Files for tests.
#include "TestFiles.h"

#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace asmora::testing {

TempFolder::TempFolder(const std::string& prefix) {
    std::random_device random;
    path_ = fs::temp_directory_path() / (prefix + "-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path TempFolder::write(const std::string& name, const std::string& text) const {
    const fs::path file = path_ / name;
    writeFile(file, text);
    return file;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& text) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

fs::path sourcePath(const std::string& tail) { return fs::path(ASMORA_SOURCE_DIR_PATH) / tail; }

}  // namespace asmora::testing
