// Reads ELF32 section headers and the GNU ar symbol index ("/" member), checking
// every offset against the file's size so that a damaged input yields nothing.
#include "ObjectDirectives.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>

namespace asmora::link {

namespace {

// ELF32 header fields: e_shoff at 32, e_shentsize at 46, e_shnum at 48, e_shstrndx at 50.
// A section header: sh_name at 0, sh_offset at 16, sh_size at 20.
constexpr std::size_t kElfHeaderSize = 52;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::string_view kEntryPrefix = "/ENTRY:";
constexpr std::string_view kArchiveMagic = "!<arch>\n";
constexpr std::size_t kMemberHeaderSize = 60;  // name 16, date 12, ids 12, mode 8, size 10, end 2

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool fits(const std::string& bytes, std::uint64_t at, std::uint64_t length) {
    return at <= bytes.size() && length <= bytes.size() - at;
}

std::uint32_t little(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + std::size_t(i)]);
    return value;
}

std::uint32_t big32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct SectionView {
    std::uint32_t name = 0, offset = 0, size = 0;
};

std::optional<SectionView> sectionHeader(const std::string& elf, std::uint32_t index) {
    const std::uint32_t table = little(elf, 32, 4);
    const std::uint32_t entrySize = little(elf, 46, 2);
    const std::uint64_t at = std::uint64_t(table) + std::uint64_t(index) * entrySize;
    if (entrySize < kSectionHeaderSize || !fits(elf, at, kSectionHeaderSize)) return std::nullopt;
    const SectionView view{little(elf, std::size_t(at), 4), little(elf, std::size_t(at) + 16, 4),
                           little(elf, std::size_t(at) + 20, 4)};
    if (!fits(elf, view.offset, view.size)) return std::nullopt;
    return view;
}

std::string_view contents(const std::string& bytes, const SectionView& section) {
    return std::string_view(bytes).substr(section.offset, section.size);
}

}  // namespace

std::optional<std::string> objectEntryDirective(const std::string& path) {
    const std::string elf = readWhole(path);
    if (elf.size() < kElfHeaderSize ||
        elf.compare(0, 4,
                    "\x7F"
                    "ELF") != 0 ||
        elf[4] != 1)
        return std::nullopt;
    const std::uint32_t count = little(elf, 48, 2);
    const auto names = sectionHeader(elf, little(elf, 50, 2));
    if (!names) return std::nullopt;
    const std::string_view nameTable = contents(elf, *names);
    for (std::uint32_t i = 1; i < count; ++i) {
        const auto section = sectionHeader(elf, i);
        if (!section || section->name >= nameTable.size()) continue;
        const std::string_view name = nameTable.substr(section->name);
        if (name.substr(0, name.find('\0')) != ".drectve") continue;
        const std::string_view text = contents(elf, *section);
        const auto at = text.find(kEntryPrefix);
        if (at == std::string_view::npos) continue;
        const std::string_view rest = text.substr(at + kEntryPrefix.size());
        const std::string symbol(rest.substr(0, rest.find_first_of(std::string_view(" \t\r\n\0", 5))));
        if (!symbol.empty()) return symbol;
    }
    return std::nullopt;
}

bool archiveDefines(const std::string& path, const std::string& symbol) {
    const std::string archive = readWhole(path);
    if (archive.compare(0, kArchiveMagic.size(), kArchiveMagic) != 0) return false;
    const std::size_t header = kArchiveMagic.size();
    if (!fits(archive, header, kMemberHeaderSize) || archive.compare(header, 16, "/               ") != 0) return false;
    const std::uint64_t size = std::strtoull(archive.substr(header + 48, 10).c_str(), nullptr, 10);
    const std::size_t index = header + kMemberHeaderSize;
    if (size < 4 || !fits(archive, index, size)) return false;
    const std::uint64_t count = big32(archive, index);
    if (count > (size - 4) / 4) return false;
    std::string_view names = std::string_view(archive).substr(index + 4 + count * 4, size - 4 - count * 4);
    for (std::uint64_t i = 0; i < count && !names.empty(); ++i) {
        const std::size_t end = names.find('\0');
        if (names.substr(0, end) == symbol) return true;
        if (end == std::string_view::npos) break;
        names.remove_prefix(end + 1);
    }
    return false;
}

}  // namespace asmora::link
