// Parses the opcode table's manual notation ("r/m32, imm8s" / "83 /0 ib") into
// forms once, expands the condition-code rows and indexes the forms by mnemonic.
#include "FormIndex.h"

#include "OpcodeTable.h"

#include <algorithm>
#include <charconv>

namespace ml::x86 {
namespace {

// --- operand notation ----------------------------------------------------------

constexpr OperandPattern registerPattern(RegClass cls, std::uint8_t size, bool fixesSize) {
    OperandPattern p;
    p.kind = PatternKind::Reg;
    p.regClass = cls;
    p.size = size;
    p.fixesSize = fixesSize;
    return p;
}

constexpr OperandPattern loadableSegment() {
    OperandPattern p = registerPattern(RegClass::Segment, 2, true);
    p.loadable = true;
    return p;
}

constexpr OperandPattern fixedRegister(RegClass cls, std::uint8_t number, std::uint8_t size, bool fixesSize) {
    OperandPattern p = registerPattern(cls, size, fixesSize);
    p.kind = PatternKind::FixedReg;
    p.regNumber = number;
    return p;
}

constexpr OperandPattern sized(PatternKind kind, std::uint8_t size, bool sizeOptional = false) {
    OperandPattern p;
    p.kind = kind;
    p.size = size;
    p.sizeOptional = sizeOptional;
    p.fixesSize = kind == PatternKind::StringDest;
    return p;
}

constexpr OperandPattern immediate(std::uint8_t size, bool signExtended) {
    OperandPattern p = sized(PatternKind::Imm, size);
    p.signExtended = signExtended;
    return p;
}

struct PatternName {
    std::string_view name;
    OperandPattern pattern;
};

constexpr PatternName kPatternNames[] = {
    {"r8", registerPattern(RegClass::Gpr8, 1, true)},
    {"r16", registerPattern(RegClass::Gpr16, 2, true)},
    {"r32", registerPattern(RegClass::Gpr32, 4, true)},
    {"Sreg", registerPattern(RegClass::Segment, 2, true)},
    {"Sreg-CS", loadableSegment()},
    {"ST(i)", registerPattern(RegClass::Fpu, 0, false)},
    {"r/m8", sized(PatternKind::RegOrMem, 1)},
    {"r/m16", sized(PatternKind::RegOrMem, 2)},
    {"r/m32", sized(PatternKind::RegOrMem, 4)},
    {"m", sized(PatternKind::Mem, 0)},
    {"m8", sized(PatternKind::Mem, 1)},
    {"m16", sized(PatternKind::Mem, 2)},
    {"m32", sized(PatternKind::Mem, 4)},
    {"m64", sized(PatternKind::Mem, 8)},
    {"m80", sized(PatternKind::Mem, 10)},
    {"m32fp", sized(PatternKind::Mem, 4)},
    {"m64fp", sized(PatternKind::Mem, 8)},
    {"m80fp", sized(PatternKind::Mem, 10)},
    {"m16int", sized(PatternKind::Mem, 2)},
    {"m32int", sized(PatternKind::Mem, 4)},
    {"m64int", sized(PatternKind::Mem, 8)},
    {"m80bcd", sized(PatternKind::Mem, 10)},
    {"m2byte", sized(PatternKind::Mem, 2, true)},
    {"m14/28byte", sized(PatternKind::Mem, 0)},
    {"m94/108byte", sized(PatternKind::Mem, 0)},
    {"m16&16", sized(PatternKind::Mem, 4, true)},
    {"m32&32", sized(PatternKind::Mem, 8, true)},
    {"m16:32", sized(PatternKind::Mem, 6)},
    {"moffs8", sized(PatternKind::MemOffset, 1)},
    {"moffs16", sized(PatternKind::MemOffset, 2)},
    {"moffs32", sized(PatternKind::MemOffset, 4)},
    {"es:m8", sized(PatternKind::StringDest, 1)},
    {"es:m16", sized(PatternKind::StringDest, 2)},
    {"es:m32", sized(PatternKind::StringDest, 4)},
    {"AL", fixedRegister(RegClass::Gpr8, 0, 1, true)},
    {"AX", fixedRegister(RegClass::Gpr16, 0, 2, true)},
    {"EAX", fixedRegister(RegClass::Gpr32, 0, 4, true)},
    {"CL", fixedRegister(RegClass::Gpr8, 1, 1, false)},
    {"DX", fixedRegister(RegClass::Gpr16, 2, 2, false)},
    {"ES", fixedRegister(RegClass::Segment, 0, 2, false)},
    {"CS", fixedRegister(RegClass::Segment, 1, 2, false)},
    {"SS", fixedRegister(RegClass::Segment, 2, 2, false)},
    {"DS", fixedRegister(RegClass::Segment, 3, 2, false)},
    {"FS", fixedRegister(RegClass::Segment, 4, 2, false)},
    {"GS", fixedRegister(RegClass::Segment, 5, 2, false)},
    {"ST", fixedRegister(RegClass::Fpu, 0, 0, false)},
    {"ST(0)", fixedRegister(RegClass::Fpu, 0, 0, false)},
    {"imm8", immediate(1, false)},
    {"imm8s", immediate(1, true)},
    {"imm16", immediate(2, false)},
    {"imm32", immediate(4, false)},
    {"1", sized(PatternKind::Const, 1)},
    {"3", sized(PatternKind::Const, 3)},
    {"rel8", sized(PatternKind::Rel, 1)},
    {"rel32", sized(PatternKind::Rel, 4)},
};

// --- processors -------------------------------------------------------------------

struct ProcessorName {
    std::string_view name;
    Cpu cpu;
    Fpu fpu;
};

// clang-format off
constexpr ProcessorName kProcessors[] = {
    {"", Cpu::I8086, Fpu::None},    {"186", Cpu::I186, Fpu::None}, {"286", Cpu::I286, Fpu::None},
    {"386", Cpu::I386, Fpu::None},  {"486", Cpu::I486, Fpu::None}, {"586", Cpu::P5, Fpu::None},
    {"686", Cpu::P6, Fpu::None},    {"287", Cpu::I8086, Fpu::I287}, {"387", Cpu::I8086, Fpu::I387},
};
// clang-format on

// --- condition codes --------------------------------------------------------------

struct Condition {
    std::string_view name;
    std::uint8_t number;
};

// clang-format off
constexpr Condition kConditions[] = {
    {"O", 0},   {"NO", 1},  {"B", 2},   {"C", 2},   {"NAE", 2}, {"AE", 3},
    {"NB", 3},  {"NC", 3},  {"E", 4},   {"Z", 4},   {"NE", 5},  {"NZ", 5},
    {"BE", 6},  {"NA", 6},  {"A", 7},   {"NBE", 7}, {"S", 8},   {"NS", 9},
    {"P", 10},  {"PE", 10}, {"NP", 11}, {"PO", 11}, {"L", 12},  {"NGE", 12},
    {"GE", 13}, {"NL", 13}, {"LE", 14}, {"NG", 14}, {"G", 15},  {"NLE", 15},
};
// clang-format on

constexpr std::string_view kConditionSuffix = "cc";
constexpr std::string_view kConditionPlus = "+cc";
constexpr std::uint8_t kNoCondition = 0xFF;

// --- small text helpers -------------------------------------------------------------

std::string_view trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Splits `text` at `separator` into trimmed pieces (no pieces for blank text).
std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    text = trim(text);
    while (!text.empty()) {
        const std::size_t at = text.find(separator);
        pieces.push_back(trim(text.substr(0, at)));
        if (at == std::string_view::npos) break;
        text.remove_prefix(at + 1);
    }
    return pieces;
}

bool parseHexByte(std::string_view text, std::uint8_t& value) {
    if (text.size() != 2) return false;
    const auto result = std::from_chars(text.data(), text.data() + 2, value, 16);
    return result.ec == std::errc() && result.ptr == text.data() + 2;
}

bool isMemoryPattern(PatternKind kind) { return kind == PatternKind::RegOrMem || kind == PatternKind::Mem; }

constexpr std::uint8_t kindBit(OperandKind kind) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(kind));
}

