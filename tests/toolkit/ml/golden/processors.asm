; processors.asm: the Pentium and Pentium Pro instructions under .686.
.686
.MODEL FLAT

.DATA
pair    QWORD   0
whole   DWORD   0
half    WORD    0
long    QWORD   0

.CODE
        cpuid
        rdtsc
        rdpmc
        cmpxchg8b pair
        lock cmpxchg8b QWORD PTR [esi]
        cmovz   eax, ebx
        cmovnge cx, WORD PTR [edi]
        cmova   edx, whole
        bswap   eax
        xadd    [ebx], ecx
        fld     st(1)
        fcmovb  st, st(1)
        fcmovnu st, st(7)
        fcomi   st, st(2)
        fcomip  st, st(1)
        fucomi  st, st(3)
        fucomip st, st(1)
        fisttp  half
        fisttp  whole
        fisttp  long
        ud2
        END
