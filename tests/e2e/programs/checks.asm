; checks.asm: io.h's operand checks; lines 13 and 15 have too few and too many operands.
.386
.MODEL FLAT

INCLUDE io.h

.STACK  4096

.DATA
buffer  BYTE    12 DUP (?)

.CODE
_start: itoa    buffer
        nop
        output  buffer, 4
        dtoa    buffer, eax
PUBLIC _start
END
