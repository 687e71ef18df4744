; returnmain.asm: an entry procedure that ends with RET, named by END and linked
; without /entry: the program ends with EAX as its exit status.
.386
.MODEL FLAT

INCLUDE io.h

.STACK  4096

.DATA
text    BYTE    'main returns 7', 0dh, 0ah, 0

.CODE
_main   PROC    NEAR32
        output  text
        mov     eax, 7
        ret
_main   ENDP

END     _main
