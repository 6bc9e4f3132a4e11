bits 64
%include "inc/defs.inc"
section .text
global _start
_start:
    mov rax, COUNT
    LOADX other_missing
    jmp missing_label
    ret
