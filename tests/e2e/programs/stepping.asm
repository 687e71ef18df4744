; stepping.asm: a data label and a few instructions for the debugger.
.386
.MODEL FLAT

ExitProcess PROTO NEAR32 stdcall, dwExitCode:DWORD

.STACK  4096

.DATA
count   DWORD   1234

.CODE
_start: mov     eax, count
        add     eax, 1
        mov     count, eax
        INVOKE  ExitProcess, 0
PUBLIC _start
END