// The operand kinds a pattern takes; any other kind is the wrong kind outright.
std::uint8_t acceptedKinds(PatternKind kind) {
    switch (kind) {
        case PatternKind::Reg:
        case PatternKind::FixedReg:
            return kindBit(OperandKind::Reg);
        case PatternKind::RegOrMem:
            return kindBit(OperandKind::Reg) | kindBit(OperandKind::Mem);
        case PatternKind::Mem:
        case PatternKind::MemOffset:
        case PatternKind::StringSource:
        case PatternKind::StringDest:
            return kindBit(OperandKind::Mem);
        case PatternKind::Imm:
        case PatternKind::Const:
        case PatternKind::Rel:
            return kindBit(OperandKind::Imm);
        case PatternKind::None:
            break;
    }
    return 0;
}

// --- one row ----------------------------------------------------------------------------

class RowParser {
public:
    RowParser(const OpcodeRow& row, std::uint16_t index, std::uint8_t condition) : row_(row), condition_(condition) {
        form_.row = index;
    }

    // The parsed form, or the reason the row is malformed.
    bool parse(Form& form, std::string& problem) {
        if (parseOperands() && parseOpcode() && parseFlags() && parseProcessor() && assignRoles()) {
            for (int i = 0; i < form_.operandCount; ++i) form_.acceptedKinds[i] = acceptedKinds(form_.operands[i].kind);
            assignTypedSizes();
            requireProcessorOfOperands();
            form = form_;
            return true;
        }
        problem = problem_;
        return false;
    }

private:
    bool fail(std::string why) {
        problem_ = std::move(why);
        return false;
    }

