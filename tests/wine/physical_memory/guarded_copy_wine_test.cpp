// The memory driver's guarded copy, in user mode under Wine: the exception
// registration record, its handler and RtlUnwind behave here as in the
// kernel, so a fault on either buffer must come back as 0 with the handler
// chain and the caller's registers as they were.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "updater/identify/driver/guarded_copy.h"

extern "C" int CopyWithMarkedRegisters(void *destination, const void *source,
                                       unsigned long count, unsigned *registers);

// Calls pmio_guarded_copy with ebx, esi, edi and ebp set to marks and stores
// what the four hold afterwards.
__asm__(".text\n"
        ".globl _CopyWithMarkedRegisters\n"
        "_CopyWithMarkedRegisters:\n"
        "    pushl %ebx\n"
        "    pushl %esi\n"
        "    pushl %edi\n"
        "    pushl %ebp\n"
        "    pushl 28(%esp)\n" /* count */
        "    pushl 28(%esp)\n" /* source */
        "    pushl 28(%esp)\n" /* destination */
        "    movl $0x11111111, %ebx\n"
        "    movl $0x22222222, %esi\n"
        "    movl $0x33333333, %edi\n"
        "    movl $0x44444444, %ebp\n"
        "    call _pmio_guarded_copy\n"
        "    addl $12, %esp\n"
        "    movl 32(%esp), %ecx\n"
        "    movl %ebx, (%ecx)\n"
        "    movl %esi, 4(%ecx)\n"
        "    movl %edi, 8(%ecx)\n"
        "    movl %ebp, 12(%ecx)\n"
        "    popl %ebp\n"
        "    popl %edi\n"
        "    popl %esi\n"
        "    popl %ebx\n"
        "    ret\n");

namespace {

// The thread's handler chain starts at fs:[0].
void *HandlerChain() {
    void *head;
    __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

} // namespace

TEST(GuardedCopy, AFaultOnEitherBufferReturnsZeroAndLeavesTheCallerIntact) {
    const DWORD page = 4096;
    // A readable and writable page, then one that cannot be touched, then a
    // read-only one.
    auto *base = static_cast<unsigned char *>(
        VirtualAlloc(nullptr, 3 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, base);
    for (DWORD i = 0; i < page; ++i)
        base[i] = static_cast<unsigned char>(i * 13);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(base + page, page, PAGE_NOACCESS, &old));
    ASSERT_TRUE(VirtualProtect(base + 2 * page, page, PAGE_READONLY, &old));
    std::vector<unsigned char> buffer(2 * page, 0);

    struct Case {
        std::string name;
        void *destination;
        const void *source;
        unsigned long count;
        int expected;
    };
    const std::vector<Case> cases = {
        {"whole page", buffer.data(), base, page, 1},
        {"nothing", buffer.data(), base + page, 0, 1},
        {"unreadable source", buffer.data(), base + page, 16, 0},
        {"source running into an unreadable page", buffer.data(), base + page - 8, 16, 0},
        {"null source", buffer.data(), nullptr, 4, 0},
        {"read-only destination", base + 2 * page, base, 16, 0},
        {"destination running into an unwritable page", base + page - 8, base, 16, 0},
        {"kernel-space source", buffer.data(), reinterpret_cast<const void *>(0xC0000000), 4, 0},
        {"after the faults, a copy still works", buffer.data() + page, base, page, 1},
    };
    void *const chain = HandlerChain();
    for (int round = 0; round < 50; ++round) {
        for (const Case &c : cases) {
            unsigned registers[4] = {};
            EXPECT_EQ(c.expected,
                      CopyWithMarkedRegisters(c.destination, c.source, c.count, registers))
                << c.name;
            EXPECT_EQ(0x11111111u, registers[0]) << c.name << ": ebx";
            EXPECT_EQ(0x22222222u, registers[1]) << c.name << ": esi";
            EXPECT_EQ(0x33333333u, registers[2]) << c.name << ": edi";
            EXPECT_EQ(0x44444444u, registers[3]) << c.name << ": ebp";
            ASSERT_EQ(chain, HandlerChain()) << c.name << ": the handler chain";
        }
    }
    EXPECT_EQ(0, std::memcmp(buffer.data(), base, page));
    EXPECT_EQ(0, std::memcmp(buffer.data() + page, base, page));
    // The bytes before the unwritable page were written up to the fault.
    EXPECT_EQ(0, std::memcmp(base + page - 8, base, 8));
    VirtualFree(base, 0, MEM_RELEASE);
}
