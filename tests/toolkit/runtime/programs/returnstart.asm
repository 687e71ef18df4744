; returnstart.asm: a code label without an underscore as the entry that END
; names, ending with RET after a call of its own.
.386
.MODEL FLAT

INCLUDE io.h

.STACK  4096

.DATA
text    BYTE    'start returns 5', 0dh, 0ah, 0

.CODE
show    PROC    NEAR32
        output  text
        ret
show    ENDP

start:
        call    show
        mov     eax, 5
        ret

END     start
