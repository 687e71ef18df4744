; encodings.asm: word-sized pushes that a RET n removes, a REAL4 pushed with PUSHD,
; PTR-typed immediates and registers, and Pentium Pro instructions under .686.
.686
.MODEL FLAT

ExitProcess PROTO NEAR32 stdcall, dwExitCode:DWORD

INCLUDE io.h

.STACK  4096

.DATA
count   WORD    4
value   REAL4   2.75
cell    WORD    ?
flag    BYTE    ?
number  DWORD   ?
result  BYTE    11 DUP (?), 0dh, 0ah, 0

.CODE
; addWords(a, b): EAX = a + b for two word parameters; RET 4 removes both.
addWords PROC   NEAR32
        push    ebp
        mov     ebp, esp
        movzx   eax, WORD PTR [ebp+8]   ; b, pushed last
        movzx   ecx, WORD PTR [ebp+10]  ; a
        add     eax, ecx
        pop     ebp
        ret     4
addWords ENDP

_start:
        mov     ebx, esp
        pushw   count                   ; a = 4
        push    WORD PTR 38             ; b = 38, two bytes
        call    addWords
        sub     ebx, esp                ; 0 when the stack is as before
        add     eax, ebx
        dtoa    result, eax
        output  result                  ; 42

        pushd   value                   ; the REAL4's bits on the stack
        fld     REAL4 PTR [esp]
        add     esp, 4
        fisttp  number                  ; truncates: 2
        dtoa    result, number
        output  result

        lea     edi, cell
        mov     [edi], WORD PTR 1234    ; the immediate's type sizes the memory
        lea     esi, flag
        mov     [esi], BYTE PTR 7
        movzx   eax, cell
        movzx   ecx, flag
        add     eax, ecx
        dtoa    result, eax
        output  result                  ; 1241

        mov     ecx, 5
        xor     eax, eax
        cmp     DWORD PTR ecx, 3
        cmova   eax, ecx                ; 5
        push    WORD PTR si
        pop     si
        dtoa    result, eax
        output  result

        INVOKE  ExitProcess, 0
PUBLIC _start
END
