# Build checks beyond the warnings every module gets: warnings as errors, and a build with
# AddressSanitizer and UndefinedBehaviorSanitizer for the tests to run in.
option(FOLVERIN_WERROR "Treat compiler warnings as errors" OFF)
if(FOLVERIN_WERROR)
  target_compile_options(folverin_build_flags INTERFACE -Werror)
endif()

option(FOLVERIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(FOLVERIN_SANITIZE)
  # Every target, the fixture writers and the engine module included, so a fault found in one
  # is reported with its whole stack; undefined behaviour ends the process like a memory fault.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
