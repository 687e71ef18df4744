; numbers.asm: reads lines until an empty one; for each prints atod's value, the
; flags OF SF ZF PF CF after atod, where ESI stopped, and atoi's value via itoa.
INCLUDE course.inc

.DATA
line    BYTE    12 DUP (?)
number  BYTE    11 DUP (?), ' '
flags   BYTE    11 DUP (?), ' '
stopped BYTE    11 DUP (?), ' '
short16 BYTE    6 DUP (?), '|', 0ah, 0

.CODE
_start:
nextLine:
        input   line, 12
        cmp     line, 0
        je      finished
        atoi    line
        mov     dx, ax
        atod    line
        pushfd
        pop     ecx
        and     ecx, 8C5h               ; OF SF ZF PF CF
        sub     esi, OFFSET line
        dtoa    number, eax
        dtoa    flags, ecx
        dtoa    stopped, esi
        itoa    short16, dx
        output  number
        jmp     nextLine
finished:
        INVOKE  ExitProcess, 0
PUBLIC _start
END
