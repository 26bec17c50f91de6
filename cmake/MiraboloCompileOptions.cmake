# mirabolo_compile_options: the warnings, definitions, sanitizers and hardening
# that every target of ours links, instead of flags set for the whole tree.
# The fuzzing project includes this file too, so both build alike.
include_guard(GLOBAL)

option(MIRABOLO_WERROR "Treat compiler warnings as errors" OFF)
option(MIRABOLO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(MIRABOLO_HARDENING "Harden the binaries as Debian's packages are (stack protector, fortify, relro, now)"
       ON)

add_library(mirabolo_compile_options INTERFACE)
set(gnu_like "$<CXX_COMPILER_ID:GNU,Clang,AppleClang>")
target_compile_options(mirabolo_compile_options INTERFACE
    "$<${gnu_like}:-Wall;-Wextra;-Wpedantic;-Wshadow;-Wconversion;-Wno-sign-conversion>"
    "$<$<CXX_COMPILER_ID:MSVC>:/W4>"
    "$<$<BOOL:${MIRABOLO_WERROR}>:$<IF:$<CXX_COMPILER_ID:MSVC>,/WX,-Werror>>")
target_compile_definitions(mirabolo_compile_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

if(MIRABOLO_SANITIZE)
    target_compile_options(mirabolo_compile_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(mirabolo_compile_options INTERFACE -fsanitize=address,undefined)
endif()

# The flags dpkg-buildflags gives with hardening=+all. Fortify needs the
# optimiser, so a Debug build goes without it rather than warn; some
# compilers define it already, hence the -U.
if(MIRABOLO_HARDENING AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT APPLE AND NOT WIN32)
    target_compile_options(mirabolo_compile_options INTERFACE
        -fstack-protector-strong -Wformat -Werror=format-security -Wdate-time)
    target_compile_options(mirabolo_compile_options INTERFACE
        "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    target_link_options(mirabolo_compile_options INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()
unset(gnu_like)
