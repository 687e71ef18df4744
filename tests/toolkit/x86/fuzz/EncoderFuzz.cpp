// libFuzzer target for encode(): builds instructions from the fuzzer's bytes (known
// mnemonics, any operand kinds, registers, sizes, values, prefixes and branch forms)
// and checks what every caller relies on: no crash or undefined behaviour, a failure
// leaves nothing behind, a success has a sane length and its fields and fixups lie
// inside the bytes, and the same input encodes the same way twice.
//
// Build (clang, own build folder):
//   CC=clang CXX=clang++ cmake -S . -B .build-fuzz -DML_FUZZ=ON
//   cmake --build .build-fuzz --target ml_x86_fuzz
//   .build-fuzz/tests/toolkit/x86/ml_x86_fuzz -max_total_time=60
#include "x86/Encoder.h"
#include "x86/FormIndex.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace ml::x86;

const std::vector<std::string>& mnemonics() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> result;
        for (MnemonicKey key : formIndex().mnemonics()) result.push_back(mnemonicName(key));
        return result;
    }();
    return names;
}

Register pickRegister(FuzzedDataProvider& data) {
    Register r;
    r.cls = static_cast<RegClass>(data.ConsumeIntegralInRange<int>(0, 7));
    r.number =
        data.ConsumeBool() ? data.ConsumeIntegralInRange<std::uint8_t>(0, 7) : data.ConsumeIntegral<std::uint8_t>();
    return r;
}

std::int64_t pickValue(FuzzedDataProvider& data) {
    static constexpr std::int64_t kEdges[] = {
        0,     1,     3,     -1,     127,        128,        -128,        -129,      255,       256,
        32767, 65535, 65536, -32768, 0x7FFFFFFF, 0xFFFFFFFF, 0x100000000, INT32_MIN, INT64_MIN, INT64_MAX};
    if (data.ConsumeBool()) return kEdges[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kEdges) - 1)];
    return data.ConsumeIntegral<std::int64_t>();
}

Operand pickOperand(FuzzedDataProvider& data) {
    static constexpr std::uint8_t kSizes[] = {0, 1, 2, 4, 6, 8, 10, 3};
    Operand op;
    op.kind = static_cast<OperandKind>(data.ConsumeIntegralInRange<int>(0, 3));
    op.reg = pickRegister(data);
    op.imm = {pickValue(data), data.ConsumeIntegralInRange<std::uint32_t>(0, 2)};
    if (data.ConsumeBool()) op.base = pickRegister(data);
    if (data.ConsumeBool()) op.index = pickRegister(data);
    op.scale = data.ConsumeIntegralInRange<std::uint8_t>(0, 9);
    op.disp = {pickValue(data), data.ConsumeIntegralInRange<std::uint32_t>(0, 2)};
    if (data.ConsumeBool()) op.segment = pickRegister(data);
    op.size = kSizes[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kSizes) - 1)];
    op.isFloat = data.ConsumeBool();
    return op;
}

bool inside(const Field& field, std::uint8_t length) { return field.size == 0 || field.offset + field.size <= length; }

void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    std::string mnemonic = data.ConsumeBool()
                               ? mnemonics()[data.ConsumeIntegralInRange<std::size_t>(0, mnemonics().size() - 1)]
                               : data.ConsumeRandomLengthString(12);
    Instruction insn;
    insn.mnemonic = mnemonic;
    insn.prefix = static_cast<Prefix>(data.ConsumeIntegralInRange<int>(0, 4));
    insn.branch = static_cast<BranchForm>(data.ConsumeIntegralInRange<int>(0, 2));
    insn.operandCount = data.ConsumeIntegralInRange<std::uint8_t>(0, 4);
    for (Operand& op : insn.operands) op = pickOperand(data);
    const std::uint32_t address = data.ConsumeIntegral<std::uint32_t>();

    Encoded out;
    const EncodeError error = encode(insn, address, out);
    if (error != EncodeError::None) {
        check(out.length == 0 && out.fixups.empty());
        return 0;
    }
    check(out.length >= 1 && out.length <= 15 && out.prefixLength < out.length);
    check(inside(out.displacement, out.length) && inside(out.immediate, out.length) &&
          inside(out.immediate2, out.length));
    for (const Fixup& fixup : out.fixups) {
        const std::uint8_t width = fixup.kind == FixupKind::Abs32 || fixup.kind == FixupKind::Pc32 ? 4
                                   : fixup.kind == FixupKind::Abs16                                ? 2
                                                                                                   : 1;
        check(fixup.symbol != 0 && fixup.offset + width <= out.length);
    }
    Encoded again;
    check(encode(insn, address, again) == EncodeError::None && again.length == out.length && again.bytes == out.bytes &&
          again.fixups.size() == out.fixups.size());
    return 0;
}
