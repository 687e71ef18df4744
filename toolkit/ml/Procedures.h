// Procedures and linkage: PROC/ENDP with parameters, LOCAL, USES and the generated
// prologue and epilogue; PROTO and INVOKE; PUBLIC, EXTRN and EXTERNDEF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "InstructionWriter.h"
#include "PassContext.h"

namespace ml {

class Procedures {
public:
    Procedures(PassContext& ctx, InstructionWriter& insns) : ctx_(ctx), insns_(insns) {}

    void beginPass();
    // Whether the prologue of the open procedure is still to be written.
    bool prologuePending() const { return prologuePending_; }
    // Called before each statement but LOCAL: writes a pending prologue.
    void beforeStatement() {
        if (prologuePending_) writePendingPrologue();
    }

    void directiveProc(std::string_view name, Tokens rest);
    void directiveEndp(std::string_view name);
    void directiveProto(std::string_view name, Tokens rest);
    void directiveExtern(Tokens rest, bool externDef);
    void directivePublic(Tokens rest);
    void directiveLocal(Tokens rest);
    void directiveInvoke(Tokens rest);
    // RET inside a procedure with a frame: the epilogue; false for a plain RET.
    bool emitReturn(Tokens rest);

private:
    void writePendingPrologue();
    static bool isFrameless(const ProcInfo& info);
    void requireLanguageForParameters(const ProcInfo& info, std::string_view name);
    static bool sameParameters(const ProcInfo& a, const ProcInfo& b);
    void resumeEnclosingProc();
    bool parseParameters(Tokens rest, ProcInfo& info, bool isPrototype);
    void emitPrologue(const ProcInfo& info);
    // Pushes one INVOKE argument; the bytes pushed, or nothing after an error.
    std::optional<std::uint32_t> pushArgument(Tokens arg, const ProcParam* param, std::size_t number);
    bool pushConverted(const char* mnemonic, const x86::Operand& op, const std::string& text);
    std::optional<std::uint32_t> pushRegisterPair(Tokens arg, const ProcParam* param, std::size_t number);
    bool eaxOverwritten_ = false;  // an earlier argument of this INVOKE went through EAX

    PassContext& ctx_;
    InstructionWriter& insns_;
    std::vector<Symbol*> enclosingProcs_;  // procedures that the current one is nested in
    bool prologuePending_ = false;
    std::size_t procLine_ = 0;          // the PROC line: the prologue's debug line
    std::size_t prologueListedAt_ = 0;  // the PROC line or its last LOCAL: the listing shows the prologue there
};

}  // namespace ml
