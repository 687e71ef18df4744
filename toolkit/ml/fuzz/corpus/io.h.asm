; A small header in the style of the course's io.h.
.NOLIST
.NOLISTMACRO
EXTRN   dtoaproc:NEAR32, outproc:NEAR32

dtoa    MACRO   dest, source, xtra
        IFB     <source>
        .ERR    <missing operand(s) in DTOA>
        ELSEIFNB <xtra>
        .ERR    <extra operand(s) in DTOA>
        ELSE
        push    ebx
        mov     ebx, source
        push    ebx
        lea     ebx, dest
        push    ebx
        call    dtoaproc
        pop     ebx
        ENDIF
        ENDM

output  MACRO   source, xtra
        IFB     <source>
        .ERR    <missing operand in OUTPUT>
        ELSEIFNB <xtra>
        .ERR    <extra operand(s) in OUTPUT>
        ELSE
        push    ebx
        lea     ebx, source
        push    ebx
        call    outproc
        pop     ebx
        ENDIF
        ENDM
.NOLISTMACRO
.LIST
