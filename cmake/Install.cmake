# What `cmake --install` puts in place: vorrun, the libraries, the public headers
# (util ones included) in one include folder, CMake packages giving the targets
# vordb8::vordb8 and vordb73::vordb73, and the pkg-config files vordb8.pc and
# vordb73.pc. The packages' targets are written by hand rather than exported: the
# call interface under a library (the engine or the vendor's client) is the
# library's own business, found beside it at run time. Installed binaries find
# the libraries beside them through RPATHs relative to their own folder.
include(CMakePackageConfigHelpers)

set(VOR_INCLUDE_INSTALL_DIR ${CMAKE_INSTALL_INCLUDEDIR}/vordb8)
# Relative paths keep an installation working when `cmake --install --prefix` or a
# move puts it elsewhere.
file(RELATIVE_PATH VOR_BIN_TO_LIB ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH VOR_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})

if(TARGET vorengine)
  install(TARGETS vorengine LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
# The public headers (util ones included) go to one folder that both libraries
# share; a client of vordb73 gets VORDB73 from the package, which picks the
# release-7 index types in the same headers.
if(TARGET vordb8)
  file(GLOB VOR_PUBLIC_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dbaccess/*.h
                                                 ${PROJECT_SOURCE_DIR}/util/*.h)
  install(FILES ${VOR_PUBLIC_HEADERS} DESTINATION ${VOR_INCLUDE_INSTALL_DIR})
endif()

# vor_install_library(<name> <release> [defines...]): the library, its CMake
# package <name>::<name> and its pkg-config file <name>.pc.
function(vor_install_library name release)
  if(NOT TARGET ${name})
    return()
  endif()
  set(VOR_LIBRARY ${name})
  set(VOR_RELEASE ${release})
  set(VOR_LIBRARY_DEFINES "${ARGN}")
  set(VOR_PC_DEFINES "")
  foreach(define ${ARGN})
    string(APPEND VOR_PC_DEFINES " -D${define}")
  endforeach()
  set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${name})
  # The engine (or the vendor's client) is found beside the library.
  set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vordbConfig.cmake.in
                                ${PROJECT_BINARY_DIR}/${name}Config.cmake
                                INSTALL_DESTINATION ${cmake_dir}
                                PATH_VARS CMAKE_INSTALL_LIBDIR VOR_INCLUDE_INSTALL_DIR)
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/${name}ConfigVersion.cmake
                                   VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/${name}Config.cmake ${PROJECT_BINARY_DIR}/${name}ConfigVersion.cmake
          DESTINATION ${cmake_dir})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/vordb.pc.in ${PROJECT_BINARY_DIR}/${name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

vor_install_library(vordb8 8)
vor_install_library(vordb73 7 VORDB73)
if(TARGET vorrun)
  set_target_properties(vorrun PROPERTIES INSTALL_RPATH "$ORIGIN/${VOR_BIN_TO_LIB}")
  install(TARGETS vorrun RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
