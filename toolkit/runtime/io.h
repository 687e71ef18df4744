.NOLIST                 ; nothing of this header shows in the program's listing
; io.h: the course's input/output macros (itoa, dtoa, atoi, atod, output, input)
; over the procedures of IO.ASM (io.obj). Each macro checks its operands and keeps
; the registers its description names unchanged.
;   itoa   dest, source   16-bit source -> 6 characters, right-justified, no NUL
;   dtoa   dest, source   32-bit source -> 11 characters, right-justified, no NUL
;   atoi   source         text -> AX; ESI at the character that ended the scan
;   atod   source         text -> EAX; ESI likewise
;   output source         writes the text up to its NUL to standard output
;   input  dest, length   reads one line, at most length-1 characters and a NUL
;   szlen  source         EAX = the length of the text up to its NUL
; atoi and atod set OF=1 (result 0) when there are no digits or the value overflows.

.NOLISTMACRO

IFNDEF asmoraIoHeader
asmoraIoHeader  EQU     1

; SYSCALL keeps the names undecorated under any .MODEL language (a program with
; .MODEL FLAT, stdcall would otherwise look for _itoaproc).
EXTRN   SYSCALL itoaproc:NEAR32, SYSCALL atoiproc:NEAR32
EXTRN   SYSCALL dtoaproc:NEAR32, SYSCALL atodproc:NEAR32
EXTRN   SYSCALL inproc:NEAR32, SYSCALL outproc:NEAR32, SYSCALL szlenproc:NEAR32

; itoaproc takes (source word, destination address) and pops 6 bytes.
itoa    MACRO   dest, source, tooMany
        IFB     <source>
        .ERR    <missing operand(s) in ITOA>
        ELSEIFNB <tooMany>
        .ERR    <extra operand(s) in ITOA>
        ELSE
        push    ebx                     ; save EBX
        mov     bx, source              ; source, read with the caller's registers
        push    bx                      ; source parameter
        mov     ebx, [esp+2]            ; the caller's EBX again
        push    ebx                     ; room for the address parameter
        lea     ebx, dest               ; destination, with the caller's EBX
        xchg    ebx, [esp]              ; address parameter; EBX restored
        call    itoaproc
        pop     ebx                     ; restore EBX
        ENDIF
        ENDM

; dtoaproc takes (source dword, destination address) and pops 8 bytes.
dtoa    MACRO   dest, source, tooMany
        IFB     <source>
        .ERR    <missing operand(s) in DTOA>
        ELSEIFNB <tooMany>
        .ERR    <extra operand(s) in DTOA>
        ELSE
        push    ebx                     ; save EBX
        mov     ebx, source             ; source, read with the caller's registers
        xchg    ebx, [esp]              ; source parameter; EBX restored
        push    ebx                     ; room for the address parameter
        lea     ebx, dest               ; destination, with the caller's EBX
        xchg    ebx, [esp]              ; address parameter; EBX restored
        call    dtoaproc
        ENDIF
        ENDM

; atoiproc takes (text address), pops 4 bytes, returns AX and ESI.
atoi    MACRO   source, tooMany
        IFB     <source>
        .ERR    <missing operand in ATOI>
        ELSEIFNB <tooMany>
        .ERR    <extra operand(s) in ATOI>
        ELSE
        push    ebx                     ; room for the address parameter
        lea     ebx, source
        xchg    ebx, [esp]              ; address parameter; EBX restored
        call    atoiproc
        ENDIF
        ENDM

; atodproc takes (text address), pops 4 bytes, returns EAX and ESI.
atod    MACRO   source, tooMany
        IFB     <source>
        .ERR    <missing operand in ATOD>
        ELSEIFNB <tooMany>
        .ERR    <extra operand(s) in ATOD>
        ELSE
        lea     eax, source             ; address parameter
        push    eax
        call    atodproc
        ENDIF
        ENDM

; outproc takes (text address) and pops 4 bytes.
output  MACRO   source, tooMany
        IFB     <source>
        .ERR    <missing operand in OUTPUT>
        ELSEIFNB <tooMany>
        .ERR    <extra operand(s) in OUTPUT>
        ELSE
        push    ebx                     ; room for the address parameter
        lea     ebx, source
        xchg    ebx, [esp]              ; address parameter; EBX restored
        call    outproc
        ENDIF
        ENDM

; inproc takes (destination address, length) and pops 8 bytes.
input   MACRO   dest, length, tooMany
        IFB     <length>
        .ERR    <missing operand(s) in INPUT>
        ELSEIFNB <tooMany>
        .ERR    <extra operand(s) in INPUT>
        ELSE
        push    ebx                     ; room for the address parameter
        lea     ebx, dest
        xchg    ebx, [esp]              ; address parameter; EBX restored
        push    length                  ; length parameter
        call    inproc
        ENDIF
        ENDM

; szlenproc takes (text address), pops 4 bytes, returns EAX.
szlen   MACRO   source, tooMany
        IFB     <source>
        .ERR    <missing operand in SZLEN>
        ELSEIFNB <tooMany>
        .ERR    <extra operand(s) in SZLEN>
        ELSE
        push    ebx                     ; room for the address parameter
        lea     ebx, source
        xchg    ebx, [esp]              ; address parameter; EBX restored
        call    szlenproc
        ENDIF
        ENDM

ENDIF

.LIST
