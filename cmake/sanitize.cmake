# Sanitizer builds. PINBRO_SANITIZE names the checks every target of the project is built with:
#   -DPINBRO_SANITIZE=address,undefined   AddressSanitizer (with LeakSanitizer) and UBSan
#   -DPINBRO_SANITIZE=thread              ThreadSanitizer
# A report never lets the program go on (no recovery), so a test that triggers one fails.
# PINBRO_FUZZ=ON (clang only) also instruments every target for libFuzzer's coverage and links
# the fuzz targets against libFuzzer; without it they are plain programs that replay a corpus.
set(PINBRO_SANITIZE "" CACHE STRING "Sanitizers to build with: address,undefined or thread (empty: none)")
option(PINBRO_FUZZ "Build the fuzz targets with libFuzzer (clang)" OFF)

if(PINBRO_SANITIZE)
  add_compile_options(-fsanitize=${PINBRO_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${PINBRO_SANITIZE})
endif()

if(PINBRO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PINBRO_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