    bool parseOperands() {
        const auto names = split(row_.operands, ',');
        if (names.size() > form_.operands.size()) return fail("more than three operands");
        for (std::string_view name : names) {
            const auto* known = std::find_if(std::begin(kPatternNames), std::end(kPatternNames),
                                             [&](const PatternName& p) { return p.name == name; });
            if (known == std::end(kPatternNames)) return fail("unknown operand '" + std::string(name) + "'");
            form_.operands[form_.operandCount++] = known->pattern;
        }
        return true;
    }

    bool parseOpcode() {
        const auto tokens = split(row_.opcode, ' ');
        bool modrmReg = false, modrmDigit = false, addReg = false;
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            const std::string_view token = tokens[i];
            std::uint8_t byte = 0;
            if (token == "o16") {
                form_.operandSize16 = true;
            } else if (token == "a16") {
                form_.addressSize16 = true;
            } else if (token == "/r") {
                modrmReg = true;
            } else if (token.size() == 2 && token[0] == '/' && token[1] >= '0' && token[1] <= '7') {
                modrmDigit = true;
                form_.digit = static_cast<std::uint8_t>(token[1] - '0');
            } else if (token == "ib" || token == "iw" || token == "id") {
                if (form_.immediateCount == form_.immediateSize.size()) return fail("too many immediates");
                form_.immediateSize[form_.immediateCount++] = token == "ib" ? 1 : token == "iw" ? 2 : 4;
            } else if (token == "cb" || token == "cd") {
                form_.relativeSize = token == "cb" ? 1 : 4;
            } else if (token == "9B" && form_.opcodeLength == 0 && i + 1 < tokens.size() &&
                       parseHexByte(tokens[i + 1], byte)) {
                form_.wait = true;
            } else if (!parseOpcodeByte(token, addReg)) {
                return false;
            }
        }
        if (form_.opcodeLength == 0) return fail("no opcode byte");
        if (modrmReg + modrmDigit + addReg + (form_.relativeSize != 0) > 1)
            return fail("more than one of /r, /digit, +r, cb/cd");
        form_.encoding = modrmReg                  ? Encoding::ModRMReg
                         : modrmDigit              ? Encoding::ModRMDigit
                         : addReg                  ? Encoding::AddReg
                         : form_.relativeSize != 0 ? Encoding::Relative
                                                   : Encoding::Raw;
        return true;
    }

    // "0F", "B8+rd", "70+cc", "C0+i"
    bool parseOpcodeByte(std::string_view token, bool& addReg) {
        const std::size_t plus = token.find('+');
        std::uint8_t byte = 0;
        if (!parseHexByte(token.substr(0, plus), byte)) return fail("bad opcode token '" + std::string(token) + "'");
        if (plus != std::string_view::npos) {
            const std::string_view suffix = token.substr(plus);
            if (suffix == kConditionPlus) {
                if (condition_ == kNoCondition) return fail("+cc in a row whose mnemonic does not end in cc");
                byte = static_cast<std::uint8_t>(byte + condition_);
            } else if (suffix == "+rb" || suffix == "+rw" || suffix == "+rd" || suffix == "+i") {
                addReg = true;
            } else {
                return fail("bad opcode suffix '" + std::string(suffix) + "'");
            }
        }
        if (form_.opcodeLength == form_.opcode.size()) return fail("more than three opcode bytes");
        form_.opcode[form_.opcodeLength++] = byte;
        return true;
    }

    bool parseFlags() {
        for (char flag : row_.flags) {
            switch (flag) {
                case 'd':
                    form_.defaultSize = true;
                    break;
                case 'L':
                    form_.lockable = true;
                    break;
                case 'R':
                    form_.rep = true;
                    break;
                case 'E':
                    form_.rep = form_.repeRepne = true;
                    break;
                case 's':
                    loneImmediateSized_ = true;
                    break;
                default:
                    return fail(std::string("unknown flag '") + flag + "'");
            }
        }
        return true;
    }

    // "", "486", "286P", "387"
    bool parseProcessor() {
        std::string_view cpu = row_.cpu;
        if (cpu.ends_with('P')) {
            form_.privileged = true;
            cpu.remove_suffix(1);
        }
        const auto* known = std::find_if(std::begin(kProcessors), std::end(kProcessors),
                                         [&](const ProcessorName& p) { return p.name == cpu; });
        if (known == std::end(kProcessors)) return fail("unknown processor '" + std::string(row_.cpu) + "'");
        form_.cpu = known->cpu;
        form_.fpu = known->fpu;
        if (isX87()) form_.fpu = std::max(form_.fpu, Fpu::I8087);
        if (isX87() && form_.cpu >= Cpu::P6) form_.fpu = Fpu::I387;
        return true;
    }

    // The x87 escape opcodes D8..DF (after the FWAIT of the waiting forms).
    bool isX87() const { return form_.opcodeLength != 0 && (form_.opcode[0] & 0xF8) == 0xD8; }

    // The size a PTR type on each immediate must give: an imm8s works on the operation
    // size, an immediate beside a general register or r/m operand of its own size on
    // that size, a lone immediate of an 's' row on its own size.
    void assignTypedSizes() {
        for (int i = 0; i < form_.operandCount; ++i) {
            OperandPattern& p = form_.operands[i];
            if (p.kind != PatternKind::Imm) continue;
            if (p.signExtended)
                p.typedSize = form_.operandSize16 ? 2 : 4;
            else if (hasGeneralOperandOfSize(p.size) || (loneImmediateSized_ && form_.operandCount == 1))
                p.typedSize = p.size;
            p.fixesSize = p.typedSize != 0;
        }
    }

    bool hasGeneralOperandOfSize(std::uint8_t size) const {
        for (int i = 0; i < form_.operandCount; ++i) {
            const OperandPattern& p = form_.operands[i];
            const bool general =
                p.kind == PatternKind::RegOrMem || ((p.kind == PatternKind::Reg || p.kind == PatternKind::FixedReg) &&
                                                    p.regClass != RegClass::Segment && p.regClass != RegClass::Fpu);
            if (general && p.size == size) return true;
        }
        return false;
    }

    // An integer form that works on doublewords (r32, r/m32, EAX, imm32, rel32, string
    // and far-pointer operands of 32 bits) needs the 386.
    void requireProcessorOfOperands() {
        if (isX87()) return;
        for (int i = 0; i < form_.operandCount; ++i) {
            const OperandPattern& p = form_.operands[i];
            const bool doubleword = (p.size == 4 && p.kind != PatternKind::Mem) ||
                                    (p.kind == PatternKind::Mem && (p.size == 6 || p.size == 8));
            if (doubleword) form_.cpu = std::max(form_.cpu, Cpu::I386);
        }
    }

    int findOperand(bool (*wanted)(const OperandPattern&), int skip = -1) const {
        for (int i = 0; i < form_.operandCount; ++i)
            if (i != skip && wanted(form_.operands[i])) return i;
        return -1;
    }

    // Decides which operand goes where and checks the row is consistent.
    bool assignRoles() {
        const auto isReg = [](const OperandPattern& p) { return p.kind == PatternKind::Reg; };
        const auto isSegmentReg = [](const OperandPattern& p) {
            return p.kind == PatternKind::Reg && p.regClass == RegClass::Segment;
        };
        const auto isRm = [](const OperandPattern& p) { return isMemoryPattern(p.kind); };
        const auto isOffset = [](const OperandPattern& p) { return p.kind == PatternKind::MemOffset; };
        const auto isString = [](const OperandPattern& p) {
            return p.kind == PatternKind::Mem || p.kind == PatternKind::StringDest;
        };

        switch (form_.encoding) {
            case Encoding::ModRMReg:
                form_.regOperand = static_cast<std::int8_t>(findOperand(isSegmentReg));
                if (form_.regOperand < 0) form_.regOperand = static_cast<std::int8_t>(findOperand(isReg));
                if (form_.regOperand < 0) return fail("/r without a register operand");
                form_.rmOperand = static_cast<std::int8_t>(findOperand(isRm));
                if (form_.rmOperand < 0)
                    form_.rmOperand = static_cast<std::int8_t>(findOperand(isReg, form_.regOperand));
                if (form_.rmOperand < 0) form_.rmOperand = form_.regOperand;
                break;
            case Encoding::ModRMDigit:
                form_.rmOperand = static_cast<std::int8_t>(findOperand(isRm));
                if (form_.rmOperand < 0) return fail("/digit without an r/m operand");
                break;
            case Encoding::AddReg:
                form_.regOperand = static_cast<std::int8_t>(findOperand(isReg));
                if (form_.regOperand < 0) return fail("+r without a register operand");
                break;
            case Encoding::Relative:
                if (form_.operandCount != 1 || form_.operands[0].kind != PatternKind::Rel ||
                    form_.operands[0].size != form_.relativeSize)
                    return fail("cb/cd needs exactly one rel operand of that size");
                break;
            case Encoding::Raw:
                if (findOperand(isOffset) >= 0) {
                    form_.encoding = Encoding::MemoryOffset;
                } else if (findOperand(isString) >= 0) {
                    form_.encoding = Encoding::ImplicitMemory;
                    for (int i = 0; i < form_.operandCount; ++i) {
                        if (form_.operands[i].kind != PatternKind::Mem) continue;
                        form_.operands[i].kind = PatternKind::StringSource;
                        form_.operands[i].fixesSize = true;
                    }
                }
                if (findOperand(isRm) >= 0 || findOperand(isReg) >= 0)
                    return fail("register or r/m operand without /r, /digit or +r");
                break;
            default:
                break;
        }
        if (form_.encoding != Encoding::Relative &&
            findOperand([](const OperandPattern& p) { return p.kind == PatternKind::Rel; }) >= 0)
            return fail("rel operand without cb/cd");
        return checkImmediates();
    }

    bool checkImmediates() {
        std::uint8_t count = 0;
        for (int i = 0; i < form_.operandCount; ++i) {
            const OperandPattern& p = form_.operands[i];
            if (p.kind != PatternKind::Imm) continue;
            if (count == form_.immediateCount || form_.immediateSize[count] != p.size)
                return fail("imm operands and ib/iw/id disagree");
            ++count;
        }
        if (count != form_.immediateCount) return fail("imm operands and ib/iw/id disagree");
        return true;
    }

    const OpcodeRow& row_;
    std::uint8_t condition_;
    bool loneImmediateSized_ = false;
    Form form_;
    std::string problem_;
};

