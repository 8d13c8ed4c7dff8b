// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32_call.h"

#if defined(__i386__)
// ebp holds the frame, esi and edi are saved, eax carries the result.
asm(R"(
    .text
    .globl _zeltaro_call_any
_zeltaro_call_any:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    leal -8(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebp
    ret
)");
#else
extern "C" std::uint32_t zeltaro_call_any(void* entry, const std::uintptr_t* a, int count) {
  using U = std::uintptr_t;
  switch (count) {
    case 0:
      return static_cast<std::uint32_t>(reinterpret_cast<U (*)()>(entry)());
    case 1:
      return static_cast<std::uint32_t>(reinterpret_cast<U (*)(U)>(entry)(a[0]));
    case 2:
      return static_cast<std::uint32_t>(reinterpret_cast<U (*)(U, U)>(entry)(a[0], a[1]));
    case 3:
      return static_cast<std::uint32_t>(reinterpret_cast<U (*)(U, U, U)>(entry)(a[0], a[1], a[2]));
    default:
      return static_cast<std::uint32_t>(
          reinterpret_cast<U (*)(U, U, U, U)>(entry)(a[0], a[1], a[2], a[3]));
  }
}
#endif
