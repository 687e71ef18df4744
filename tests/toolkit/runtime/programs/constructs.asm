; constructs.asm: a course program written with anonymous labels (also inside a
; macro), LOCAL after comment lines, a procedure nested in another one, a call to a
; procedure defined further down, and USES registers followed by parameters.
INCLUDE course.inc

.DATA
number  BYTE    11 DUP (?), 0ah, 0
count   DWORD   0

.CODE
; Prints a value as a decimal number on a line of its own.
print   MACRO   value
        ; the label is new on every call

        LOCAL   skip
        jmp     skip
skip:   dtoa    number, value
        output  number
        ENDM

; Adds 1 to EAX `times` times, through an anonymous loop.
addUp   MACRO   times
        mov     ecx, times
@@:     inc     eax
        loop    @B
        ENDM

; The sum of the numbers first .. last (stdcall).
Series  PROC    NEAR32 stdcall USES ebx ecx first:DWORD, last:DWORD
        mov     eax, 0
        mov     ebx, first
        mov     ecx, last
@@:     cmp     ebx, ecx
        jg      @F
        add     eax, ebx
        inc     ebx
        jmp     @B
@@:     ret
Series  ENDP

_start:
        call    Counter
        call    Counter
        print   count
        mov     eax, 0
        addUp   5
        addUp   7
        print   eax
        INVOKE  Series, 1, 10
        print   eax
        INVOKE  ExitProcess, 0

; Counts its calls; Bump, nested in it, is called from here as well.
Counter PROC    NEAR32
        call    Bump
        ret
Bump    PROC    NEAR32
        inc     count
        ret
Bump    ENDP
Counter ENDP
PUBLIC _start
END
