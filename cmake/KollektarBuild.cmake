# Compiler settings for everything below the project's folder: warnings, hardening of the
# optimised builds, and the sanitizers on request. Directory-scoped, so a project that adds
# Kollektar as a subfolder keeps its own flags.

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wformat=2)

  # Optimised builds get what hardened distribution builds get: checked libc calls (which
  # need optimisation) and canaries on the stack. The undefine first keeps a definition of
  # the toolchain's own from clashing.
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  if(NOT KOLLEKTAR_SANITIZE)
    add_compile_options("$<${optimised}:-U_FORTIFY_SOURCE>" "$<${optimised}:-D_FORTIFY_SOURCE=2>")
  endif()
  add_compile_options("$<${optimised}:-fstack-protector-strong>")

  if(KOLLEKTAR_SANITIZE)
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined
                   -fno-omit-frame-pointer)
    add_compile_options(${sanitizers})
    add_link_options(${sanitizers})
  endif()
elseif(KOLLEKTAR_SANITIZE)
  message(FATAL_ERROR "KOLLEKTAR_SANITIZE needs GCC or Clang")
endif()
