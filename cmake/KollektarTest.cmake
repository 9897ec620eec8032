# Test helpers: every test is a QTest executable run by CTest. Tests that need the
# catalogue server name DB; they then require the throwaway MariaDB fixture and find its
# port through KOLLEKTAR_TEST_DB_DIR.

set(KOLLEKTAR_TESTDB_DIR "${PROJECT_BINARY_DIR}/testdb-server")

add_test(NAME testdb_start
         COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/testdb" start "${KOLLEKTAR_TESTDB_DIR}")
set_tests_properties(testdb_start PROPERTIES FIXTURES_SETUP mariadb TIMEOUT 120)
add_test(NAME testdb_stop
         COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/testdb" stop "${KOLLEKTAR_TESTDB_DIR}")
set_tests_properties(testdb_stop PROPERTIES FIXTURES_CLEANUP mariadb TIMEOUT 120)

# kollektar_add_test(<name> SOURCES <files...> LIBS <targets...> [DB])
function(kollektar_add_test name)
  cmake_parse_arguments(T "DB" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE kollektar_testsupport ${T_LIBS} Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen" "LC_ALL=C.UTF-8")
  if(T_DB)
    list(APPEND env "KOLLEKTAR_TEST_DB_DIR=${KOLLEKTAR_TESTDB_DIR}")
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED mariadb)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()
