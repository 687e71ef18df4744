; Startup.asm: where a program starts. The link driver makes asmoraStartup the
; ELF entry and defines asmoraEntry as the program's own entry. The kernel starts
; a program with argc on top of the stack, not a return address; calling the
; entry gives it one, so an entry that ends with RET ends the program with EAX as
; its exit status, as it does on Windows.

.386
.MODEL FLAT

PUBLIC  asmoraStartup

EXTRN   asmoraEntry:NEAR32
EXTRN   _ExitProcess@4:NEAR32

.CODE

asmoraStartup   PROC    NEAR32
        call    asmoraEntry
        push    eax
        call    _ExitProcess@4
asmoraStartup   ENDP

END
