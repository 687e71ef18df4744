; procedures.asm: a procedure taking stack parameters, string instructions and
; x87 arithmetic, each result printed on its own line.
INCLUDE course.inc

.DATA
source  BYTE    "assembly", 0
copy    BYTE    20 DUP (0)
newline BYTE    0dh, 0ah, 0
result  BYTE    11 DUP (?), 0dh, 0ah, 0
radius  DWORD   10
scale   REAL4   3.5
area    DWORD   ?

.CODE
; power(base, exponent): EAX = base ** exponent; the parameters are removed by RET.
power   PROC    NEAR32
        push    ebp
        mov     ebp, esp
        push    ecx
        mov     eax, 1
        mov     ecx, [ebp+12]           ; exponent
        jecxz   powerDone
powerLoop:
        imul    eax, [ebp+8]            ; base
        loop    powerLoop
powerDone:
        pop     ecx
        pop     ebp
        ret     8
power   ENDP

_start:
        push    10                      ; exponent
        push    3                       ; base
        call    power
        dtoa    result, eax
        output  result                  ; 59049

        cld
        lea     esi, source
        lea     edi, copy
        mov     ecx, 9
        rep     movsb                   ; copy "assembly" and its NUL
        output  copy
        output  newline

        lea     edi, source
        mov     al, 'b'
        mov     ecx, 8
        repne   scasb                   ; find "b"
        lea     eax, source
        sub     edi, eax                ; position after it: 6
        dtoa    result, edi
        output  result

        finit
        fild    radius
        fimul   radius                  ; r * r
        fmul    scale                   ; * 3.5
        fistp   area                    ; 350
        dtoa    result, area
        output  result

        INVOKE  ExitProcess, 0
PUBLIC _start
END
