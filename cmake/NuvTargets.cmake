# nuv_add_library(<name> QT <Core|Widgets|...> SOURCES ... LINKS ...)
# A static library of one area, with the alias nuv::<name> and the project root on its include path,
# so code includes "core/base/zstrings.h" and never a relative path.
function(nuv_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  add_library(nuv::${name} ALIAS ${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# nuv_add_test(<name> [GUI] SOURCES ... LINKS ...)
# One GoogleTest program; GUI tests get a QApplication on the offscreen platform. Every test has a
# timeout, so one that hangs (a modal window nobody closes, say) fails alone instead of holding CI.
function(nuv_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE nuv::test_support_gui)
  else()
    target_link_libraries(${name} PRIVATE nuv::test_support)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LINKS})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      TIMEOUT 60
      ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1")
endfunction()
