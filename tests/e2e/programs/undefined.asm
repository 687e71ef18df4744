; undefined.asm: calls a procedure that nothing defines.
.386
.MODEL FLAT

EXTRN   NotThere:NEAR32

.STACK  4096

.CODE
_start: call    NotThere
PUBLIC _start
END
