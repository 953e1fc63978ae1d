# Compiler settings shared by every target of the project.

add_library(kelvo_options INTERFACE)
target_compile_features(kelvo_options INTERFACE cxx_std_20)
target_compile_options(kelvo_options INTERFACE
    -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wnull-dereference -Wimplicit-fallthrough -Werror
    # Constructor parameters named after the members they set are fine; other shadowing is not.
    $<IF:$<CXX_COMPILER_ID:GNU>,-Wshadow=local,-Wshadow>)

if(WIN32)
    target_compile_definitions(kelvo_options INTERFACE
        UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
        _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

option(KELVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(KELVO_SANITIZE)
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(kelvo_options INTERFACE ${sanitizers})
    target_link_options(kelvo_options INTERFACE ${sanitizers})
endif()

if(KELVO_BUILD_FUZZERS)
    # Coverage feedback for libFuzzer from every library a fuzz target links.
    target_compile_options(kelvo_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
