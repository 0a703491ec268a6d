# Helpers shared by every folder's CMakeLists.txt.

# Adds the sub-folders that exist; folders are added as their subsystem is built.
function(orvalis_add_subdirs)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# orvalis_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [DB])
# One QtTest executable per test file, registered with CTest and run headless.
# DB tests are registered twice: on a fresh SQLite file and, when ORVALIS_TEST_PG
# names a server at run time, on a fresh PostgreSQL database (skipped otherwise).
function(orvalis_add_test)
  cmake_parse_arguments(T "DB" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE orvalis_testsupport ${T_LIBS} Qt6::Test orvalis_common)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  set(env "QT_QPA_PLATFORM=offscreen;ORVALIS_RESOURCES=${CMAKE_SOURCE_DIR}/resources;QT_LOGGING_RULES=qt.qpa.*=false")
  if(T_DB)
    add_test(NAME ${T_NAME}_sqlite COMMAND ${T_NAME})
    set_tests_properties(${T_NAME}_sqlite PROPERTIES ENVIRONMENT "${env};ORVALIS_TEST_BACKEND=sqlite" TIMEOUT 600)
    add_test(NAME ${T_NAME}_pg COMMAND ${T_NAME})
    set_tests_properties(${T_NAME}_pg PROPERTIES ENVIRONMENT "${env};ORVALIS_TEST_BACKEND=postgres"
      TIMEOUT 600 SKIP_REGULAR_EXPRESSION "ORVALIS_TEST_PG does not name a PostgreSQL server")
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
  endif()
endfunction()
