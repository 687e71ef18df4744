; processorerrors.asm: each later instruction is refused (A2085) below the
; processor directive that enables it, and accepted from there on.
.386
.MODEL FLAT

.CODE
        bswap   eax
        cpuid
        cmovz   eax, ebx
        fcomi   st, st(1)
        fisttp  DWORD PTR [eax]
.486
        bswap   eax
        cpuid
.586
        cpuid
        rdtsc
        cmpxchg8b QWORD PTR [esi]
        cmovz   eax, ebx
        fucomip st, st(1)
.686
        cmovz   eax, ebx
        wbinvd
.686P
        wbinvd
.NO87
        fld     st(1)
.387
        fld     st(1)
        END
