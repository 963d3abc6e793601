# Settings every target of ours shares: warnings as errors, the program's
# single-byte code page for string literals, and optional sanitizers.

if(VN_SANITIZE)
  add_compile_options(-fsanitize=${VN_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VN_SANITIZE})
endif()

function(vn_target_defaults target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough -Werror
    # Aggregates are initialised partly on purpose (the rest keeps defaults).
    -Wno-missing-field-initializers)
  # The program's texts are Windows-1251 bytes; sources stay UTF-8 and the
  # compiler re-encodes literals. Clang only knows UTF-8, so code that holds
  # Cyrillic literals checks the encoding at compile time (core/cp1251.h).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fexec-charset=CP1251)
    # gcc 12 at -O2/-O3 reports impossible overlaps inside std::string's own
    # inlined code (gcc bug 105329); the warning says nothing about ours.
    if(CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
  endif()
endfunction()
