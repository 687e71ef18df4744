; listing.asm: the listing switches and how each kind of line is shown.
TITLE   Listing switches
.386
.MODEL FLAT

store   MACRO   value
        LOCAL   skip
        ;; a private comment
        ; a public comment
        jmp     skip
        BYTE    value
skip:
        ENDM

count   =       3
limit   EQU     count * 4
message TEXTEQU <hello>

.DATA
table   DWORD   2 DUP (1, 2 DUP (0FFh))
% text  BYTE    "&message", 0

.CODE
start:  store   1               ; .LISTMACRO: only lines that make code
        .LISTMACROALL
        store   2               ; every line of the expansion
        .NOLISTMACRO
        store   3               ; no expansion lines
        .LISTMACRO
        IF count GT 5
        nop                     ; not assembled, not listed
        ENDIF
        .LISTIF
        IF count GT 5
        nop                     ; not assembled, listed
        ENDIF
        .NOLISTIF
        .NOLIST
        nop                     ; assembled, not listed
        .LIST
        mov     eax, limit
        rep     movsb
        mov     ax, 1
        mov     eax, OFFSET table
        ret
END     start
