; ExitProcess.asm: kernel32 ExitProcess on the Linux exit_group system call.

.386
.MODEL FLAT

PUBLIC  _ExitProcess@4

sysExitGroup    EQU     252

.CODE

; ExitProcess(exitCode): ends the program; the low 8 bits are its exit status.
_ExitProcess@4  PROC    NEAR32
        mov     ebx, [esp+4]
        mov     eax, sysExitGroup
        int     80h
        hlt                             ; not reached
_ExitProcess@4  ENDP

END
