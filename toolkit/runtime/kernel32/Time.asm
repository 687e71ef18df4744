; Time.asm: kernel32 Sleep and GetTickCount on the Linux nanosleep and
; clock_gettime system calls.

.386
.MODEL FLAT

PUBLIC  _Sleep@4, _GetTickCount@0

sysNanosleep    EQU     162
sysClockGettime EQU     265
clockMonotonic  EQU     1
errInterrupted  EQU     -4

.CODE

; Sleep(milliseconds): waits that long; an interrupted wait goes on with the rest.
_Sleep@4        PROC    NEAR32
        push    ebx
        push    ecx
        sub     esp, 16                 ; [esp] the wait, [esp+8] the time left
        mov     eax, [esp+28]           ; milliseconds
        xor     edx, edx
        mov     ecx, 1000
        div     ecx                     ; EAX = seconds, EDX = milliseconds
        mov     [esp], eax
        imul    edx, edx, 1000000
        mov     [esp+4], edx            ; nanoseconds
slAgain:
        mov     eax, sysNanosleep
        mov     ebx, esp
        lea     ecx, [esp+8]
        int     80h
        cmp     eax, errInterrupted
        jne     slDone
        mov     eax, [esp+8]            ; wait again for the time left
        mov     [esp], eax
        mov     eax, [esp+12]
        mov     [esp+4], eax
        jmp     slAgain
slDone:
        add     esp, 16
        pop     ecx
        pop     ebx
        ret     4
_Sleep@4        ENDP

; GetTickCount(): EAX = milliseconds since the system started (wraps after 49.7 days).
_GetTickCount@0 PROC    NEAR32
        push    ebx
        push    ecx
        push    edx
        sub     esp, 8                  ; seconds, nanoseconds
        mov     eax, sysClockGettime
        mov     ebx, clockMonotonic
        mov     ecx, esp
        int     80h
        mov     eax, [esp+4]
        xor     edx, edx
        mov     ecx, 1000000
        div     ecx                     ; EAX = milliseconds of the second
        mov     ecx, eax
        imul    eax, DWORD PTR [esp], 1000
        add     eax, ecx
        add     esp, 8
        pop     edx
        pop     ecx
        pop     ebx
        ret
_GetTickCount@0 ENDP

END
