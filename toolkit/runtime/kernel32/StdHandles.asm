; StdHandles.asm: kernel32 GetStdHandle and the mapping between handles and Linux
; file descriptors: handle = descriptor * 4 + 3 (3, 7 and 11 for the standard
; input, output and error, values a console program sees on Windows too).

.386
.MODEL FLAT

PUBLIC  _GetStdHandle@4, asmoraHandleToDescriptor

EXTRN   asmoraLastError:DWORD

stdInputHandle  EQU     -10
stdErrorHandle  EQU     -12
invalidHandle   EQU     -1
errInvalidHandle EQU    6

.CODE

; GetStdHandle(which): -10 standard input, -11 output, -12 error; else
; INVALID_HANDLE_VALUE with ERROR_INVALID_HANDLE.
_GetStdHandle@4 PROC    NEAR32
        mov     eax, [esp+4]
        cmp     eax, stdErrorHandle
        jl      gsInvalid
        cmp     eax, stdInputHandle
        jg      gsInvalid
        neg     eax
        sub     eax, 10                 ; descriptor 0, 1 or 2
        lea     eax, [eax*4+3]
        ret     4
gsInvalid:
        mov     asmoraLastError, errInvalidHandle
        mov     eax, invalidHandle
        ret     4
_GetStdHandle@4 ENDP

; asmoraHandleToDescriptor: EAX = handle -> EAX = descriptor, CF = 0; CF = 1 when
; EAX is not a handle of this form. Changes only EAX and the flags.
asmoraHandleToDescriptor PROC NEAR32
        test    eax, 80000000h
        jnz     hdInvalid
        push    eax
        and     eax, 3
        cmp     eax, 3
        pop     eax
        jne     hdInvalid
        shr     eax, 2
        clc
        ret
hdInvalid:
        stc
        ret
asmoraHandleToDescriptor ENDP

END
