# Install layout (GNUInstallDirs) and the install rules of the core libraries.
#
# Components, one a Debian package (packaging/CMakeLists.txt):
#   suite            the programs, their data, menu entries, icons, MIME
#                    types, udev rule, autostart entry, manual pages
#   <lib>            lib<lib>.so.1 and lib<lib>.so.1.0.0
#   <lib>-dev        header, lib<lib>.so, pkg-config file, CMake package
# Rules that name no component belong to "suite".
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME suite)
set(SUITE_LIBRARY_VERSION 1.0.0)
set(SUITE_LIBRARY_SOVERSION 1)
# The installed programs find the suite's libraries through this relative
# run path (or the system's folders); the build tree is never named.
set(SUITE_PROGRAM_INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
# The voice module, where the programs look for it (lazy_voice_player.cpp).
set(SUITE_VOICE_MODULE_DIR lib/kestrel-suite)

# suite_install_program(<target>...): a program into bin/, its run path
# relative to itself.
function(suite_install_program)
  foreach(target IN LISTS ARGN)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${SUITE_PROGRAM_INSTALL_RPATH}")
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT suite)
  endforeach()
endfunction()

# suite_install_with_prefix(<file.in> <destination> <component>): installs
# <file> made from <file.in> at install time, @SUITE_PREFIX_AT_INSTALL@
# replaced by the prefix of that install (CMAKE_INSTALL_PREFIX, or --prefix).
# Files configured at configure time keep the placeholder.
set(SUITE_PREFIX_AT_INSTALL "@SUITE_PREFIX_AT_INSTALL@")
function(suite_install_with_prefix template destination component)
  string(REGEX REPLACE "\\.in$" "" _made "${template}")
  install(CODE "
    file(READ \"${template}\" _text)
    string(REPLACE \"@SUITE_PREFIX_AT_INSTALL@\" \"\${CMAKE_INSTALL_PREFIX}\" _text \"\${_text}\")
    file(WRITE \"${_made}\" \"\${_text}\")" COMPONENT ${component})
  install(FILES ${_made} DESTINATION ${destination} COMPONENT ${component})
endfunction()

# suite_link_libc(<target>...): libc named among the shared object's needed
# libraries even when it calls nothing of it directly (the linker drops
# unused libraries), as Debian requires of a shared library.
function(suite_link_libc)
  foreach(target IN LISTS ARGN)
    target_link_options(${target} PRIVATE "LINKER:--push-state,--no-as-needed,-lc,--pop-state")
  endforeach()
endfunction()

# suite_install_library(<name> PACKAGE <CMakePackageName> DESCRIPTION <text>
#                       HEADERS <public headers...>)
# A core library with its SONAME and version, its public headers (only the
# documented C interface), a pkg-config file <name>.pc and a CMake package
# <CMakePackageName> with the imported target <CMakePackageName>::<name>.
function(suite_install_library name)
  cmake_parse_arguments(A "" "PACKAGE;DESCRIPTION" "HEADERS" ${ARGN})
  set_target_properties(${name} PROPERTIES
    VERSION ${SUITE_LIBRARY_VERSION}
    SOVERSION ${SUITE_LIBRARY_SOVERSION}
    INSTALL_RPATH "$ORIGIN")
  suite_link_libc(${name})
  install(TARGETS ${name} EXPORT ${A_PACKAGE}Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${name} NAMELINK_COMPONENT ${name}-dev
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(FILES ${A_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT ${name}-dev)

  set(_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${A_PACKAGE})
  install(EXPORT ${A_PACKAGE}Targets NAMESPACE ${A_PACKAGE}:: DESTINATION ${_cmake_dir} COMPONENT ${name}-dev)
  set(_out ${PROJECT_BINARY_DIR}/packaging/${name})
  file(CONFIGURE OUTPUT ${_out}/${A_PACKAGE}Config.cmake @ONLY CONTENT
"# ${A_PACKAGE}: ${A_DESCRIPTION}.
# Gives the imported target ${A_PACKAGE}::${name} (header and shared library).
include(\"\${CMAKE_CURRENT_LIST_DIR}/${A_PACKAGE}Targets.cmake\")
")
  write_basic_package_version_file(${_out}/${A_PACKAGE}ConfigVersion.cmake
    VERSION ${SUITE_LIBRARY_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${_out}/${A_PACKAGE}Config.cmake ${_out}/${A_PACKAGE}ConfigVersion.cmake
    DESTINATION ${_cmake_dir} COMPONENT ${name}-dev)

  # pkg-config: the prefix the install is made to (cmake --install --prefix).
  file(CONFIGURE OUTPUT ${_out}/${name}.pc.in @ONLY CONTENT
"prefix=@SUITE_PREFIX_AT_INSTALL@
libdir=\${prefix}/@CMAKE_INSTALL_LIBDIR@
includedir=\${prefix}/@CMAKE_INSTALL_INCLUDEDIR@

Name: ${A_PACKAGE}
Description: ${A_DESCRIPTION}
Version: ${SUITE_LIBRARY_VERSION}
Libs: -L\${libdir} -l${name}
Cflags: -I\${includedir}
")
  suite_install_with_prefix(${_out}/${name}.pc.in ${CMAKE_INSTALL_LIBDIR}/pkgconfig ${name}-dev)
endfunction()
