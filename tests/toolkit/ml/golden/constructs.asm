; constructs.asm: anonymous labels, LOCAL after comment lines, frameless procedures
; nested in each other, USES registers followed by parameters without a comma.
.386
.MODEL FLAT, stdcall

countdown MACRO reg
        ; each call gets labels of its own

        LOCAL   done
        ;; a private comment, not kept in the expansion
@@:     dec     reg
        jz      done
        jmp     @B
done:
        ENDM

.DATA
total   DWORD   0

.CODE
Sum2    PROC    USES ebx esi first:DWORD, second:DWORD
        mov     ebx, first
        mov     esi, second
        lea     eax, [ebx+esi]
        ret
Sum2    ENDP

Outer   PROC
        mov     ecx, 3
@@:     call    Helper
        loop    @B
        jmp     @F
Helper  PROC
        inc     total
        ret
Helper  ENDP
@@:     countdown eax
        countdown edx
        call    Later
        ret
Outer   ENDP

Later   PROC
        INVOKE  Sum2, 1, 2
        ret
Later   ENDP
END
