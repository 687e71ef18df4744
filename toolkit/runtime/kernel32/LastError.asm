; LastError.asm: the thread's last-error code of the kernel32 calls (GetLastError,
; SetLastError) and the translation of a Linux error number into it.

.386
.MODEL FLAT

PUBLIC  _GetLastError@0, _SetLastError@4
PUBLIC  asmoraLastError, asmoraSetLastErrorFromLinux

.DATA
asmoraLastError DWORD   0

; Linux error number -> Windows error code; the last row is for any other number.
;                 errno    Windows code
errorTable      DWORD   2,      2       ; ENOENT -> ERROR_FILE_NOT_FOUND
                DWORD   5,      30      ; EIO    -> ERROR_READ_FAULT
                DWORD   9,      6       ; EBADF  -> ERROR_INVALID_HANDLE
                DWORD   13,     5       ; EACCES -> ERROR_ACCESS_DENIED
                DWORD   14,     998     ; EFAULT -> ERROR_NOACCESS
                DWORD   22,     87      ; EINVAL -> ERROR_INVALID_PARAMETER
                DWORD   28,     112     ; ENOSPC -> ERROR_DISK_FULL
                DWORD   32,     109     ; EPIPE  -> ERROR_BROKEN_PIPE
                DWORD   0,      31      ; other  -> ERROR_GEN_FAILURE

.CODE

; GetLastError(): EAX = the last-error code.
_GetLastError@0 PROC    NEAR32
        mov     eax, asmoraLastError
        ret
_GetLastError@0 ENDP

; SetLastError(code).
_SetLastError@4 PROC    NEAR32
        mov     eax, [esp+4]
        mov     asmoraLastError, eax
        ret     4
_SetLastError@4 ENDP

; asmoraSetLastErrorFromLinux: EAX = a failed system call's result (-errno); sets
; the last-error code. Keeps all registers.
asmoraSetLastErrorFromLinux PROC NEAR32
        push    eax
        push    esi
        neg     eax                     ; errno
        mov     esi, OFFSET errorTable
seNextRow:
        cmp     DWORD PTR [esi], 0
        je      seFound                 ; the row for any other number
        cmp     [esi], eax
        je      seFound
        add     esi, 8
        jmp     seNextRow
seFound:
        mov     eax, [esi+4]
        mov     asmoraLastError, eax
        pop     esi
        pop     eax
        ret
asmoraSetLastErrorFromLinux ENDP

END
