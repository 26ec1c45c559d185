# symbase_qt_test_folder(<dir> <libraries...>): one Qt Test executable per
# *_test.cpp of tests/<dir>, each registered with CTest as <dir>.<name>, run on
# Qt's offscreen platform with a settings directory of its own.
function(symbase_qt_test_folder dir)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_test.cpp")
  string(REPLACE "/" "_" prefix "${dir}")
  string(REPLACE "/" "." test_prefix "${dir}")
  foreach(source ${sources})
    get_filename_component(name "${source}" NAME_WE)
    set(target "${prefix}_${name}")
    add_executable(${target} "${source}")
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_include_directories(${target} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")
    target_link_libraries(${target} PRIVATE ${ARGN} Qt6::Test Qt6::Widgets)
    target_compile_definitions(${target} PRIVATE SYMBASE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    string(REGEX REPLACE "_test$" "" short "${name}")
    set(config "${CMAKE_CURRENT_BINARY_DIR}/qt-config/${target}")
    add_test(NAME ${test_prefix}.${short} COMMAND ${target})
    set_tests_properties(${test_prefix}.${short} PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${config}")
  endforeach()
endfunction()
