; 过程、宏与条件汇编（课程示例程序，用来检查整篇的语法着色）
.386
.MODEL FLAT
INCLUDE io.h

MAXLEN  EQU     80
newline TEXTEQU <0dh, 0ah>

; 宏：把一个双字放进栈里再弹出到寄存器
reload  MACRO   target:REQ, value:=<0>
        LOCAL   skip
        push    DWORD PTR value
        pop     target
skip:
        ENDM

.STACK  4096

.DATA
count   DWORD   10
mask    WORD    0FFF0h, 1010b, 17o
table   BYTE    'A', 'b', "字符串", 0
buffer  BYTE    MAXLEN DUP (?)
scale   REAL8   1.5E3
crlf    BYTE    newline, 0

.CODE
; 过程：EAX 的绝对值
Absolute PROC NEAR32 USES ebx, value:DWORD
        mov     eax, value
        cmp     eax, 0
        jge     done
        neg     eax
done:   ret
Absolute ENDP

_start:
IF MAXLEN GT 40
        reload  ecx, count
ELSE
        mov     ecx, 1
ENDIF
again:  push    ecx
        call    Absolute
        mov     ax, WORD PTR mask[2]
        movzx   edx, BYTE PTR table + 1
        lea     esi, buffer
        rep movsb
        loop    again

        fld     scale           ; 浮点：x87
        fsqrt
        fstp    QWORD PTR scale
        movq    mm0, mm1        ; MMX 与 3DNow!
        pf2iw   mm0, mm1
        emms

        output  crlf
        INVOKE  ExitProcess, 0
PUBLIC _start
END
