bits 64
section .text
	mov rax, missing_sym
	ret
