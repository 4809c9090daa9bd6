# What `cmake --install build --prefix P` puts into P, in the usual places:
#   P/lib/libvantreel.so*            the library hosts link (versioned SONAME)
#   P/include/vantreel/              its public headers
#   P/bin/vantreel                   the command-line tool
#   P/share/vantreel/                string tables and help files, found by the
#                                    library and the tool relative to themselves
#   P/share/doc/vantreel/            README, docs/ (guides, screenshots), examples/
#   P/lib/cmake/Vantreel/            find_package(Vantreel) -> Vantreel::vantreel
#   P/lib/pkgconfig/vantreel.pc      pkg-config vantreel
# Every path is relative to P, so the same build installs anywhere.
include(CMakePackageConfigHelpers)

set(VANTREEL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vantreel)

install(TARGETS vantreel_library EXPORT VantreelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS vantreel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Whatever public headers exist; the internal ones under src/ never leave the tree.
install(DIRECTORY include/vantreel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h")
install(DIRECTORY resources/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantreel)
# The documentation keeps the source tree's layout, so its links hold.
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs examples DESTINATION ${CMAKE_INSTALL_DOCDIR})
# An add-on a station can register, when the build has one.
if(TARGET vantreel_example_addon)
  install(TARGETS vantreel_example_addon LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vantreel)
endif()

install(EXPORT VantreelTargets NAMESPACE Vantreel:: DESTINATION ${VANTREEL_CMAKE_DIR})
configure_package_config_file(cmake/VantreelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/VantreelConfig.cmake INSTALL_DESTINATION ${VANTREEL_CMAKE_DIR})
# 0.x releases may change the interface from one minor version to the next.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VantreelConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VantreelConfig.cmake
              ${PROJECT_BINARY_DIR}/VantreelConfigVersion.cmake
        DESTINATION ${VANTREEL_CMAKE_DIR})

# pkg-config: the prefix is found from the .pc file's own place.
file(RELATIVE_PATH VANTREEL_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" VANTREEL_PC_TO_PREFIX "${VANTREEL_PC_TO_PREFIX}")
configure_file(cmake/vantreel.pc.in ${PROJECT_BINARY_DIR}/vantreel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vantreel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
