# Sanitized builds, each in a folder of its own:
#   QUILLORA_SANITIZE  the whole test suite under AddressSanitizer and
#                      UndefinedBehaviorSanitizer (make check-sanitize)
#   QUILLORA_FUZZ      the libFuzzer targets of fuzz/ (make fuzz; clang only)
# Every target, the program that the process tests run included, is built
# with the same sanitizers, and any report stops the process.

# Built for the checks, not for speed: -O1, as the sanitizers advise, and line
# tables only for their reports, which halves the compile time of -O2 -g.
# Assertions stay on.
foreach(config DEBUG RELEASE RELWITHDEBINFO MINSIZEREL)
  set(CMAKE_CXX_FLAGS_${config} "-O1 -g1")
endforeach()
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
  -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
if(QUILLORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUILLORA_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Coverage for the fuzzer in every library; the targets add the fuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# A report exits with a status that no test expects (the default, 1, is one
# the program itself returns), also where a test runs the program with an
# empty environment, so no report can pass for an expected failure.
add_library(quillora_sanitizer_exit OBJECT ${CMAKE_CURRENT_LIST_DIR}/SanitizerExitStatus.cpp)
link_libraries(quillora_sanitizer_exit)
