; The frame tracker counts esp changes modulo 2^32: any constant may be added.
.386
.MODEL FLAT
.CODE
wrap PROC
        sub     esp, 7FFFFFFCh
        push    eax
        push    ebp
        mov     ebp, esp
        enter   0FFFFFFFFh, 0
        add     esp, -80000000h
        pop     ebp
        leave
        ret
wrap ENDP
END
