/* A copy that survives a fault on either buffer. GCC has no __try on x86, so
   the copy puts an exception registration record of its own on the fs:[0]
   chain. On a fault its handler does what a compiler's __except does:
   RtlUnwind up to the record (which unlinks every record above it), then
   resume at the recovery point with the copy's own stack and frame pointers,
   where the copy unlinks its record and reports failure.

   The record (lowest address first):
       next, handler                       the system's part
       esp, ebp, eip                       the recovery point */

#include "guarded_copy.h"

#if !defined(__i386__)
#error "pmio_guarded_copy is written for x86"
#endif

__asm__(".text\n"
        ".globl _pmio_guarded_copy\n"
        "_pmio_guarded_copy:\n"
        "    pushl %ebp\n"
        "    movl %esp, %ebp\n"
        "    pushl %ebx\n" /* the dispatcher's registers are live at the recovery point */
        "    pushl %esi\n"
        "    pushl %edi\n"
        "    pushl $1f\n" /* eip */
        "    pushl %ebp\n" /* ebp */
        "    pushl $0\n" /* esp, set below */
        "    pushl $_pmio_guard_handler\n"
        "    pushl %fs:0\n"
        "    movl %esp, 8(%esp)\n"
        "    movl %esp, %fs:0\n"
        "    movl 8(%ebp), %edi\n"
        "    movl 12(%ebp), %esi\n"
        "    movl 16(%ebp), %ecx\n"
        "    cld\n"
        "    rep movsb\n"
        "    movl $1, %eax\n"
        "    jmp 2f\n"
        "1:  xorl %eax, %eax\n"
        "2:  movl (%esp), %edx\n"
        "    movl %edx, %fs:0\n"
        "    addl $20, %esp\n"
        "    popl %edi\n"
        "    popl %esi\n"
        "    popl %ebx\n"
        "    popl %ebp\n"
        "    ret\n"
        /* handler(record, frame, context, dispatcher context), cdecl */
        "_pmio_guard_handler:\n"
        "    movl 4(%esp), %eax\n"
        "    testl $6, 4(%eax)\n" /* ExceptionFlags: unwinding or exit unwind */
        "    jz 3f\n"
        "    movl $1, %eax\n" /* ExceptionContinueSearch */
        "    ret\n"
        "3:  movl 8(%esp), %edx\n"
        "    pushl %edx\n" /* kept across the unwind */
        "    pushl $0\n"
        "    pushl %eax\n"
        "    pushl $4f\n"
        "    pushl %edx\n"
        "    call _RtlUnwind@16\n"
        "4:  popl %edx\n"
        "    movl 12(%edx), %ebp\n"
        "    movl 16(%edx), %eax\n"
        "    movl 8(%edx), %esp\n"
        "    jmp *%eax\n");
