; Beep.asm: kernel32 Beep. A terminal has no tone generator: the bell character
; goes to the standard error (so a redirected output stays clean), then the call
; waits the duration, as the sound would have lasted.

.386
.MODEL FLAT

PUBLIC  _Beep@8

EXTRN   _Sleep@4:NEAR32

sysWrite        EQU     4
stdErrorFd      EQU     2

.DATA
bell    BYTE    7

.CODE

; Beep(frequency, milliseconds): EAX = 1 (TRUE); the frequency is not heard.
_Beep@8         PROC    NEAR32
        push    ebx
        push    ecx
        push    edx
        mov     eax, sysWrite
        mov     ebx, stdErrorFd
        mov     ecx, OFFSET bell
        mov     edx, 1
        int     80h                     ; a failed bell is no failure of the call
        push    DWORD PTR [esp+20]      ; milliseconds
        call    _Sleep@4
        mov     eax, 1
        pop     edx
        pop     ecx
        pop     ebx
        ret     8
_Beep@8         ENDP

END
