; ptrregister.asm: a PTR of the register's own size changes nothing (another size
; is refused: ptrregistersize.asm).
.386
.MODEL FLAT

.CODE
        cmp     DWORD PTR ecx, 1
        cmp     ecx, 1
        push    WORD PTR si
        push    si
        mov     [edi], WORD PTR dx
        mov     [edi], dx
        mov     BYTE PTR al, BYTE PTR ah
        mov     al, ah
        END
