# Checks every #include of the layers' sources against what the layer may use.
#   cmake -DSOURCE_DIR=<project folder> -DQT_HEADERS=<Qt's include folder> [-DSTAMP=<file>]
#         -P LayerCheck.cmake
# Fails with one line per violation; writes STAMP when there is none.
#
# Folders of the project a layer may include, and Qt modules where the layer is limited:
#   platform/rtl, platform/data  the core: itself; Qt Core only
#   platform/report              the core and itself
#   platform/vcl                 the core and itself
#   store                        the core, the report engine and itself; Qt Core and Gui only
#   ui                           everything below app/
#   app                          everything
# Tests and benchmarks are no layer.

cmake_minimum_required(VERSION 3.25)

foreach(var SOURCE_DIR QT_HEADERS)
  if(NOT ${var})
    message(FATAL_ERROR "LayerCheck.cmake needs -D${var}=...")
  endif()
endforeach()

set(core platform/rtl platform/data)
set(allowed_platform/rtl ${core})
set(allowed_platform/data ${core})
set(allowed_platform/report ${core} platform/report)
set(allowed_platform/vcl ${core} platform/vcl)
set(allowed_store ${core} platform/report store)
set(allowed_ui ${core} platform/report platform/vcl store ui)
set(allowed_app ${core} platform/report platform/vcl store ui app)
set(qt_platform/rtl QtCore)
set(qt_platform/data QtCore)
set(qt_store QtCore QtGui)
set(layers platform/rtl platform/data platform/report platform/vcl store ui app)
set(folders ${layers} tests bench)

# The project folder a path from the project's folder lies in, or "" outside them.
function(folder_of path out)
  set(result "")
  foreach(folder IN LISTS folders)
    string(LENGTH "${folder}/" n)
    string(SUBSTRING "${path}" 0 ${n} head)
    if(head STREQUAL "${folder}/")
      set(result "${folder}")
      break()
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# The Qt module of a header named in angle brackets, or "" for one that is not Qt's.
file(GLOB qt_modules LIST_DIRECTORIES true RELATIVE "${QT_HEADERS}" "${QT_HEADERS}/Qt*")
function(qt_module_of header out)
  set(result "")
  if(header MATCHES "^(Qt[A-Za-z0-9]+)/")
    # Not in one condition: if() evaluates IS_DIRECTORY before MATCHES sets CMAKE_MATCH_1.
    if(IS_DIRECTORY "${QT_HEADERS}/${CMAKE_MATCH_1}")
      set(result "${CMAKE_MATCH_1}")
    endif()
  elseif(NOT header MATCHES "/")
    # QtCore first: its names are the ones the core may use.
    foreach(module QtCore ${qt_modules})
      if(EXISTS "${QT_HEADERS}/${module}/${header}"
         AND NOT IS_DIRECTORY "${QT_HEADERS}/${module}/${header}")
        set(result "${module}")
        break()
      endif()
    endforeach()
  endif()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

set(violations "")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${layer}/*.cpp"
       "${SOURCE_DIR}/${layer}/*.h")
  foreach(source IN LISTS sources)
    get_filename_component(dir "${source}" DIRECTORY)
    file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
        continue()
      endif()
      set(kind "${CMAKE_MATCH_1}")
      set(header "${CMAKE_MATCH_2}")
      # A project header: by its path from the project's folder, or relative to the source.
      folder_of("${header}" target)
      if(NOT target)
        get_filename_component(resolved "${SOURCE_DIR}/${dir}/${header}" ABSOLUTE)
        if(kind STREQUAL "\"" AND EXISTS "${resolved}")
          file(RELATIVE_PATH resolved "${SOURCE_DIR}" "${resolved}")
          folder_of("${resolved}" target)
          if(NOT target)
            set(target "${resolved}") # outside every layer, e.g. ../../somewhere.h
          endif()
        endif()
      endif()
      if(target AND NOT target IN_LIST allowed_${layer})
        list(JOIN allowed_${layer} ", " may)
        set(text "${source}: includes ${header}, but ${layer} may include only ${may}")
        list(APPEND violations "${text}")
        continue()
      endif()
      if(NOT target AND kind STREQUAL "<" AND DEFINED qt_${layer})
        qt_module_of("${header}" module)
        if(module AND NOT module IN_LIST qt_${layer})
          list(JOIN qt_${layer} ", " may)
          set(text "${source}: includes <${header}> of ${module}, but ${layer} may use only ${may}")
          list(APPEND violations "${text}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Layer violation:\n  ${text}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
