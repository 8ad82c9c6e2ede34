# Warnings for the project's own code; third-party headers come in as system headers.
add_library(ethconf_warnings INTERFACE)
target_compile_options(ethconf_warnings INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wpedantic -Werror)
