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

; Pushes the address of `operand` as a parameter; every register keeps its value
; (EBX lends itself to the LEA, so the address is taken with the caller's EBX).
asmoraIoPushAddress MACRO operand
        push    ebx                     ; room for the address parameter
        lea     ebx, operand
        xchg    ebx, [esp]              ; address parameter; EBX restored
        ENDM

; Defines the course macro `name` with the operands `operands`: when `last` (the
; last operand) is blank or more operands follow, it stops the assembly with an
; error that names it as `shown` ("operand(s)" when `plural` is "(s)"); otherwise
; it expands `body` with the operands.
asmoraIoMacro MACRO name, shown, operands, last, plural, body
name    MACRO   operands, tooMany
        IFB     <last>
        .ERR    <missing operand&plural in shown>
        ELSEIFNB <tooMany>
        .ERR    <extra operand(s) in shown>
        ELSE
        body    operands
        ENDIF
        ENDM
        ENDM

; itoaproc takes (source word, destination address) and pops 6 bytes.
asmoraIoItoa MACRO dest, source
        push    ebx                     ; save EBX
        mov     bx, source              ; source, read with the caller's registers
        push    bx                      ; source parameter
        mov     ebx, [esp+2]            ; the caller's EBX again
        asmoraIoPushAddress dest        ; destination, with the caller's EBX
        call    itoaproc
        pop     ebx                     ; restore EBX
        ENDM

; dtoaproc takes (source dword, destination address) and pops 8 bytes.
asmoraIoDtoa MACRO dest, source
        push    ebx                     ; save EBX
        mov     ebx, source             ; source, read with the caller's registers
        xchg    ebx, [esp]              ; source parameter; EBX restored
        asmoraIoPushAddress dest        ; destination, with the caller's EBX
        call    dtoaproc
        ENDM

; atoiproc takes (text address), pops 4 bytes, returns AX and ESI.
asmoraIoAtoi MACRO source
        asmoraIoPushAddress source
        call    atoiproc
        ENDM

; atodproc takes (text address), pops 4 bytes, returns EAX and ESI.
asmoraIoAtod MACRO source
        lea     eax, source             ; address parameter
        push    eax
        call    atodproc
        ENDM

; outproc takes (text address) and pops 4 bytes.
asmoraIoOutput MACRO source
        asmoraIoPushAddress source
        call    outproc
        ENDM

; inproc takes (destination address, length) and pops 8 bytes.
asmoraIoInput MACRO dest, length
        asmoraIoPushAddress dest
        push    length                  ; length parameter
        call    inproc
        ENDM

; szlenproc takes (text address), pops 4 bytes, returns EAX.
asmoraIoSzlen MACRO source
        asmoraIoPushAddress source
        call    szlenproc
        ENDM

;               name    shown   operands        last    plural  body
asmoraIoMacro   itoa,   ITOA,   <dest, source>, source, <(s)>,  asmoraIoItoa
asmoraIoMacro   dtoa,   DTOA,   <dest, source>, source, <(s)>,  asmoraIoDtoa
asmoraIoMacro   atoi,   ATOI,   source,         source, <>,     asmoraIoAtoi
asmoraIoMacro   atod,   ATOD,   source,         source, <>,     asmoraIoAtod
asmoraIoMacro   output, OUTPUT, source,         source, <>,     asmoraIoOutput
asmoraIoMacro   input,  INPUT,  <dest, length>, length, <(s)>,  asmoraIoInput
asmoraIoMacro   szlen,  SZLEN,  source,         source, <>,     asmoraIoSzlen

ENDIF

.LIST
