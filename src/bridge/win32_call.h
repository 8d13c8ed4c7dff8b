// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Calls a library entry whose calling convention is not documented. On 32-bit Windows the
// arguments are pushed right to left and the stack pointer is put back from the frame
// afterwards, so an entry that pops its own arguments (stdcall) and one that leaves them to the
// caller (cdecl) both leave the stack as it was. 64-bit Windows has one convention only.

#include <cstdint>

extern "C" std::uint32_t zeltaro_call_any(void* entry, const std::uintptr_t* args, int count);
