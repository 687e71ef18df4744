; procs.asm: procedures with parameters, locals and USES, a prototype and INVOKE.
.386
.MODEL FLAT, stdcall

Max3    PROTO   a:SDWORD, b:SDWORD, c:SDWORD

POINT   STRUCT
  x     SDWORD  0
  y     SDWORD  0
POINT   ENDS

.DATA
origin  POINT   <>
corner  POINT   <640, 480>
best    SDWORD  ?

.CODE
Max3    PROC    USES ebx, a:SDWORD, b:SDWORD, c:SDWORD
        LOCAL   top:SDWORD
        mov     eax, a
        mov     ebx, b
        .IF     ebx > eax
          mov   eax, ebx
        .ENDIF
        mov     top, eax
        mov     eax, c
        .IF     eax < top
          mov   eax, top
        .ENDIF
        ret
Max3    ENDP

start   PROC    C
        INVOKE  Max3, corner.x, corner.y, 100
        mov     best, eax
        lea     esi, corner
        mov     eax, (POINT PTR [esi]).y
        mov     ecx, 3
again:  dec     ecx
        jnz     again
        ret
start   ENDP
END