bool hasConditionSuffix(const OpcodeRow& row) {
    return row.mnemonic.size() > kConditionSuffix.size() && row.mnemonic.ends_with(kConditionSuffix) &&
           row.opcode.find(kConditionPlus) != std::string_view::npos;
}

}  // namespace

// Six bits a character (a..z = 1..26, 0..9 = 27..36), the first character lowest:
// ten characters fit, enough for CMPXCHG8B.
namespace {
constexpr std::size_t kKeyBits = 6;
constexpr std::size_t kKeyLength = 64 / kKeyBits;
}  // namespace

MnemonicKey mnemonicKey(std::string_view name) {
    if (name.empty() || name.size() > kKeyLength) return 0;
    MnemonicKey key = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        unsigned code = 0;
        if (c >= 'a' && c <= 'z')
            code = unsigned(c - 'a') + 1;
        else if (c >= 'A' && c <= 'Z')
            code = unsigned(c - 'A') + 1;
        else if (c >= '0' && c <= '9')
            code = unsigned(c - '0') + 27;
        else
            return 0;
        key |= static_cast<MnemonicKey>(code) << (kKeyBits * i);
    }
    return key;
}

std::string mnemonicName(MnemonicKey key) {
    std::string name;
    for (; key != 0; key >>= kKeyBits) {
        const unsigned code = key & ((1u << kKeyBits) - 1);
        name.push_back(code <= 26 ? static_cast<char>('a' + code - 1) : static_cast<char>('0' + code - 27));
    }
    return name;
}

