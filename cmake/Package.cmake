# The Debian package, made by `cpack` in the build folder (tools/dev package): the install
# rules under /usr, the metainfo and copyright a software centre and lintian look for, and
# dependencies found by dpkg-shlibdeps from the binaries themselves.
set(PAKEMINO_HOMEPAGE "https://pakemino.example.org" CACHE STRING
  "Where the project's home page and README screenshot are published")
set(PAKEMINO_APP_ID "org.example.pakemino" CACHE STRING "The AppStream component id")

set(packaging ${CMAKE_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/packaging/pakemino.metainfo.xml.in
  ${packaging}/${PAKEMINO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${packaging}/${PAKEMINO_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright ${packaging}/copyright @ONLY)
# A native package's change log, compressed without a time stamp so builds are reproducible.
string(TIMESTAMP PAKEMINO_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${packaging}/changelog
  "pakemino (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
  "  * Release ${PROJECT_VERSION}.\n\n"
  " -- pakemino developers <developers@pakemino.example.org>  ${PAKEMINO_CHANGELOG_DATE}\n")
execute_process(COMMAND gzip -9nc ${packaging}/changelog OUTPUT_FILE ${packaging}/changelog.gz)
install(FILES ${packaging}/copyright ${packaging}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pakemino)
foreach(page pakemino.6 qorv-probe.1)
  string(REGEX REPLACE ".*\\." "" section ${page})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${page} ${packaging}/${page} @ONLY)
  execute_process(COMMAND gzip -9nc ${packaging}/${page} OUTPUT_FILE ${packaging}/${page}.gz)
  install(FILES ${packaging}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pakemino)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keyboard voice instrument over a 16-step drum machine")
set(CPACK_PACKAGE_DESCRIPTION
  "pakemino turns the computer keyboard into a voice instrument and a drum
machine at once. Four rows of keys sing four recorded syllables, each key a
pitch; a nine-track, 16-step drum machine loops underneath; every note stamps
a picture into a swirling trail in one window. The package also holds
qorv-probe, which checks sound and picture files as the program reads them.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "pakemino developers <developers@pakemino.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PAKEMINO_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps sees what the binaries link; the OpenGL library and its driver are opened at
# run time (by SDL and libepoxy), and so are the FFmpeg libraries (platform/codec), whose
# packages are named by the major versions the program was built against.
set(pakemino_ffmpeg_depends "")
foreach(module AVCODEC SWRESAMPLE AVUTIL)
  string(REGEX MATCH "^[0-9]+" major "${${module}_VERSION}")
  string(TOLOWER "lib${module}${major}" package)
  list(APPEND pakemino_ffmpeg_depends ${package})
endforeach()
list(JOIN pakemino_ffmpeg_depends ", " pakemino_ffmpeg_depends)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libglx-mesa0 | libglx-vendor, ${pakemino_ffmpeg_depends}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
