# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows bridge and its test doubles are built with Debian's mingw-w64, statically, so that
# they need no DLL of their own. The bridge that ships is 32-bit (HAMLOG's library is a 32-bit
# DLL). The tests run 64-bit builds of the same sources under wine64, because a kernel without
# 32-bit emulation (like the one CI runs on) cannot run 32-bit Wine at all.
option(ZELTARO_BRIDGE "Build the Windows bridge (needs mingw-w64)" ON)
if(ZELTARO_BRIDGE)
  find_program(ZELTARO_MINGW32_CXX i686-w64-mingw32-g++)
  find_program(ZELTARO_MINGW64_CXX x86_64-w64-mingw32-g++)
  if(NOT ZELTARO_MINGW32_CXX OR NOT ZELTARO_MINGW64_CXX)
    message(WARNING "mingw-w64 (i686 and x86_64 g++) not found: the Windows bridge is not "
                    "built (scripts/install-deps.sh installs it)")
    set(ZELTARO_BRIDGE OFF)
  endif()
  # The Wine loader the tests use: 64-bit, called directly (Debian's wine script prefers the
  # 32-bit loader when it is installed).
  find_program(ZELTARO_TEST_WINE wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
  find_program(ZELTARO_TEST_WINE wine64)
endif()

# zeltaro_mingw_program(TARGET OUTPUT SOURCES ... [WIN64] [SHARED] [DEFINES ...] [LIBS ...]):
# one Windows program (or DLL with SHARED) at OUTPUT, 32-bit unless WIN64, built by the custom
# target TARGET. 64-bit images are placed below 4 GiB: the library's record block holds 32-bit
# pointers.
function(zeltaro_mingw_program target output)
  cmake_parse_arguments(ARG "SHARED;WIN64" "" "SOURCES;DEFINES;LIBS" ${ARGN})
  set(flags -std=c++20 -O2 -Wall -Wextra -static -s -I${PROJECT_SOURCE_DIR}/src)
  set(cxx ${ZELTARO_MINGW32_CXX})
  if(ARG_WIN64)
    set(cxx ${ZELTARO_MINGW64_CXX})
    list(APPEND flags -Wl,--disable-dynamicbase -Wl,--disable-high-entropy-va)
    if(ARG_SHARED)
      list(APPEND flags -Wl,--image-base=0x20000000)
    else()
      list(APPEND flags -Wl,--image-base=0x10000000)
    endif()
  endif()
  if(ARG_SHARED)
    list(APPEND flags -shared -Wl,--kill-at)
  endif()
  foreach(d ${ARG_DEFINES})
    list(APPEND flags -D${d})
  endforeach()
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${cxx} ${flags} ${ARG_SOURCES} ${ARG_LIBS} -o ${output}
    DEPENDS ${ARG_SOURCES}
    COMMENT "Building ${output} with mingw-w64"
    VERBATIM)
  # The sources listed on the target too, for the include check.
  add_custom_target(${target} ALL DEPENDS ${output} SOURCES ${ARG_SOURCES})
endfunction()
