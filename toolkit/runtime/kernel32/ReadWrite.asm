; ReadWrite.asm: kernel32 ReadFile, WriteFile, ReadConsoleA and WriteConsoleA on
; the Linux read and write system calls. All four take five arguments (20 bytes).
; ReadConsoleA reads one line and ends it with CR LF, as a Windows console does;
; ReadFile passes bytes as they come.

.386
.MODEL FLAT

PUBLIC  _ReadFile@20, _WriteFile@20, _ReadConsoleA@20, _WriteConsoleA@20

EXTRN   asmoraLastError:DWORD
EXTRN   asmoraSetLastErrorFromLinux:NEAR32
EXTRN   asmoraHandleToDescriptor:NEAR32

sysRead         EQU     3
sysWrite        EQU     4
errInterrupted  EQU     -4
errInvalidHandle EQU    6

; Stack after the five pushes of a frame below (EBP, EBX, ESI, EDI):
;   [ebp+8] handle  [ebp+12] buffer  [ebp+16] count  [ebp+20] done pointer  [ebp+24] unused

.CODE

; readBytes: one read of up to [ebp+16] bytes into [ebp+12] from handle [ebp+8];
; stores the count at [ebp+20] (when not 0). EAX = 1, or 0 on failure with the
; last-error code set. Called inside the frame of a caller below.
readBytes       PROC    NEAR32 PRIVATE
        mov     eax, [ebp+8]
        call    asmoraHandleToDescriptor
        jc      rbBadHandle
        mov     ebx, eax
rbAgain:
        mov     eax, sysRead
        mov     ecx, [ebp+12]
        mov     edx, [ebp+16]
        int     80h
        cmp     eax, errInterrupted
        je      rbAgain
        test    eax, eax
        js      rbFailed
        jmp     storeCount
rbBadHandle:
        mov     asmoraLastError, errInvalidHandle
        xor     eax, eax
        jmp     storeCountOnFailure
rbFailed:
        call    asmoraSetLastErrorFromLinux
        xor     eax, eax
        jmp     storeCountOnFailure
readBytes       ENDP

; writeBytes: writes all [ebp+16] bytes from [ebp+12] to handle [ebp+8]; stores
; the count written at [ebp+20] (when not 0). EAX = 1, or 0 on failure.
writeBytes      PROC    NEAR32 PRIVATE
        mov     eax, [ebp+8]
        call    asmoraHandleToDescriptor
        jc      wbBadHandle
        mov     ebx, eax
        mov     ecx, [ebp+12]
        mov     edx, [ebp+16]
        xor     esi, esi                ; bytes written so far
wbAgain:
        test    edx, edx
        jz      wbDone
        mov     eax, sysWrite
        int     80h
        cmp     eax, errInterrupted
        je      wbAgain
        test    eax, eax
        js      wbFailed
        jz      wbDone
        add     ecx, eax
        sub     edx, eax
        add     esi, eax
        jmp     wbAgain
wbDone:
        mov     eax, esi
        jmp     storeCount
wbFailed:
        call    asmoraSetLastErrorFromLinux
        mov     eax, esi
        jmp     storeCountOnFailure
wbBadHandle:
        mov     asmoraLastError, errInvalidHandle
        xor     eax, eax
        jmp     storeCountOnFailure
writeBytes      ENDP

; storeCount / storeCountOnFailure: EAX = bytes done; stores it at [ebp+20] when
; that pointer is not 0, then returns EAX = 1 (success) or 0 (failure).
storeCount      PROC    NEAR32 PRIVATE
        mov     edi, [ebp+20]
        test    edi, edi
        jz      scSuccess
        mov     [edi], eax
scSuccess:
        mov     eax, 1
        ret
storeCount      ENDP

storeCountOnFailure PROC NEAR32 PRIVATE
        mov     edi, [ebp+20]
        test    edi, edi
        jz      sfFailure
        mov     [edi], eax
sfFailure:
        xor     eax, eax
        ret
storeCountOnFailure ENDP

; ReadFile(handle, buffer, count, read, overlapped): bytes as they come.
_ReadFile@20    PROC    NEAR32
        push    ebp
        mov     ebp, esp
        push    ebx
        push    esi
        push    edi
        call    readBytes
        pop     edi
        pop     esi
        pop     ebx
        pop     ebp
        ret     20
_ReadFile@20    ENDP

; ReadConsoleA(handle, buffer, count, read, reserved): reads one line, one byte
; at a time, as a console delivers it, also from a pipe or a file; a line ending
; in a lone LF ends in CR LF when there is room.
_ReadConsoleA@20 PROC   NEAR32
        push    ebp
        mov     ebp, esp
        push    ebx
        push    esi
        push    edi
        mov     eax, [ebp+8]
        call    asmoraHandleToDescriptor
        jc      rcBadHandle
        mov     ebx, eax
        mov     edi, [ebp+12]           ; where the next byte goes
        xor     esi, esi                ; bytes read
rcNext:
        cmp     esi, [ebp+16]
        jae     rcLineDone
        mov     eax, sysRead
        mov     ecx, edi
        mov     edx, 1
        int     80h
        cmp     eax, errInterrupted
        je      rcNext
        test    eax, eax
        js      rcFailed
        jz      rcLineDone              ; end of input
        inc     edi
        inc     esi
        cmp     BYTE PTR [edi-1], 10
        jne     rcNext
        cmp     esi, [ebp+16]
        jae     rcLineDone              ; no room for a CR
        cmp     esi, 1
        je      rcAddCR
        cmp     BYTE PTR [edi-2], 13
        je      rcLineDone
rcAddCR:
        mov     BYTE PTR [edi-1], 13
        mov     BYTE PTR [edi], 10
        inc     esi
rcLineDone:
        mov     eax, esi
        call    storeCount
        jmp     rcDone
rcFailed:
        call    asmoraSetLastErrorFromLinux
        mov     eax, esi
        call    storeCountOnFailure
        jmp     rcDone
rcBadHandle:
        mov     asmoraLastError, errInvalidHandle
        xor     eax, eax
        call    storeCountOnFailure
rcDone:
        pop     edi
        pop     esi
        pop     ebx
        pop     ebp
        ret     20
_ReadConsoleA@20 ENDP

; WriteFile(handle, buffer, count, written, overlapped).
_WriteFile@20   PROC    NEAR32
        push    ebp
        mov     ebp, esp
        push    ebx
        push    esi
        push    edi
        call    writeBytes
        pop     edi
        pop     esi
        pop     ebx
        pop     ebp
        ret     20
_WriteFile@20   ENDP

; WriteConsoleA(handle, buffer, count, written, reserved): as WriteFile, whose
; arguments lie in the same places.
_WriteConsoleA@20 PROC  NEAR32
        jmp     _WriteFile@20
_WriteConsoleA@20 ENDP

END
