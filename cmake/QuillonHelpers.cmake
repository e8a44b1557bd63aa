# quillon_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l1 l2])
# One GoogleTest executable, discovered test by test by CTest. Tests run from
# the build tree with QUILLON_FIXTURES pointing at tests/fixtures. The label
# outside-data marks tests of what reads files, devices and pages: the
# sanitizer run of CI picks them by it.
function(quillon_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  if("outside-data" IN_LIST ARG_LABELS)
    set_property(GLOBAL APPEND PROPERTY QUILLON_OUTSIDE_DATA_TARGETS ${name})
  endif()
  target_compile_definitions(${name} PRIVATE
    QUILLON_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    QUILLON_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "QUILLON_SHOTS=set:${PROJECT_BINARY_DIR}/shots"
               LABELS "${ARG_LABELS}"
    DISCOVERY_TIMEOUT 60)
endfunction()
