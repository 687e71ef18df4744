// Register and prefix names, looked up case-insensitively without building strings.
#include "Encoder.h"

#include <array>

namespace ml::x86 {
namespace {

struct RegisterName {
    std::string_view name;  // lower case
    Register reg;
};

// clang-format off
constexpr RegisterName kRegisters[] = {
    {"eax", {RegClass::Gpr32, 0}}, {"ecx", {RegClass::Gpr32, 1}}, {"edx", {RegClass::Gpr32, 2}},
    {"ebx", {RegClass::Gpr32, 3}}, {"esp", {RegClass::Gpr32, 4}}, {"ebp", {RegClass::Gpr32, 5}},
    {"esi", {RegClass::Gpr32, 6}}, {"edi", {RegClass::Gpr32, 7}},
    {"ax", {RegClass::Gpr16, 0}},  {"cx", {RegClass::Gpr16, 1}},  {"dx", {RegClass::Gpr16, 2}},
    {"bx", {RegClass::Gpr16, 3}},  {"sp", {RegClass::Gpr16, 4}},  {"bp", {RegClass::Gpr16, 5}},
    {"si", {RegClass::Gpr16, 6}},  {"di", {RegClass::Gpr16, 7}},
    {"al", {RegClass::Gpr8, 0}},   {"cl", {RegClass::Gpr8, 1}},   {"dl", {RegClass::Gpr8, 2}},
    {"bl", {RegClass::Gpr8, 3}},   {"ah", {RegClass::Gpr8, 4}},   {"ch", {RegClass::Gpr8, 5}},
    {"dh", {RegClass::Gpr8, 6}},   {"bh", {RegClass::Gpr8, 7}},
    {"es", {RegClass::Segment, 0}}, {"cs", {RegClass::Segment, 1}}, {"ss", {RegClass::Segment, 2}},
    {"ds", {RegClass::Segment, 3}}, {"fs", {RegClass::Segment, 4}}, {"gs", {RegClass::Segment, 5}},
    {"st", {RegClass::Fpu, 0}},
    {"st(0)", {RegClass::Fpu, 0}}, {"st(1)", {RegClass::Fpu, 1}}, {"st(2)", {RegClass::Fpu, 2}},
    {"st(3)", {RegClass::Fpu, 3}}, {"st(4)", {RegClass::Fpu, 4}}, {"st(5)", {RegClass::Fpu, 5}},
    {"st(6)", {RegClass::Fpu, 6}}, {"st(7)", {RegClass::Fpu, 7}},
};
// clang-format on

struct PrefixName {
    std::string_view name;  // lower case
    Prefix prefix;
};

constexpr PrefixName kPrefixes[] = {
    {"rep", Prefix::Rep},     {"repe", Prefix::Repe},   {"repz", Prefix::Repe},
    {"repne", Prefix::Repne}, {"repnz", Prefix::Repne}, {"lock", Prefix::Lock},
};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// `text` equals the lower-case `name`, ignoring the case of `text`.
bool equalsLower(std::string_view text, std::string_view name) {
    if (text.size() != name.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (lower(text[i]) != name[i]) return false;
    return true;
}

// A name of up to seven characters, lower-cased and packed into one number with its
// length in the top byte, so that the register table is searched by comparing
// numbers; 0 for longer names.
constexpr std::uint64_t packLower(std::string_view name) {
    if (name.size() > 7) return 0;
    std::uint64_t key = static_cast<std::uint64_t>(name.size()) << 56;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        key |= static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << (8 * i);
    }
    return key;
}

// The register table hashed by packed name, built at compile time: open addressing
// over 128 slots (under a third full), each holding a key and its row plus one.
struct RegisterSlot {
    std::uint64_t key = 0;
    std::uint8_t row = 0;
};
constexpr std::size_t kRegisterSlots = 128;

constexpr std::size_t registerSlotOf(std::uint64_t key) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 57);
}

constexpr auto kRegisterIndex = [] {
    std::array<RegisterSlot, kRegisterSlots> slots{};
    for (std::size_t row = 0; row < std::size(kRegisters); ++row) {
        const std::uint64_t key = packLower(kRegisters[row].name);
        std::size_t i = registerSlotOf(key);
        while (slots[i].row != 0) i = (i + 1) % kRegisterSlots;
        slots[i] = RegisterSlot{key, static_cast<std::uint8_t>(row + 1)};
    }
    return slots;
}();

}  // namespace

Register lookupRegister(std::string_view name) {
    // Register names have two, three or five characters ("st(3)").
    if (name.size() < 2 || name.size() > 5 || name.size() == 4) return {};
    const std::uint64_t key = packLower(name);
    for (std::size_t i = registerSlotOf(key);; i = (i + 1) % kRegisterSlots) {
        const RegisterSlot& slot = kRegisterIndex[i];
        if (slot.row == 0) return {};
        if (slot.key == key) return kRegisters[slot.row - 1].reg;
    }
}

Prefix lookupPrefix(std::string_view name) {
    for (const PrefixName& p : kPrefixes)
        if (equalsLower(name, p.name)) return p.prefix;
    return Prefix::None;
}

}  // namespace ml::x86
