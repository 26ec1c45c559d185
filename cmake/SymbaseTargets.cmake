# Helpers shared by the folders' build files. Sources are found by globbing so
# that adding a file to a folder needs no edit here.

# symbase_platform_library(<name> <dir>): a static library of every .cpp in <dir>,
# compiled for the shared library (PIC, hidden visibility).
function(symbase_platform_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(NOT sources)
    # A folder still being filled: an empty archive keeps the link lines valid.
    set(sources "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    file(WRITE "${sources}" "")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name}
    PUBLIC "${PROJECT_SOURCE_DIR}/include" "${PROJECT_SOURCE_DIR}/platform")
endfunction()

# symbase_test_folder(<dir> <libraries...>): one test executable per folder of
# tests/, made of every *_test.cpp in it, registered with CTest.
function(symbase_test_folder dir)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_test.cpp")
  if(NOT sources)
    return()
  endif()
  string(REPLACE "/" "_" name "${dir}")
  set(target "${name}_tests")
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARGN} symbase_testsupport GTest::gmock GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE
    SYMBASE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    SYMBASE_FIXTURE_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures")
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "SYMBASE_TEST_BINARY_DIR=${CMAKE_CURRENT_BINARY_DIR}")
endfunction()
