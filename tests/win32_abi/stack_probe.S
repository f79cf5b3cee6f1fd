/* int call_counting_stack(void *function, int argc, const uintptr_t *args,
 *                         int *bytes_removed)
 *
 * Pushes the arguments right to left, calls the function and stores in
 * *bytes_removed how far the stack pointer moved during the call: 0 for a
 * cdecl function, 4 * argc for a stdcall one. Then removes the arguments
 * itself and returns the function's result. */
    .text
    .globl _call_counting_stack
_call_counting_stack:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl %esp, %esi
    movl 12(%ebp), %ecx
    movl 16(%ebp), %edx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%edx,%ecx,4)
    jmp 1b
2:  movl %esp, %edi
    call *8(%ebp)
    movl %esp, %ecx
    subl %edi, %ecx
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    movl %esi, %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
