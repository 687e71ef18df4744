// Recognises ELF32 i386 relocatable objects and ar archives by their headers.
#include "ObjectCheck.h"

#include "LinkMessages.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace asmora::link {

namespace {

// ELF identification and header fields used here (little-endian ELF32):
//   0..3  "\x7F" "ELF"   4  class (1 = 32-bit, 2 = 64-bit)   5  data (1 = LSB)
//   16..17 e_type (1 = relocatable)   18..19 e_machine (3 = i386)
constexpr std::size_t kHeaderBytes = 20;
constexpr char kArchiveMagic[] = "!<arch>\n";

std::uint16_t readHalf(const std::array<unsigned char, kHeaderBytes>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::string corrupt(const std::string& name) { return linkMessageBody(LinkMsg::CorruptFile, {name}); }

}  // namespace

InputCheck checkInputFile(const std::string& path, const std::string& shownName) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {std::nullopt, linkMessageBody(LinkMsg::CannotOpenFile, {shownName})};
    std::array<unsigned char, kHeaderBytes> bytes{};
    file.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
    const auto got = static_cast<std::size_t>(file.gcount());
    if (got >= 8 && std::memcmp(bytes.data(), kArchiveMagic, 8) == 0) {
        return {InputKind::Archive, {}};
    }
    if (got < kHeaderBytes || std::memcmp(bytes.data(),
                                          "\x7F"
                                          "ELF",
                                          4) != 0) {
        return {std::nullopt, corrupt(shownName)};
    }
    const bool machineIs386 = bytes[4] == 1 && bytes[5] == 1 && readHalf(bytes, 18) == 3;
    if (!machineIs386) {
        return {std::nullopt, linkMessageBody(LinkMsg::MachineConflict, {shownName})};
    }
    if (readHalf(bytes, 16) != 1) return {std::nullopt, corrupt(shownName)};
    return {InputKind::Object, {}};
}

}  // namespace asmora::link
