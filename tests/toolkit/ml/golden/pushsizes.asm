; pushsizes.asm: PUSHW and PUSHD with registers, memory and immediates, and PUSH
; with a WORD-typed immediate, which pushes two bytes.
.386
.MODEL FLAT

.DATA
count   WORD    4
total   DWORD   9
value   REAL4   1.5

.CODE
Pair    PROC
        push    ebp
        mov     ebp, esp
        pushw   count               ; 66 FF 35 disp32
        pushw   cx                  ; 66 51
        pushd   total               ; FF 35 disp32
        pushd   edx                 ; 52
        pushw   [ebp+6]             ; the size comes from PUSHW
        pushd   [ebp+8]
        push    WORD PTR 0          ; 66 6A 00
        push    WORD PTR 1000
        push    DWORD PTR 0
        pushw   7
        pushd   value               ; a REAL4 is pushed as a doubleword
        push    value
        add     esp, 2+2+4+4+2+4+2+2+4+2+4+4
        pop     ebp
        ret     8
Pair    ENDP
        END
