# int __cdecl seh_guarded_call(void (*body)(void*), void* context, seh_filter_fn filter)
# Pushes a registration record {previous, handler, frame ebp, filter} on the thread's
# handler chain (fs:0) for the duration of the call of body.
    .text
    .globl _seh_guarded_call
    .def _seh_guarded_call; .scl 2; .type 32; .endef
_seh_guarded_call:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    pushl 16(%ebp)              # record + 12: filter
    pushl %ebp                  # record + 8: frame ebp
    pushl $_seh_guard_handler   # record + 4: handler
    pushl %fs:0                 # record + 0: previous record
    movl %esp, %fs:0
    pushl 12(%ebp)
    call *8(%ebp)
    addl $4, %esp
    xorl %eax, %eax
Lresume:                        # esp = record
    popl %ecx
    movl %ecx, %fs:0
    addl $12, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret

# void seh_guard_resume_at(void* record, int result): continues in the guard frame
# that owns `record` (after the inner frames were unwound) with result in eax.
    .globl _seh_guard_resume_at
    .def _seh_guard_resume_at; .scl 2; .type 32; .endef
_seh_guard_resume_at:
    movl 8(%esp), %eax
    movl 4(%esp), %esp
    movl 8(%esp), %ebp
    jmp Lresume
