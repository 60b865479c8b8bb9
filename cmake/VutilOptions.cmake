# Compile options shared by every target of the project.
add_library(vutil_options INTERFACE)
if(VUTIL_SANITIZE)
  target_compile_options(vutil_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(vutil_options INTERFACE -fsanitize=address,undefined)
endif()

# Warnings as errors apply to library code only; tests and tools get the warnings.
set(VUTIL_WARNINGS -Wall -Wextra -Wpedantic)
set(VUTIL_STRICT_WARNINGS ${VUTIL_WARNINGS} -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports -Wrestrict inside std::string's own inlined code (GCC bug 105329).
  list(APPEND VUTIL_STRICT_WARNINGS -Wno-restrict)
endif()
