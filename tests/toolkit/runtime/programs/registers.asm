; registers.asm: every io.h macro keeps the registers and flags its description
; names; destinations given through EBX and as name+offset land where they should.
INCLUDE course.inc

.DATA
savedFlags DWORD ?
text    BYTE    '123', 0
field   BYTE    '[', 11 DUP ('.'), ']', 0ah, 0
buffer  BYTE    '<', 6 DUP ('.'), '>', 0ah, 0
empty   BYTE    0
good    BYTE    'ok ', 0
bad     BYTE    'CHANGED ', 0
names   BYTE    'itoa', 0ah, 0, 'dtoa', 0ah, 0, 'output', 0ah, 0, 'atoi', 0ah, 0, 'atod', 0ah, 0

.CODE
; Known values in every register and OF SF ZF AF PF CF set.
setAll  MACRO
        mov     eax, 0A1A2A3A4h
        mov     ebx, 0B1B2B3B4h
        mov     ecx, 0C1C2C3C4h
        mov     edx, 0D1D2D3D4h
        mov     esi, 51525354h
        mov     edi, 71727374h
        mov     ebp, 61626364h
        push    8D5h
        popfd
        ENDM

; Jumps to changed when a register no longer holds its known value.
keptCommon MACRO changed
        pushfd
        pop     savedFlags
        cmp     ebx, 0B1B2B3B4h
        jne     changed
        cmp     ecx, 0C1C2C3C4h
        jne     changed
        cmp     edx, 0D1D2D3D4h
        jne     changed
        cmp     edi, 71727374h
        jne     changed
        cmp     ebp, 61626364h
        jne     changed
        ENDM

; The above, and EAX, ESI and the flags too.
keptAll MACRO   changed
        keptCommon changed
        cmp     eax, 0A1A2A3A4h
        jne     changed
        cmp     esi, 51525354h
        jne     changed
        mov     eax, savedFlags
        and     eax, 8D5h
        cmp     eax, 8D5h
        jne     changed
        ENDM

report  MACRO   which, changed, next
        output  good
        jmp     next
changed:
        output  bad
next:
        output  which
        ENDM

_start:
        setAll
        itoa    buffer+1, cx
        keptAll itoaChanged
        report  names, itoaChanged, itoaNext

        setAll
        dtoa    field+1, edx
        keptAll dtoaChanged
        report  names+6, dtoaChanged, dtoaNext

        setAll
        output  empty
        keptAll outputChanged
        report  names+12, outputChanged, outputNext

        setAll
        atoi    text
        keptCommon atoiChanged
        cmp     ax, 123
        jne     atoiChanged
        shr     eax, 16
        cmp     ax, 0A1A2h              ; the rest of EAX is kept
        jne     atoiChanged
        report  names+20, atoiChanged, atoiNext

        setAll
        atod    text
        keptCommon atodChanged
        cmp     eax, 123
        jne     atodChanged
        report  names+26, atodChanged, atodNext

        output  field                   ; dtoa of EDX, through name+1
        lea     ebx, buffer+1
        mov     ax, -32768
        itoa    [ebx], ax               ; the destination through EBX
        output  buffer
        INVOKE  ExitProcess, 0
PUBLIC _start
END
