// Cross-check against GNU as: every form of the opcode table is exercised with sample
// operands (registers, each addressing form with and without segment overrides,
// immediates at the edges of their ranges, symbols and branch targets), the lines go
// through `as --32 -msyntax=intel -mnaked-reg` one section each, and the bytes and
// relocations of every line must equal what encode() gives. Lines both refuse agree.
//
// Run:      ml_x86_tests --gtest_filter='GnuAsCrossCheck.*'
// Inspect:  ML_X86_KEEP=<dir> keeps the generated source, object and a line-by-line report.
//
// MASM spellings that GNU as reads differently are sent to it in its own spelling
// (pusha -> pushaw, retn -> ret, "near $+n" -> "{disp32} ... .+n").
//
// GNU as is the oracle for every choice but one: where MOV, ADD, OR, ADC, SBB, AND,
// SUB, XOR or CMP has two registers, both the "r/m, reg" and the "reg, r/m" opcode
// encode it, and MASM takes "reg, r/m" (mov eax, ebx = 8B C3, where GNU as writes
// 89 D8). Such lines are sent to GNU as with its {load} pseudo-prefix, which asks for
// that direction, so the comparison holds our choice to MASM's.
#include "AsmText.h"
#include "TestFiles.h"

#include "x86/FormIndex.h"
#include "x86/OperandMatch.h"

#include <gtest/gtest.h>

