; Strings.asm: kernel32 lstrlenA, the length of a NUL-terminated string.

.386
.MODEL FLAT

PUBLIC  _lstrlenA@4

.CODE

; lstrlenA(text): EAX = the bytes before the NUL; 0 for a null pointer.
_lstrlenA@4     PROC    NEAR32
        push    edi
        push    ecx
        mov     edi, [esp+12]
        xor     eax, eax
        test    edi, edi
        jz      slDone
        mov     ecx, -1
        cld
        repne   scasb
        not     ecx
        dec     ecx
        mov     eax, ecx
slDone:
        pop     ecx
        pop     edi
        ret     4
_lstrlenA@4     ENDP

END
