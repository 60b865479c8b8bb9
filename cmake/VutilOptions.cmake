# Compile options shared by every target of the project.
add_library(vutil_options INTERFACE)
set(VUTIL_SANITIZER_FLAGS)
if(VUTIL_SANITIZE)
  set(VUTIL_SANITIZER_FLAGS -fsanitize=address,undefined)
  target_compile_options(vutil_options INTERFACE
    ${VUTIL_SANITIZER_FLAGS} -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(VUTIL_TSAN)
  set(VUTIL_SANITIZER_FLAGS -fsanitize=thread)
  target_compile_options(vutil_options INTERFACE ${VUTIL_SANITIZER_FLAGS} -fno-omit-frame-pointer)
endif()
if(VUTIL_SANITIZER_FLAGS)
  target_link_options(vutil_options INTERFACE ${VUTIL_SANITIZER_FLAGS})
endif()

# Warnings as errors apply to library code only; tests and tools get the warnings.
set(VUTIL_WARNINGS -Wall -Wextra -Wpedantic)
set(VUTIL_STRICT_WARNINGS ${VUTIL_WARNINGS} -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports -Wrestrict inside std::string's own inlined code (GCC bug 105329).
  list(APPEND VUTIL_STRICT_WARNINGS -Wno-restrict)
endif()
