; kernel32.asm: the kernel32 calls of Kernel32.Lib on the standard handles:
; handles, writing, a console line ending in CR LF, raw reading, the last-error
; code of a bad handle, and Sleep against GetTickCount.
.386
.MODEL FLAT

ExitProcess     PROTO NEAR32 stdcall, dwExitCode:DWORD
GetStdHandle    PROTO NEAR32 stdcall, nStdHandle:DWORD
WriteFile       PROTO NEAR32 stdcall, hFile:DWORD, lpBuffer:NEAR32, nNumberOfBytesToWrite:DWORD,
                                      lpNumberOfBytesWritten:NEAR32, lpOverlapped:NEAR32
ReadFile        PROTO NEAR32 stdcall, hFile:DWORD, lpBuffer:NEAR32, nNumberOfBytesToRead:DWORD,
                                      lpNumberOfBytesRead:NEAR32, lpOverlapped:NEAR32
ReadConsoleA    PROTO NEAR32 stdcall, hConsoleInput:DWORD, lpBuffer:NEAR32, nNumberOfCharsToRead:DWORD,
                                      lpNumberOfCharsRead:NEAR32, lpReserved:NEAR32
WriteConsoleA   PROTO NEAR32 stdcall, hConsoleOutput:DWORD, lpBuffer:NEAR32, nNumberOfCharsToWrite:DWORD,
                                      lpNumberOfCharsWritten:NEAR32, lpReserved:NEAR32
GetLastError    PROTO NEAR32 stdcall
Sleep           PROTO NEAR32 stdcall, dwMilliseconds:DWORD
GetTickCount    PROTO NEAR32 stdcall

INCLUDE io.h

.STACK  4096

.DATA
hello   BYTE    'hello', 0ah
inHandle  DWORD ?
outHandle DWORD ?
count   DWORD   ?
started DWORD   ?
buffer  BYTE    16 DUP (0)
number  BYTE    11 DUP (?), 0ah, 0

.CODE
; Prints a number on its own line.
show    MACRO   value
        dtoa    number, value
        output  number
        ENDM

_start:
        INVOKE  GetStdHandle, -10
        mov     inHandle, eax
        show    eax                     ; 3
        INVOKE  GetStdHandle, -11
        mov     outHandle, eax
        show    eax                     ; 7
        INVOKE  WriteFile, outHandle, ADDR hello, 6, ADDR count, 0
        show    count                   ; 6
        INVOKE  WriteConsoleA, outHandle, ADDR hello, 3, ADDR count, 0
        show    count                   ; "hel" then 3
        INVOKE  ReadConsoleA, inHandle, ADDR buffer, 16, ADDR count, 0
        show    count                   ; "abc" LF becomes "abc" CR LF: 5
        movzx   eax, buffer+3
        show    eax                     ; 13
        INVOKE  ReadFile, inHandle, ADDR buffer, 16, ADDR count, 0
        show    count                   ; "xy" LF stays 3
        INVOKE  WriteFile, 123, ADDR hello, 6, ADDR count, 0
        show    eax                     ; 0: failed
        INVOKE  GetLastError
        show    eax                     ; 6: ERROR_INVALID_HANDLE
        INVOKE  GetStdHandle, 5
        show    eax                     ; -1
        INVOKE  GetTickCount
        mov     started, eax
        INVOKE  Sleep, 120
        INVOKE  GetTickCount
        sub     eax, started
        cmp     eax, 120
        setae   al
        movzx   eax, al
        show    eax                     ; 1: at least 120 ms passed
        INVOKE  ExitProcess, 3
PUBLIC _start
END
