# The layers app -> ui -> store -> platform, kept by the compiler and the build.
#
# Sources include project headers by their path from the project's folder
# ("platform/rtl/classes.h"). That folder itself is on no include path: each library gets an
# include root of its own in the build tree that holds forwarding headers for its folders
# only, and passes it on to what links it. A store source that includes "ui/main_frm.h" thus
# fails to compile, because nothing the store links offers ui/.
#
# What a root cannot stop (a Qt header of another module, which the Qt include root offers,
# or a path with "..") the layer check finds: it runs before the libraries are compiled, and
# a violation fails the build.

# kollektar_include_root(<target> <folder>...)
# Gives <target> (and everything linking it) the headers below <folder>..., as
# "<folder>/<file>.h". The forwarders are written only when they change, so a new
# configure run rebuilds nothing.
function(kollektar_include_root target)
  set(root "${PROJECT_BINARY_DIR}/include/${target}")
  set(wanted "")
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE "${PROJECT_SOURCE_DIR}"
         "${PROJECT_SOURCE_DIR}/${folder}/*.h")
    foreach(header IN LISTS headers)
      file(CONFIGURE OUTPUT "${root}/${header}"
           CONTENT "#pragma once\n#include \"${PROJECT_SOURCE_DIR}/${header}\"\n" @ONLY)
      list(APPEND wanted "${root}/${header}")
    endforeach()
  endforeach()
  # A header that went from the sources goes from the root too.
  file(GLOB_RECURSE present "${root}/*.h")
  foreach(file IN LISTS present)
    if(NOT file IN_LIST wanted)
      file(REMOVE "${file}")
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC "$<BUILD_INTERFACE:${root}>")
endfunction()

# The check over the sources of the layers; the core depends on it, so it runs first.
get_target_property(qt_core_includes Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
set(KOLLEKTAR_QT_HEADERS "")
foreach(dir IN LISTS qt_core_includes)
  if(dir MATCHES "^(.*)/QtCore/?$")
    set(KOLLEKTAR_QT_HEADERS "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(NOT KOLLEKTAR_QT_HEADERS)
  message(FATAL_ERROR "Qt's include folder not found among ${qt_core_includes}")
endif()

file(GLOB_RECURSE layer_sources CONFIGURE_DEPENDS
     "${PROJECT_SOURCE_DIR}/platform/*.cpp" "${PROJECT_SOURCE_DIR}/platform/*.h"
     "${PROJECT_SOURCE_DIR}/store/*.cpp" "${PROJECT_SOURCE_DIR}/store/*.h"
     "${PROJECT_SOURCE_DIR}/ui/*.cpp" "${PROJECT_SOURCE_DIR}/ui/*.h"
     "${PROJECT_SOURCE_DIR}/app/*.cpp" "${PROJECT_SOURCE_DIR}/app/*.h")
set(layer_stamp "${PROJECT_BINARY_DIR}/layers.checked")
add_custom_command(
  OUTPUT "${layer_stamp}"
  COMMAND "${CMAKE_COMMAND}" "-DSOURCE_DIR=${PROJECT_SOURCE_DIR}"
          "-DQT_HEADERS=${KOLLEKTAR_QT_HEADERS}" "-DSTAMP=${layer_stamp}"
          -P "${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cmake"
  DEPENDS ${layer_sources} "${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cmake"
  COMMENT "Checking the includes against the layers"
  VERBATIM)
add_custom_target(kollektar_layers DEPENDS "${layer_stamp}")
