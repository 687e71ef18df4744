; typedimmediate.asm: the PTR type of an immediate gives the size of a memory
; destination that has none.
.386
.MODEL FLAT

.CODE
        mov     [edi], BYTE PTR 0
        mov     [edi], WORD PTR 0
        mov     [edi], DWORD PTR 0
        cmp     [esi], WORD PTR 7
        cmp     [esi], BYTE PTR 7
        add     [ebx+4], DWORD PTR 1000
        test    [ebx], BYTE PTR 1
        and     [ebx], WORD PTR 0FFF0h
        mov     al, BYTE PTR 5
        mov     eax, DWORD PTR 12345678h
        END
