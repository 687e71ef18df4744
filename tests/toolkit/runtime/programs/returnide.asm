; returnide.asm: the IDE's template ending with RET instead of ExitProcess,
; linked with /entry:start as the IDE links: the status is EAX.
.386
.MODEL FLAT

INCLUDE io.h

.STACK  4096

.DATA
text    BYTE    'the template returns 0', 0dh, 0ah, 0

.CODE
_start:
        output  text
        xor     eax, eax
        ret
PUBLIC _start

END
