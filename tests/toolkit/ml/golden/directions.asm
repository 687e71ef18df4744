; directions.asm: between two registers MOV ADD OR ADC SBB AND SUB XOR CMP use the
; "reg, r/m" opcode, as MASM does; with memory the direction follows the operands.
.386
.MODEL FLAT

.DATA
var     DWORD   0

.CODE
        mov     eax, ebx
        mov     ebp, esp
        mov     al, bl
        mov     cx, dx
        add     eax, ebx
        or      ecx, edx
        adc     esi, edi
        sbb     bl, bh
        and     ax, bx
        sub     esp, ebp
        xor     eax, eax
        cmp     edi, esi
        mov     var, eax
        mov     eax, var
        add     var, ecx
        END
