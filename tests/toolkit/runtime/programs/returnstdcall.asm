; returnstdcall.asm: under .MODEL FLAT, stdcall the entry procedure's link name is
; decorated (__main@0); END names it, io.h's procedures still link, and the
; entry returns its status.
.386
.MODEL FLAT, stdcall

INCLUDE io.h

.STACK  4096

.DATA
text    BYTE    'stdcall main returns 2', 0dh, 0ah, 0

.CODE
_main   PROC
        output  text
        mov     eax, 2
        ret
_main   ENDP

END     _main
