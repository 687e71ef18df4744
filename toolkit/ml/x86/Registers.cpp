// Register and prefix names, looked up case-insensitively without building strings.
#include "Encoder.h"

#include <array>

namespace ml::x86 {
namespace {

struct RegisterName {
    std::string_view name;  // lower case
    Register reg;
};

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
bool equalsLower(std::string_view text, std::string_view name)
{
    if (text.size() != name.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (lower(text[i]) != name[i]) return false;
    return true;
}

// A name of up to seven characters, lower-cased and packed into one number with its
// length in the top byte, so that the register table is searched by comparing
// numbers; 0 for longer names.
constexpr std::uint64_t packLower(std::string_view name)
{
    if (name.size() > 7) return 0;
    std::uint64_t key = static_cast<std::uint64_t>(name.size()) << 56;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        key |= static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << (8 * i);
    }
    return key;
}

constexpr auto kRegisterKeys = [] {
    std::array<std::uint64_t, std::size(kRegisters)> keys{};
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = packLower(kRegisters[i].name);
    return keys;
}();

}  // namespace

Register lookupRegister(std::string_view name)
{
    // Register names have two, three or five characters ("st(3)").
    if (name.size() < 2 || name.size() > 5 || name.size() == 4) return {};
    const std::uint64_t key = packLower(name);
    for (std::size_t i = 0; i < kRegisterKeys.size(); ++i)
        if (kRegisterKeys[i] == key) return kRegisters[i].reg;
    return {};
}

Prefix lookupPrefix(std::string_view name)
{
    for (const PrefixName& p : kPrefixes)
        if (equalsLower(name, p.name)) return p.prefix;
    return Prefix::None;
}

}  // namespace ml::x86
