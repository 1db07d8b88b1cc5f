# Shared compile settings: every target of the project links loggrevy_warnings.
add_library(loggrevy_warnings INTERFACE)
target_compile_options(loggrevy_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)
if(LOGGREVY_WERROR)
  target_compile_options(loggrevy_warnings INTERFACE -Werror)
endif()
