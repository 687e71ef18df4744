// encode(): finds the first form of the mnemonic that the operands fit, checks the
// prefix, and hands the instruction to the encoder function of the form's layout.
#include "Encoder.h"

#include "EncodingForms.h"
#include "FormIndex.h"
#include "OperandMatch.h"

#include <algorithm>

namespace ml::x86 {
namespace {

void reset(Encoded& out) {
    out.bytes.fill(0);
    out.length = 0;
    out.prefixLength = 0;
    out.operandSizePrefix = false;
    out.addressSizePrefix = false;
    out.displacement = {};
    out.immediate = {};
    out.immediate2 = {};
    out.fixups.clear();
}

// REP goes with the string instructions, REPE/REPNE with CMPS and SCAS only, LOCK
// with the read-modify-write forms whose r/m operand is memory.
bool prefixAllowed(const Form& form, const Instruction& insn) {
    switch (insn.prefix) {
        case Prefix::None:
            return true;
        case Prefix::Rep:
            return form.rep;
        case Prefix::Repe:
        case Prefix::Repne:
            return form.repeRepne;
        case Prefix::Lock:
            return form.lockable && form.rmOperand >= 0 && insn.operands[form.rmOperand].kind == OperandKind::Mem;
    }
    return false;
}

EncodeError encodeForm(const Form& form, const Instruction& insn, std::uint32_t address, Encoded& out) {
    switch (form.encoding) {
        case Encoding::Raw:
            return encodeRaw(form, insn, out);
        case Encoding::AddReg:
            return encodeAddReg(form, insn, out);
        case Encoding::ModRMReg:
            return encodeModRMReg(form, insn, out);
        case Encoding::ModRMDigit:
            return encodeModRMDigit(form, insn, out);
        case Encoding::Relative:
            return encodeRelative(form, insn, address, out);
        case Encoding::MemoryOffset:
            return encodeMemoryOffset(form, insn, out);
        case Encoding::ImplicitMemory:
            return encodeImplicitMemory(form, insn, out);
    }
    return EncodeError::InvalidOperands;
}

// Doubleword registers, FS and GS arrived with the 386.
bool usesRegisterOf386(const Instruction& insn) {
    const auto is386 = [](const Register& r) {
        return r.cls == RegClass::Gpr32 || (r.cls == RegClass::Segment && r.number >= 4);
    };
    for (std::uint8_t i = 0; i < insn.operandCount; ++i) {
        const Operand& op = insn.operands[i];
        if (is386(op.reg) || is386(op.base) || is386(op.index) || is386(op.segment)) return true;
    }
    return false;
}

}  // namespace

EncodeError encode(const Instruction& insn, std::uint32_t address, Encoded& out) {
    reset(out);
    const auto forms = formIndex().forms(insn.known ? insn.known : lookupMnemonic(insn.mnemonic));
    if (forms.empty()) return EncodeError::UnknownMnemonic;
    if (insn.operandCount > insn.operands.size()) return EncodeError::InvalidOperands;

    // The first form that matches wins; how close the others came matters only when
    // none matches, so it is worked out then. Forms ruled out by an operand's kind are
    // as far off as a miss can be and are never matched operand by operand.
    // A form that matches but that the processor directives do not enable is passed
    // over; when no enabled form matches, that is the error.
    const OperandKinds kinds = operandKinds(insn);
    const bool registersEnabled = insn.mode.cpu >= Cpu::I386 || !usesRegisterOf386(insn);
    bool laterProcessor = false;
    for (const Form& form : forms) {
        if (!kindsFit(form, insn.operandCount, kinds) || !operandsMatch(form, insn)) continue;
        if (!registersEnabled || !enabledIn(form, insn.mode)) {
            laterProcessor = true;
            continue;
        }
        if (!prefixAllowed(form, insn)) return EncodeError::PrefixNotAllowed;
        const EncodeError error = encodeForm(form, insn, address, out);
        if (error != EncodeError::None) reset(out);
        return error;
    }
    if (laterProcessor) return EncodeError::NotInCpuMode;
    Closeness closest = Closeness::WrongKind;
    for (const Form& form : forms)
        if (kindsFit(form, insn.operandCount, kinds)) closest = std::max(closest, matchOperands(form, insn));
    return errorFor(closest, insn.operandCount);
}

Mnemonic lookupMnemonic(std::string_view name) { return formIndex().lookup(mnemonicKey(name)); }

bool isInstruction(std::string_view mnemonic) { return static_cast<bool>(lookupMnemonic(mnemonic)); }

bool isRelativeBranch(std::string_view mnemonic) {
    const auto forms = formIndex().find(mnemonicKey(mnemonic));
    return std::any_of(forms.begin(), forms.end(),
                       [](const Form& form) { return form.encoding == Encoding::Relative; });
}

}  // namespace ml::x86
