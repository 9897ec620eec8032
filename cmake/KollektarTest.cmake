# Test helpers: every test is a QTest executable run by CTest. Tests that need the
# catalogue server name DB; they then require the throwaway MariaDB fixture and find its
# port through KOLLEKTAR_TEST_DB_DIR. Tests that need a real X display with a window manager
# name DISPLAY; they run on the throwaway display of the xdisplay fixture, one at a time.

set(KOLLEKTAR_TESTDB_DIR "${PROJECT_BINARY_DIR}/testdb-server")
set(KOLLEKTAR_XDISPLAY_DIR "${PROJECT_BINARY_DIR}/xdisplay")

add_test(NAME testdb_start
         COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/testdb" start "${KOLLEKTAR_TESTDB_DIR}")
set_tests_properties(testdb_start PROPERTIES FIXTURES_SETUP mariadb TIMEOUT 120)
add_test(NAME testdb_stop
         COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/testdb" stop "${KOLLEKTAR_TESTDB_DIR}")
set_tests_properties(testdb_stop PROPERTIES FIXTURES_CLEANUP mariadb TIMEOUT 120)

add_test(NAME xdisplay_start
         COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/xdisplay" start "${KOLLEKTAR_XDISPLAY_DIR}")
set_tests_properties(xdisplay_start PROPERTIES FIXTURES_SETUP xdisplay TIMEOUT 60)
add_test(NAME xdisplay_stop
         COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/xdisplay" stop "${KOLLEKTAR_XDISPLAY_DIR}")
set_tests_properties(xdisplay_stop PROPERTIES FIXTURES_CLEANUP xdisplay TIMEOUT 60)

# kollektar_add_test(<name> SOURCES <files...> LIBS <targets...> [DB] [DISPLAY])
function(kollektar_add_test name)
  cmake_parse_arguments(T "DB;DISPLAY" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE kollektar_testsupport ${T_LIBS} Qt6::Test)
  set(env "LC_ALL=C.UTF-8")
  if(KOLLEKTAR_SANITIZE)
    list(APPEND env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp")
  endif()
  set(fixtures "")
  if(T_DISPLAY)
    # The wrapper sets DISPLAY, XAUTHORITY and QT_QPA_PLATFORM=xcb from the fixture's files.
    add_test(NAME ${name} COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/xdisplay" run
                                  "${KOLLEKTAR_XDISPLAY_DIR}" $<TARGET_FILE:${name}>)
    list(APPEND fixtures xdisplay)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK xdisplay)
  else()
    add_test(NAME ${name} COMMAND ${name})
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(T_DB)
    list(APPEND env "KOLLEKTAR_TEST_DB_DIR=${KOLLEKTAR_TESTDB_DIR}")
    list(APPEND fixtures mariadb)
  endif()
  if(fixtures)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()
