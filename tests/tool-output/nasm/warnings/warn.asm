bits 64
section .text
start:
    mov al, 300
    dw 70000
    ret
