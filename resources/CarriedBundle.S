/* The packed carried files, included as read-only data into the program. */
    .section .rodata
    .balign 16
    .globl asmora_carried_bundle
asmora_carried_bundle:
    .incbin CARRIED_BUNDLE
    .globl asmora_carried_bundle_end
asmora_carried_bundle_end:
    .section .note.GNU-stack,"",@progbits
