; lines.asm: input with CR LF, a lone CR inside a line, a buffer of length 1, a
; last line without a line end, and reading at the end of the input.
INCLUDE course.inc

.DATA
open    BYTE    '[', 0
close   BYTE    ']', 0ah, 0
buffer  BYTE    10 DUP ('#')

.CODE
; Reads one line with the given length and prints it between brackets.
show    MACRO   length
        input   buffer, length
        output  open
        output  buffer
        output  close
        ENDM

_start:
        show    10                      ; "ab" CR LF
        show    10                      ; "cd" CR "x" LF
        show    1                       ; "skip" LF: only the NUL fits
        show    10                      ; "last" and the end of the input
        show    10                      ; nothing left
        INVOKE  ExitProcess, 0
PUBLIC _start
END