#include <elf.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace ml::x86::test {
namespace {

namespace fs = std::filesystem;
using asmora::testing::readFile;

// --- sample operands for each pattern --------------------------------------------------

const char* sizeWord(std::uint8_t size) {
    switch (size) {
        case 1:
            return "byte";
        case 2:
            return "word";
        case 4:
            return "dword";
        case 6:
            return "fword";
        case 8:
            return "qword";
        case 10:
            return "tbyte";
        default:
            return "";
    }
}

std::vector<std::string> registerSamples(RegClass cls) {
    switch (cls) {
        case RegClass::Gpr8:
            return {"al", "cl", "dh", "bh"};
        case RegClass::Gpr16:
            return {"ax", "cx", "sp", "di"};
        case RegClass::Gpr32:
            return {"eax", "ecx", "esp", "ebp", "edi"};
        case RegClass::Segment:
            return {"es", "cs", "ss", "ds", "fs", "gs"};
        case RegClass::Fpu:
            return {"st(1)", "st(0)", "st(7)"};
        default:
            return {};
    }
}

std::string fixedRegisterName(const OperandPattern& p) {
    static const char* const gpr8[] = {"al", "cl", "dl", "bl", "ah", "ch", "dh", "bh"};
    static const char* const gpr16[] = {"ax", "cx", "dx", "bx", "sp", "bp", "si", "di"};
    static const char* const gpr32[] = {"eax", "ecx", "edx", "ebx", "esp", "ebp", "esi", "edi"};
    static const char* const segment[] = {"es", "cs", "ss", "ds", "fs", "gs"};
    switch (p.regClass) {
        case RegClass::Gpr8:
            return gpr8[p.regNumber];
        case RegClass::Gpr16:
            return gpr16[p.regNumber];
        case RegClass::Gpr32:
            return gpr32[p.regNumber];
        case RegClass::Segment:
            return segment[p.regNumber];
        default:
            return "st";
    }
}

// Every addressing form the encoder distinguishes, with the segment overrides that
// are and are not the default of the form.
const char* const kAddresses[] = {
    "[ebx]",
    "[eax+4]",
    "[ecx-128]",
    "[edx+127]",
    "[esi+128]",
    "[edi-129]",
    "[ebp]",
    "[ebp+8]",
    "[ebp-0x1000]",
    "[esp]",
    "[esp+4]",
    "[esp+0x200]",
    "[eax+ecx]",
    "[eax+ecx*2+1]",
    "[ebp+esi*4]",
    "[esp+eax*8+0x12345]",
    "[ecx*4]",
    "[edx*8+64]",
    "[ebp*1]",
    "[0x1234]",
    "[ebx+0xffffffff]",
    "[ebp+edi-0x80]",
    "ext",
    "[ext+ebx]",
    "[ext+esi*4+8]",
    "[ebp+ext-4]",
    "fs:[ebx]",
    "ds:[ebx]",
    "ss:[ebx]",
    "ss:[ebp]",
    "ds:[ebp+4]",
    "es:[esi+edi]",
    "ss:[esp]",
    "ds:[esp+8]",
    "cs:[0x10]",
    "gs:[eax*2]",
    "[bx+si]",
    "[bx+di+4]",
    "[bp+si-2]",
    "[bp+di+0x300]",
    "[si]",
    "[di+0x1234]",
    "[bp]",
    "[bx]",
    "ss:[bp+si]",
    "ds:[bp]",
    "es:[bx+ext]",
};

std::vector<std::string> memorySamples(const OperandPattern& p) {
    std::vector<std::string> samples;
    const std::string sized = p.size == 0 ? std::string() : std::string(sizeWord(p.size)) + " ptr ";
    for (const char* address : kAddresses) samples.push_back(sized + address);
    if (p.sizeOptional) samples.insert(samples.begin() + 1, "[ebx+8]");
    return samples;
}

// Immediates with a PTR type where the type must be the operation size: the type
// chooses among the forms (push word ptr 5 = 66 6A 05).
std::vector<std::string> typedImmediateSamples(const OperandPattern& p) {
    if (p.typedSize == 0) return {};
    const std::string type = std::string(sizeWord(p.typedSize)) + " ptr ";
    if (p.size == 1) return {type + "5"};
    return {type + "5", type + "1000"};
}

std::vector<std::string> immediateSamples(const Form& form, const OperandPattern& p) {
    if (p.size == 1 && p.signExtended)
        return {"5", "-128", "-1", "0", "127", form.operandSize16 ? "0xff80" : "0xffffff80"};
    if (p.size == 1) return {"5", "0", "127", "255", "-1", "-128"};
    if (p.size == 2) return {"1000", "-32768", "65535", "0x1234", "-129"};
    return {"1000", "0x12345678", "-129", "0xffffffff", "-2147483648", "offset ext", "offset ext+8"};
}

std::vector<std::string> operandSamples(const Form& form, const OperandPattern& p, std::string_view mnemonic) {
    const std::string size = p.size != 0 ? std::string(sizeWord(p.size)) + " ptr " : std::string();
    switch (p.kind) {
        case PatternKind::Reg:
            // GNU as takes mov cs, ax although the processor refuses it; we refuse it too.
            if (p.loadable) return {"es", "ss", "ds", "fs", "gs"};
            return registerSamples(p.regClass);
        case PatternKind::FixedReg:
            return {fixedRegisterName(p)};
        case PatternKind::RegOrMem: {
            auto samples = registerSamples(p.size == 1   ? RegClass::Gpr8
                                           : p.size == 2 ? RegClass::Gpr16
                                                         : RegClass::Gpr32);
            for (std::string& m : memorySamples(p)) samples.push_back(std::move(m));
            return samples;
        }
        case PatternKind::Mem:
            return memorySamples(p);
        case PatternKind::MemOffset:
            return {"[0x1234]", size + "[0x1234]", "fs:[0x10]", "ds:[0x20]", "ss:[0x30]", "ext", "[ext+4]", "es:ext"};
        case PatternKind::StringSource: {
            const std::string reg = mnemonic == "xlat" ? "ebx" : "esi";
            return {size + "[" + reg + "]", size + "fs:[" + reg + "]", size + "ds:[" + reg + "]",
                    size + "es:[" + reg + "]", size + "ss:[" + reg + "]"};
        }
        case PatternKind::StringDest:
            return {size + "[edi]", size + "es:[edi]"};
        case PatternKind::Imm: {
            auto samples = immediateSamples(form, p);
            for (std::string& typed : typedImmediateSamples(p)) samples.push_back(std::move(typed));
            return samples;
        }
        case PatternKind::Const:
            return {std::to_string(p.size)};
        case PatternKind::Rel:
            if (p.size == 4) return {"near $+16", "near $-1000", "near $+0x12345", "ext", "ext+8"};
            if (isRelativeBranch(mnemonic) && formIndex().find(form.key).size() > 1)
                return {"short $+2", "short $-30", "short $+100"};
            return {"$+2", "$-30", "$+100"};
        case PatternKind::None:
            break;
    }
    return {};
}

// Lines for one form: each operand position runs through its samples while the
// others keep their first sample.
void addFormLines(const Form& form, std::set<std::string>& lines) {
    const std::string mnemonic = mnemonicName(form.key);
    std::vector<std::vector<std::string>> samples;
    for (int i = 0; i < form.operandCount; ++i) samples.push_back(operandSamples(form, form.operands[i], mnemonic));
    const auto line = [&](int varied, std::size_t choice) {
        std::string text = mnemonic;
        for (int i = 0; i < form.operandCount; ++i) {
            text += i == 0 ? " " : ", ";
            text += samples[i][i == varied ? choice : 0];
        }
        return text;
    };
    if (form.operandCount == 0) lines.insert(mnemonic);
    for (int i = 0; i < form.operandCount; ++i)
        for (std::size_t choice = 0; choice < samples[i].size(); ++choice) lines.insert(line(i, choice));
    if (form.lockable) lines.insert("lock " + line(0, samples[0].size() - 1));
    if (form.rep) lines.insert("rep " + line(-1, 0));
    if (form.repeRepne) lines.insert("repne " + line(-1, 0));
}

// "mov eax, ebx", "xor cl, dh": two general registers for an instruction whose
// register-to-register form has both directions.
bool isRegisterPairWithTwoDirections(const std::string& text) {
    static const std::set<std::string> kMnemonics = {"mov", "add", "or", "adc", "sbb", "and", "sub", "xor", "cmp"};
    const std::size_t space = text.find(' ');
    const std::size_t comma = text.find(", ");
    if (space == std::string::npos || comma == std::string::npos || !kMnemonics.count(text.substr(0, space)))
        return false;
    const auto general = [](const std::string& name) {
        const RegClass cls = lookupRegister(name).cls;
        return cls == RegClass::Gpr8 || cls == RegClass::Gpr16 || cls == RegClass::Gpr32;
    };
    return general(text.substr(space + 1, comma - space - 1)) && general(text.substr(comma + 2));
}

// The same line in GNU as's spelling.
std::string gasText(std::string text) {
    static const std::map<std::string, std::string> kMnemonics = {
        {"pusha", "pushaw"}, {"popa", "popaw"}, {"pushf", "pushfw"}, {"popf", "popfw"}, {"retn", "ret"},
    };
    std::string prefix;
    if (const auto near = text.find("near "); near != std::string::npos) {
        text.erase(near, 5);
        prefix = "{disp32} ";
    }
    if (isRegisterPairWithTwoDirections(text)) prefix += "{load} ";
    for (char& c : text)
        if (c == '$') c = '.';
    const std::size_t end = text.find(' ');
    if (const auto it = kMnemonics.find(text.substr(0, end)); it != kMnemonics.end())
        text = it->second + (end == std::string::npos ? std::string() : text.substr(end));
    return prefix + text;
}

// --- GNU as and its object file ------------------------------------------------------------

struct GasLine {
    bool refused = false;
    std::vector<std::uint8_t> bytes;
    std::vector<std::pair<std::uint32_t, std::string>> relocations;  // offset, "type symbol"
};

bool runAs(const fs::path& dir, const std::vector<std::string>& lines, const std::set<std::size_t>& refused,
           std::set<std::size_t>& errors) {
    {
        std::ofstream source(dir / "forms.s");
        source << ".intel_syntax noprefix\n";
        for (std::size_t i = 0; i < lines.size(); ++i)
            source << ".section .t" << i << ",\"ax\",@progbits\n" << (refused.count(i) ? "" : lines[i]) << "\n";
    }
    const std::string command = "as --32 -msyntax=intel -mnaked-reg -o '" + (dir / "forms.o").string() + "' '" +
                                (dir / "forms.s").string() + "' 2> '" + (dir / "as.err").string() + "'";
    const int status = std::system(command.c_str());
    std::istringstream messages(readFile(dir / "as.err"));
    for (std::string message; std::getline(messages, message);) {
        const auto colon = message.find(".s:");
        if (colon == std::string::npos || message.find(": Error:") == std::string::npos) continue;
        const std::size_t lineNumber = std::stoul(message.substr(colon + 3));
        if (lineNumber >= 3) errors.insert((lineNumber - 3) / 2);
    }
    return status == 0;
}

std::vector<GasLine> readObject(const fs::path& path, std::size_t count) {
    const std::string file = readFile(path);
    const auto* data = reinterpret_cast<const std::uint8_t*>(file.data());
    const auto& header = *reinterpret_cast<const Elf32_Ehdr*>(data);
    const auto* sections = reinterpret_cast<const Elf32_Shdr*>(data + header.e_shoff);
    const std::size_t sectionCount = header.e_shnum != 0 ? header.e_shnum : sections[0].sh_size;
    const std::size_t namesIndex = header.e_shstrndx != SHN_XINDEX ? header.e_shstrndx : sections[0].sh_link;
    const char* names = reinterpret_cast<const char*>(data + sections[namesIndex].sh_offset);

    std::vector<GasLine> result(count);
    std::map<std::size_t, std::size_t> lineOfSection;
    for (std::size_t s = 0; s < sectionCount; ++s) {
        const std::string_view name = names + sections[s].sh_name;
        if (!name.starts_with(".t") || name.size() < 3 || name[2] < '0' || name[2] > '9') continue;
        const std::size_t line = std::stoul(std::string(name.substr(2)));
        lineOfSection[s] = line;
        result[line].bytes.assign(data + sections[s].sh_offset, data + sections[s].sh_offset + sections[s].sh_size);
    }
    for (std::size_t s = 0; s < sectionCount; ++s) {
        if (sections[s].sh_type != SHT_REL) continue;
        const Elf32_Shdr& symtab = sections[sections[s].sh_link];
        const auto* symbols = reinterpret_cast<const Elf32_Sym*>(data + symtab.sh_offset);
        const char* symbolNames = reinterpret_cast<const char*>(data + sections[symtab.sh_link].sh_offset);
        const auto* rels = reinterpret_cast<const Elf32_Rel*>(data + sections[s].sh_offset);
        for (std::size_t r = 0; r < sections[s].sh_size / sizeof(Elf32_Rel); ++r) {
            const char* symbol = symbolNames + symbols[ELF32_R_SYM(rels[r].r_info)].st_name;
            result[lineOfSection[sections[s].sh_info]].relocations.push_back(
                {rels[r].r_offset, std::to_string(ELF32_R_TYPE(rels[r].r_info)) + " " + symbol});
        }
    }
    return result;
}

int relocationType(FixupKind kind) {
    switch (kind) {
        case FixupKind::Abs32:
            return R_386_32;
        case FixupKind::Pc32:
            return R_386_PC32;
        case FixupKind::Abs16:
            return R_386_16;
        case FixupKind::Abs8:
            return R_386_8;
        case FixupKind::Pc8:
            return R_386_PC8;
    }
    return -1;
}

// --- the comparison -----------------------------------------------------------------------------

struct Outcome {
    std::string text;
    bool refused = false;
    std::string bytes;
    std::vector<std::pair<std::uint32_t, std::string>> relocations;
    bool operator==(const Outcome& other) const {
        return refused == other.refused && (refused || (bytes == other.bytes && relocations == other.relocations));
    }
};

std::string describe(const Outcome& o) {
    if (o.refused) return "refused";
    std::string text = o.bytes;
    for (const auto& [offset, what] : o.relocations) text += " [" + std::to_string(offset) + ": R " + what + "]";
    return text;
}

// The form encode() takes for `insn`: the first that matches.
const Form* chosenForm(const Instruction& insn) {
    for (const Form& form : formIndex().find(mnemonicKey(insn.mnemonic)))
        if (matchForm(form, insn) == Closeness::Match) return &form;
    return nullptr;
}

TEST(GnuAsCrossCheck, EveryFormEncodesAsGnuAsDoes) {
    if (std::system("as --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "GNU as is not installed";

    std::set<std::string> unique;
    for (const Form& form : formIndex().all()) addFormLines(form, unique);
    const std::vector<std::string> lines(unique.begin(), unique.end());

    const char* keep = std::getenv("ML_X86_KEEP");
    fs::path dir = keep ? fs::path(keep) : fs::temp_directory_path() / ("ml_x86_gas_" + std::to_string(::getpid()));
    fs::create_directories(dir);

    std::vector<std::string> gasLines;
    for (const std::string& line : lines) gasLines.push_back(gasText(line));
    std::set<std::size_t> refused;
    std::set<std::size_t> errors;
    if (!runAs(dir, gasLines, refused, errors)) {
        refused = errors;
        errors.clear();
        ASSERT_TRUE(runAs(dir, gasLines, refused, errors)) << readFile(dir / "as.err");
    }
    ASSERT_GT(fs::file_size(dir / "forms.o"), sizeof(Elf32_Ehdr));
    ASSERT_EQ(readFile(dir / "forms.o").substr(0, 5), std::string(ELFMAG) + char(ELFCLASS32));
    const std::vector<GasLine> gas = readObject(dir / "forms.o", lines.size());

    std::map<const Form*, int> agreedPerForm;
    std::vector<std::string> mismatches;
    std::ostringstream report;
    int agreed = 0, bothRefused = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SymbolTable symbols;
        ParsedLine parsed;
        ASSERT_TRUE(parseLine(lines[i], 0, symbols, parsed)) << lines[i] << ": " << parsed.error;
        const Instruction insn = parsed.instruction();
        Encoded out;
        Outcome ours{lines[i]}, theirs{lines[i]};
        ours.refused = encode(insn, 0, out) != EncodeError::None;
        ours.bytes = hexBytes(out);
        for (const Fixup& f : out.fixups)
            ours.relocations.push_back(
                {f.offset, std::to_string(relocationType(f.kind)) + " " + symbols.name(f.symbol)});
        theirs.refused = refused.count(i) != 0;
        theirs.bytes = hexBytes(gas[i].bytes.data(), gas[i].bytes.size());
        theirs.relocations = gas[i].relocations;

        report << lines[i] << " | ours: " << describe(ours) << " | as: " << describe(theirs) << "\n";
        if (!(ours == theirs)) {
            mismatches.push_back(lines[i] + "\n      ours: " + describe(ours) + "\n      as:   " + describe(theirs));
        } else if (ours.refused) {
            ++bothRefused;
        } else {
            ++agreed;
            ++agreedPerForm[chosenForm(insn)];
        }
    }
    if (keep)
        std::ofstream(dir / "report.txt") << report.str();
    else
        fs::remove_all(dir);

    std::string unused;
    for (const Form& form : formIndex().all())
        if (agreedPerForm[&form] == 0)
            unused += "\n  " + mnemonicName(form.key) + " (row " + std::to_string(form.row) + ")";

    std::string shown;
    for (std::size_t i = 0; i < mismatches.size() && i < 60; ++i) shown += "\n  " + mismatches[i];
    EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " of " << lines.size()
                                    << " lines differ from GNU as:" << shown;
    EXPECT_TRUE(unused.empty()) << "forms never chosen for a line GNU as agrees on:" << unused;
    EXPECT_GT(agreed, 10000);
    std::cout << "[ cross-check ] " << lines.size() << " lines: " << agreed << " encoded alike, " << bothRefused
              << " refused by both, " << mismatches.size() << " differ\n";
}

}  // namespace
}  // namespace ml::x86::test
