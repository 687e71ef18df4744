; sum.asm: reads nothing, adds two numbers and prints the sum with the io.h macros.
.386
.MODEL FLAT

ExitProcess PROTO NEAR32 stdcall, dwExitCode:DWORD

INCLUDE io.h

cr      EQU     0dh
Lf      EQU     0ah

.STACK  4096

.DATA
number1 DWORD   25
number2 DWORD   -7
label1  BYTE    cr, Lf, "The sum is "
sum     BYTE    11 DUP (?)
        BYTE    cr, Lf, 0
table   WORD    3 DUP (1, 2)
ratio   REAL4   0.5

.CODE
_start:
        mov     eax, number1
        add     eax, number2
        dtoa    sum, eax
        output  label1
        .LISTMACROALL
        output  label1
        .NOLISTMACRO
        output  label1
        INVOKE  ExitProcess, 0
PUBLIC _start
END
