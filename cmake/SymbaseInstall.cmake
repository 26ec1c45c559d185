# cmake --install: public headers, the library, a CMake package
# (find_package(symbase) gives symbase::symbase) and symbase.pc; the
# command-line host installs itself (apps/symbase).
include(CMakePackageConfigHelpers)

install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/symbase"
        DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}" FILES_MATCHING PATTERN "*.h")
install(TARGETS symbase EXPORT symbaseTargets
        LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}"
        ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}"
        RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(EXPORT symbaseTargets NAMESPACE symbase::
        DESTINATION "${CMAKE_INSTALL_LIBDIR}/cmake/symbase")

# The Qt dialog driver (symbase::qt, symbase/qt/*.h) and the editor, when built.
if(TARGET symbase_qt)
  install(TARGETS symbase_qt EXPORT symbaseQtTargets
          LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}")
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/hosts/qt/include/symbase/qt"
          DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/symbase" FILES_MATCHING PATTERN "*.h")
  install(EXPORT symbaseQtTargets NAMESPACE symbase::
          DESTINATION "${CMAKE_INSTALL_LIBDIR}/cmake/symbase")
  install(TARGETS symbase_gui_app RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()

configure_package_config_file("${PROJECT_SOURCE_DIR}/cmake/symbaseConfig.cmake.in"
  "${PROJECT_BINARY_DIR}/symbaseConfig.cmake"
  INSTALL_DESTINATION "${CMAKE_INSTALL_LIBDIR}/cmake/symbase")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/symbaseConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/symbaseConfig.cmake"
              "${PROJECT_BINARY_DIR}/symbaseConfigVersion.cmake"
        DESTINATION "${CMAKE_INSTALL_LIBDIR}/cmake/symbase")

configure_file("${PROJECT_SOURCE_DIR}/cmake/symbase.pc.in" "${PROJECT_BINARY_DIR}/symbase.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/symbase.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
