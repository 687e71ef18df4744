; sounds.asm: Beep rings the bell on the standard error and lasts its duration
; (measured with GetTickCount), lstrlenA and the szlen macro measure texts.
.386
.MODEL FLAT

ExitProcess     PROTO NEAR32 stdcall, dwExitCode:DWORD
Beep            PROTO NEAR32 stdcall, dwFreq:DWORD, dwDuration:DWORD
GetTickCount    PROTO NEAR32 stdcall
lstrlenA        PROTO NEAR32 stdcall, lpString:NEAR32

INCLUDE io.h

.STACK  4096

.DATA
started DWORD   ?
empty   BYTE    0
word5   BYTE    'hello', 0
number  BYTE    11 DUP (?), 0ah, 0

.CODE
show    MACRO   value
        dtoa    number, value
        output  number
        ENDM

_start:
        INVOKE  GetTickCount
        mov     started, eax
        INVOKE  Beep, 440, 150
        show    eax                     ; 1 after the bell
        INVOKE  GetTickCount
        sub     eax, started
        cmp     eax, 150
        setae   al
        movzx   eax, al
        show    eax                     ; 1: the beep lasted its duration
        INVOKE  lstrlenA, ADDR word5
        show    eax                     ; 5
        INVOKE  lstrlenA, 0
        show    eax                     ; 0
        mov     ebx, 1234
        szlen   word5
        show    eax                     ; 5
        show    ebx                     ; 1234: kept
        szlen   empty
        show    eax                     ; 0
        lea     ebx, word5
        szlen   [ebx+2]
        show    eax                     ; 3: through a register
        INVOKE  ExitProcess, 0
PUBLIC _start

END