FormIndex::FormIndex() {
    const auto rows = opcodeTable();
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const OpcodeRow& row = rows[index];
        const auto add = [&](std::string_view mnemonic, std::string_view conditionName, std::uint8_t condition) {
            Form form;
            std::string problem;
            RowParser parser(row, static_cast<std::uint16_t>(index), condition);
            const MnemonicKey key = mnemonicKey(std::string(mnemonic) + std::string(conditionName));
            if (key == 0) problem = "mnemonic cannot be looked up";
            if (key == 0 || !parser.parse(form, problem)) {
                problems_.push_back("row " + std::to_string(index) + " (" + std::string(row.mnemonic) + " " +
                                    std::string(row.operands) + "): " + problem);
                return;
            }
            form.key = key;
            forms_.push_back(form);
        };
        if (hasConditionSuffix(row)) {
            const auto stem = row.mnemonic.substr(0, row.mnemonic.size() - kConditionSuffix.size());
            for (const Condition& condition : kConditions) add(stem, condition.name, condition.number);
        } else {
            add(row.mnemonic, {}, kNoCondition);
        }
    }
    std::stable_sort(forms_.begin(), forms_.end(), [](const Form& a, const Form& b) { return a.key < b.key; });
    for (std::uint32_t i = 0; i < forms_.size();) {
        std::uint32_t end = i;
        while (end < forms_.size() && forms_[end].key == forms_[i].key) ++end;
        ranges_.push_back({forms_[i].key, i, end, Mnemonic{static_cast<std::uint32_t>(ranges_.size() + 1)}});
        i = end;
    }
    buildSlots();
}

