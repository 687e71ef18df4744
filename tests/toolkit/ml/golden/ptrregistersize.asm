; ptrregistersize.asm: a PTR of another size than the register's is refused (A2032)
; and the line is left out; the lines around it are kept.
.386
.MODEL FLAT

.CODE
        push    BYTE PTR si
        mov     DWORD PTR ax, 1
        inc     WORD PTR eax
        mov     QWORD PTR eax, 1
        push    WORD PTR ds
        inc     eax
        END
