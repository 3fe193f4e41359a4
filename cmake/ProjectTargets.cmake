# Helpers that keep every folder's CMakeLists.txt to a few lines.

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # -Wrestrict misfires on std::string assignments in GCC 12 optimised builds.
  set(PROJECT_WARNINGS -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor -Wno-missing-field-initializers -Wno-restrict -Werror)
  # -Warray-bounds and -Wstringop-overflow/-overread misfire on small std::vector inserts once GCC 12 inlines them.
  list(APPEND PROJECT_WARNINGS $<$<NOT:$<CONFIG:Debug>>:-Wno-array-bounds> $<$<NOT:$<CONFIG:Debug>>:-Wno-stringop-overflow> $<$<NOT:$<CONFIG:Debug>>:-Wno-stringop-overread>)
else()
  # Other compilers build fuzz targets only; the GNU build is the warning gate.
  set(PROJECT_WARNINGS -Wall -Wextra -Wno-missing-field-initializers)
endif()

# project_library(NAME [DEPS ...] [SOURCES ...])
# A static library of every .cpp in the calling folder (not below), unless SOURCES are given.
function(project_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES;EXCLUDE" ${ARGN})
  if(ARG_SOURCES)
    set(srcs ${ARG_SOURCES})
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  foreach(ex ${ARG_EXCLUDE})
    list(FILTER srcs EXCLUDE REGEX "/${ex}$")
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${PROJECT_WARNINGS})
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# project_test(NAME DEPS ...): one GoogleTest executable from every .cpp in the calling folder.
# Tests run with the folder's fixtures directory as FIXTURES_DIR.
function(project_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    # A folder whose first test is still being written must not stop the others.
    message(STATUS "${name}: no sources yet, skipped")
    return()
  endif()
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${PROJECT_WARNINGS})
  target_compile_definitions(${name} PRIVATE FIXTURES_DIR="${CMAKE_CURRENT_SOURCE_DIR}/fixtures")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} test_support GTest::gtest GTest::gtest_main Threads::Threads)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ALSOFT_DRIVERS=null")
endfunction()
