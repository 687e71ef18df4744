// Locating and reading the support files.
#include "SupportFiles.h"

#include <filesystem>
#include <fstream>

namespace asmora::debugger {

namespace {

std::string trim(const std::string& text) {
    const auto start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos) return {};
    const auto end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

const std::vector<std::string>& supportFileList() {
    static const std::vector<std::string> names(SupportFileNames::all.begin(), SupportFileNames::all.end());
    return names;
}

std::string SupportFolder::path(const char* name) const { return (std::filesystem::path(folder_) / name).string(); }

std::vector<std::string> SupportFolder::missingFiles() const {
    std::vector<std::string> missing;
    for (const auto& name : supportFileList()) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path(name.c_str()), error)) missing.push_back(name);
    }
    return missing;
}

// Sample: XTerm*metaSendsEscape: true
std::vector<std::string> SupportFolder::resourceLines(const char* name) const {
    std::vector<std::string> lines;
    std::ifstream file(path(name));
    for (std::string line; std::getline(file, line);) {
        line = trim(line);
        if (!line.empty() && line[0] != '!') lines.push_back(line);
    }
    return lines;
}

Texts Texts::load(const std::string& path) {
    Texts texts;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        texts.entries_[trim(line.substr(0, equals))] = replaceAll(trim(line.substr(equals + 1)), "\\n", "\n");
    }
    return texts;
}

std::string Texts::get(const std::string& key, const std::string& argument) const {
    auto found = entries_.find(key);
    if (found == entries_.end()) return key;
    return replaceAll(found->second, "%1", argument);
}

}  // namespace asmora::debugger
