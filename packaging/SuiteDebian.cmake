# The Debian packages of the suite (cpack -G DEB, run by scripts/package),
# split as Debian splits a program and its libraries:
#
#   kestrel-suite        programs, data, menu entries, icons, MIME types,
#                        udev rule, camlink autostart entry, manual pages
#   lib<name>1           the shared library (runtime)
#   lib<name>-dev        header, unversioned link, pkg-config file, CMake package
#
# Descriptions: a synopsis line, then plain lines (CPack indents them).
# Depends are computed from the binaries by dpkg-shlibdeps; the suite's own
# libraries are mapped to their packages through shlibs.local
# (deb/shlibs-local.cmake). MIME, menu and icon caches are refreshed by the
# file triggers of shared-mime-info, desktop-file-utils and the icon theme;
# the ldconfig cache by the libraries' trigger (deb/library-scripts.cmake); udev's rules by the suite's
# maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel-suite)
set(CPACK_PACKAGE_VENDOR "Kestrel suite developers")
set(CPACK_PACKAGE_CONTACT "Kestrel suite developers <kestrel-suite@example.org>")
set(CPACK_PACKAGE_VERSION ${SUITE_LIBRARY_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# Absolute destinations (/etc, /lib/udev) go into the package as they are.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${SUITE_DEB_COMPONENTS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps finds the suite's libraries in the build tree.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  ${PROJECT_BINARY_DIR}/radiomath ${PROJECT_BINARY_DIR}/framegrid
  ${PROJECT_BINARY_DIR}/thermcore ${PROJECT_BINARY_DIR}/usbloader)
set(SUITE_DEB_SHLIBS_LOCAL ${CMAKE_CURRENT_BINARY_DIR}/shlibs.local)
file(WRITE ${SUITE_DEB_SHLIBS_LOCAL} "")
foreach(lib radiomath framegrid thermcore cardpull)
  file(APPEND ${SUITE_DEB_SHLIBS_LOCAL}
    "lib${lib} ${SUITE_LIBRARY_SOVERSION} lib${lib}${SUITE_LIBRARY_SOVERSION} (>= ${SUITE_LIBRARY_VERSION})\n")
endforeach()
set(SUITE_DEB_ELF_COMPONENTS "suite radiomath framegrid thermcore cardpull")
configure_file(deb/shlibs-local.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/shlibs-local.cmake @ONLY)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_BINARY_DIR}/shlibs-local.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/deb/library-scripts.cmake)

set(CPACK_DEBIAN_SUITE_PACKAGE_NAME kestrel-suite)
set(CPACK_DEBIAN_SUITE_PACKAGE_SECTION graphics)
# The report designer opens libcardpull.so.1 at run time (no link).
set(CPACK_DEBIAN_SUITE_PACKAGE_DEPENDS "libcardpull${SUITE_LIBRARY_SOVERSION} (>= ${SUITE_LIBRARY_VERSION})")
set(CPACK_DEBIAN_SUITE_PACKAGE_RECOMMENDS "fonts-wqy-zenhei, breeze-icon-theme, qt6-translations-l10n")
set(CPACK_DEBIAN_SUITE_DESCRIPTION "Kestrel infrared suite: report designer and image browser
Desktop software of a handheld infrared camera: Pagewright, the report
designer, lays out reports of infrared images with measurements, charts
and text; Heatshelf browses folders of camera files (.VNI images, .VNV
sequences). Also camlink, the card reader's firmware loader, rptdump,
which prints a report as JSON, PDF or a word-processor document, and
thermjpeg-tool, the suite's JPEG codec on the command line.")
set(CPACK_DEBIAN_SUITE_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_SOURCE_DIR}/deb/suite/postinst ${CMAKE_CURRENT_SOURCE_DIR}/deb/suite/postrm
  ${CMAKE_CURRENT_SOURCE_DIR}/deb/suite/conffiles)

set(_summary_radiomath "Kestrel infrared camera calibration model")
set(_summary_framegrid "Kestrel infrared camera per-frame model")
set(_summary_thermcore "Kestrel infrared image library")
set(_summary_cardpull "Kestrel infrared camera card reader loader")
set(_text_radiomath "Radiomath turns the detector values of the Kestrel infrared cameras into
temperatures and back with the cameras' polynomial calibration model (MT_
functions over one caller-owned parameter block).")
set(_text_framegrid "Framegrid holds the linear per-frame model of the Kestrel infrared
cameras: three stateless functions between gray values and temperatures.")
set(_text_thermcore "Thermcore reads the files of the Kestrel infrared cameras (still images,
sequences, JPEG files with an infrared payload) and gives their
temperatures, measurements, colour rulers and isotherms, false-colour
images and extracts, through a flat C interface of IFR_ functions.")
set(_text_cardpull "Cardpull loads the firmware file bulkloop.hex into the Kestrel infrared
camera's USB card reader (an EZ-USB controller) in one attempt.")
foreach(lib radiomath framegrid thermcore cardpull)
  string(TOUPPER ${lib} _up)
  set(_runtime lib${lib}${SUITE_LIBRARY_SOVERSION})
  set(CPACK_DEBIAN_${_up}_PACKAGE_NAME ${_runtime})
  set(CPACK_DEBIAN_${_up}_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_${_up}_DESCRIPTION "${_summary_${lib}}\n${_text_${lib}}\n\nThis package holds the shared library.")
  set(CPACK_DEBIAN_${_up}_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/deb/library/triggers)
  set(CPACK_DEBIAN_${_up}-DEV_PACKAGE_NAME lib${lib}-dev)
  set(CPACK_DEBIAN_${_up}-DEV_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_${_up}-DEV_PACKAGE_DEPENDS "${_runtime} (= ${SUITE_LIBRARY_VERSION})")
  set(CPACK_DEBIAN_${_up}-DEV_DESCRIPTION "${_summary_${lib}} - development files\n${_text_${lib}}\n\nThis package holds the header, the pkg-config file (${lib}) and the\nCMake package.")
endforeach()

include(CPack)
