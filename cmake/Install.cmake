# What `cmake --install` puts in place: vorrun, the libraries, the public headers
# (util ones included) in one include folder, a CMake package giving the target
# vordb8::vordb8, and the pkg-config file vordb8.pc. The package's target is written
# by hand rather than exported: the call interface under the library (the engine or
# the vendor's client) is the library's own business, found beside it at run time. Installed binaries find the
# libraries beside them through RPATHs relative to their own folder.
include(CMakePackageConfigHelpers)

set(VOR_INCLUDE_INSTALL_DIR ${CMAKE_INSTALL_INCLUDEDIR}/vordb8)
set(VOR_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vordb8)
# Relative paths keep an installation working when `cmake --install --prefix` or a
# move puts it elsewhere.
file(RELATIVE_PATH VOR_BIN_TO_LIB ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH VOR_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})

if(TARGET vorengine)
  install(TARGETS vorengine LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
if(TARGET vordb8)
  # The engine (or the vendor's client) is found beside the library.
  set_target_properties(vordb8 PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS vordb8 LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  file(GLOB VOR_PUBLIC_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dbaccess/*.h
                                                 ${PROJECT_SOURCE_DIR}/util/*.h)
  install(FILES ${VOR_PUBLIC_HEADERS} DESTINATION ${VOR_INCLUDE_INSTALL_DIR})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vordb8Config.cmake.in
                                ${PROJECT_BINARY_DIR}/vordb8Config.cmake
                                INSTALL_DESTINATION ${VOR_CMAKE_INSTALL_DIR}
                                PATH_VARS CMAKE_INSTALL_LIBDIR VOR_INCLUDE_INSTALL_DIR)
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/vordb8ConfigVersion.cmake
                                   VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/vordb8Config.cmake
                ${PROJECT_BINARY_DIR}/vordb8ConfigVersion.cmake
          DESTINATION ${VOR_CMAKE_INSTALL_DIR})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/vordb8.pc.in ${PROJECT_BINARY_DIR}/vordb8.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/vordb8.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endif()
if(TARGET vorrun)
  set_target_properties(vorrun PROPERTIES INSTALL_RPATH "$ORIGIN/${VOR_BIN_TO_LIB}")
  install(TARGETS vorrun RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
