; errors.asm: one mistake per line, outside and inside macros.
.386
.MODEL FLAT
INCLUDE io.h

twice   MACRO   reg
        add     reg, reg
        mov     wrong, reg
        ENDM

.DATA
value   DWORD   1
small   BYTE    2
value   DWORD   3
big     BYTE    300

.CODE
_start: mov     eax, nothere
        mov     ax, value
        mov     small, eax
        inc     [ebx]
        jmp     SHORT far_away
        twice   eax
        output
        dtoa    small, eax, 3
        mov     eax, 1 +
        push    'abcde'
        EXTRN   elsewhere:NEAR32
        add     eax, OFFSET value + OFFSET small
        REPT 130
        nop
        ENDM
far_away:
        ret
END
