# Shared compile settings: every target of the project links loggrevy_warnings
# (the warnings, and the hardening that Debian's packages are built with).
add_library(loggrevy_warnings INTERFACE)
target_compile_options(loggrevy_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)
if(LOGGREVY_WERROR)
  target_compile_options(loggrevy_warnings INTERFACE -Werror)
endif()

# Stack protector, relocations read-only and resolved at start, and glibc's
# checked functions. These need the optimiser, and a sanitizer build has
# checks of its own.
option(LOGGREVY_HARDENING "Build with the hardening flags of Debian packages" ON)
if(LOGGREVY_HARDENING)
  target_compile_options(loggrevy_warnings INTERFACE -fstack-protector-strong)
  if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    target_compile_definitions(loggrevy_warnings INTERFACE $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
  endif()
  target_link_options(loggrevy_warnings INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()
