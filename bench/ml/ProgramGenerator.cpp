// The benchmark program generator. One "block" is a procedure of 20 lines; a tenth
// of the lines are data definitions.
#include "ProgramGenerator.h"

namespace mlbench {

namespace {

struct Writer {
    Syntax syntax;
    std::string out;

    void line(const std::string& masm, const std::string& nasm, const std::string& gas) {
        out += syntax == Syntax::Masm ? masm : syntax == Syntax::Nasm ? nasm : gas;
        out += '\n';
    }
};

}  // namespace

std::string generateProgram(Syntax syntax, std::size_t lines) {
    Writer w{syntax, {}};
    const std::size_t dataLines = lines / 10;
    const std::size_t blocks = (lines - dataLines) / 20;
    w.line(".386\n.MODEL FLAT\n.DATA", "bits 32\nsection .data", ".data");
    for (std::size_t i = 0; i < dataLines; ++i) {
        std::string n = std::to_string(i);
        std::string v = std::to_string(i * 7 % 1000);
        w.line("v" + n + " DWORD " + v, "v" + n + ": dd " + v, "v" + n + ": .long " + v);
    }
    w.line(".CODE", "section .text", ".text");
    for (std::size_t b = 0; b < blocks; ++b) {
        std::string n = std::to_string(b);
        std::string v = "v";  // appended rather than "v" + ..., which trips GCC 12's -Wrestrict at -O3
        v += std::to_string(b % (dataLines ? dataLines : 1));
        std::string callee = "p" + std::to_string(b ? b - 1 : 0);
        w.line("p" + n + " PROC", "p" + n + ":", "p" + n + ":");
        w.line("  push ebp", "  push ebp", "  pushl %ebp");
        w.line("  mov ebp, esp", "  mov ebp, esp", "  movl %esp, %ebp");
        w.line("  mov eax, [ebp+8]", "  mov eax, [ebp+8]", "  movl 8(%ebp), %eax");
        w.line("  mov ecx, 10", "  mov ecx, 10", "  movl $10, %ecx");
        w.line("L" + n + "top:", "L" + n + "top:", "L" + n + "top:");
        w.line("  add eax, " + v, "  add eax, [" + v + "]", "  addl " + v + ", %eax");
        w.line("  sub eax, 3", "  sub eax, 3", "  subl $3, %eax");
        w.line("  imul eax, ecx", "  imul eax, ecx", "  imull %ecx, %eax");
        w.line("  cmp eax, 1000", "  cmp eax, 1000", "  cmpl $1000, %eax");
        w.line("  jle L" + n + "skip", "  jle L" + n + "skip", "  jle L" + n + "skip");
        w.line("  call " + callee, "  call " + callee, "  call " + callee);
        w.line("L" + n + "skip:", "L" + n + "skip:", "L" + n + "skip:");
        w.line("  dec ecx", "  dec ecx", "  decl %ecx");
        w.line("  jnz L" + n + "top", "  jnz L" + n + "top", "  jnz L" + n + "top");
        w.line("  mov " + v + ", eax", "  mov [" + v + "], eax", "  movl %eax, " + v);
        w.line("  lea esi, [ebx+esi*4+16]", "  lea esi, [ebx+esi*4+16]", "  leal 16(%ebx,%esi,4), %esi");
        w.line("  and eax, 0FFh", "  and eax, 0FFh", "  andl $0xFF, %eax");
        w.line("  pop ebp", "  pop ebp", "  popl %ebp");
        w.line("  ret", "  ret", "  ret");
        w.line("p" + n + " ENDP", "", "");
    }
    w.line("END", "", "");
    return w.out;
}

}  // namespace mlbench
