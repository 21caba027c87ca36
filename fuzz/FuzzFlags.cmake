# Flags for a fuzzing build, set before any library is defined: every object the
# targets link carries the coverage instrumentation libFuzzer steers by, and the
# sanitizers turn a memory error or undefined behaviour into a finding.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "KELVADO_FUZZ needs clang (libFuzzer): configure with CXX=clang++")
endif()
add_compile_options(-O1 -g -fno-omit-frame-pointer
                    -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)
