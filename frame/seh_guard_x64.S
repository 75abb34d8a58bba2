# int seh_guarded_call(void (*body)(void*), void* context, seh_filter_fn filter)
# A frame with an exception handler (seh_guard_handler) covering the call of body.
    .text
    .globl seh_guarded_call
    .def seh_guarded_call; .scl 2; .type 32; .endef
    .seh_proc seh_guarded_call
seh_guarded_call:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    .seh_handler seh_guard_handler, @except
    movq %r8, 32(%rsp)          # the filter, read by the handler at [frame + 32]
    movq %rcx, %rax
    movq %rdx, %rcx
    call *%rax
    xorl %eax, %eax
    .globl seh_guard_resume
seh_guard_resume:                # unwinding lands here with rax = 1
    nop
    addq $40, %rsp
    ret
    .seh_endproc