namespace {

// Fibonacci hashing: the top bits of key * 2^64/phi spread packed names well.
std::size_t slotOf(MnemonicKey key, unsigned shift) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift);
}

}  // namespace

void FormIndex::buildSlots() {
    // At most a quarter full, so that probe sequences stay short.
    unsigned bits = 4;
    while ((std::size_t(1) << bits) < ranges_.size() * 4) ++bits;
    slots_.assign(std::size_t(1) << bits, Range{});
    slotShift_ = 64 - bits;
    const std::size_t mask = slots_.size() - 1;
    for (const Range& range : ranges_) {
        std::size_t i = slotOf(range.key, slotShift_);
        while (slots_[i].key != 0) i = (i + 1) & mask;
        slots_[i] = range;
    }
}

Mnemonic FormIndex::lookup(MnemonicKey key) const {
    if (key == 0) return {};
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = slotOf(key, slotShift_);; i = (i + 1) & mask) {
        const Range& slot = slots_[i];
        if (slot.key == key) return slot.mnemonic;
        if (slot.key == 0) return {};
    }
}

std::span<const Form> FormIndex::forms(Mnemonic m) const {
    if (!m || m.index > ranges_.size()) return {};
    const Range& range = ranges_[m.index - 1];
    return std::span<const Form>(forms_).subspan(range.begin, range.end - range.begin);
}

std::vector<MnemonicKey> FormIndex::mnemonics() const {
    std::vector<MnemonicKey> keys;
    keys.reserve(ranges_.size());
    for (const Range& range : ranges_) keys.push_back(range.key);
    return keys;
}

const FormIndex& formIndex() {
    static const FormIndex index;
    return index;
}

}  // namespace ml::x86
