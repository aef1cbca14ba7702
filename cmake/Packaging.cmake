# The Debian packages (cpack -G DEB), one per install component:
#   quelnet      (component Unspecified: everything installed without a
#                 component) the panel program, quelnetctl, menu entries, icons,
#                 AppStream metainfo, the demonstration panel, manual pages
#   quelnet-sim  (component sim) the controller simulator and its manual page
#   quelnet-bridge (component bridge) the MQTT bridge, its systemd unit, an
#                 example configuration and its manual page
# Another program gets a package of its own: a quelnet_debian_package() call
# below, and COMPONENT <name> on its install() and quelnet_man_page() calls.
# Included once every folder is added, before include(CPack).
#
# Every package carries /usr/share/doc/<package>/copyright (machine-readable,
# made from LICENSE) and changelog.gz (packaging/changelog, whose newest entry
# gives the maintainer). Dependencies on shared libraries are computed by
# dpkg-shlibdeps; only what no program links (Qt's platform plugins) is named.
include(GNUInstallDirs)


# The maintainer: the signature line of the changelog's newest entry.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog quelnet_changelog_lines)
list(GET quelnet_changelog_lines 0 quelnet_changelog_head)
if(NOT quelnet_changelog_head MATCHES "^quelnet \\(${PROJECT_VERSION}\\) ")
  message(WARNING "packaging/changelog does not begin with version ${PROJECT_VERSION}: add an entry")
endif()
foreach(line IN LISTS quelnet_changelog_lines)
  if(line MATCHES "^ -- (.+ <[^>]+>)  ")
    set(QUELNET_MAINTAINER ${CMAKE_MATCH_1})
    break()
  endif()
endforeach()

# copyright: the licence text indented by one blank, empty lines as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE quelnet_license)
string(STRIP "${quelnet_license}" quelnet_license)
string(REPLACE "\n\n" "\n.\n" quelnet_license "${quelnet_license}")
string(REPLACE "\n" "\n " QUELNET_LICENSE_TEXT " ${quelnet_license}")
set(quelnet_doc_files ${PROJECT_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${quelnet_doc_files}/copyright @ONLY)
add_custom_command(OUTPUT ${quelnet_doc_files}/changelog.gz
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${quelnet_doc_files}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(package-changelog ALL DEPENDS ${quelnet_doc_files}/changelog.gz)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL)

# quelnet_debian_package(<component> <package name> SUMMARY <line>
#                        DESCRIPTION <paragraph>... [DEPENDS ..] [RECOMMENDS ..] [SUGGESTS ..])
# DESCRIPTION lines are kept as written (at most 79 characters each); a line
# "." separates paragraphs.
macro(quelnet_debian_package component name)
  cmake_parse_arguments(pkg "" "SUMMARY" "DESCRIPTION;DEPENDS;RECOMMENDS;SUGGESTS" ${ARGN})
  string(TOUPPER ${component} upper)
  list(APPEND CPACK_COMPONENTS_ALL ${component})
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${name})
  set(CPACK_DEBIAN_${upper}_FILE_NAME DEB-DEFAULT)
  set(text "${pkg_SUMMARY}")
  foreach(line IN LISTS pkg_DESCRIPTION)
    string(APPEND text "\n${line}")
  endforeach()
  set(CPACK_COMPONENT_${upper}_DESCRIPTION "${text}")
  set(CPACK_DEBIAN_${upper}_DESCRIPTION "${text}")
  string(JOIN ", " CPACK_DEBIAN_${upper}_PACKAGE_DEPENDS ${pkg_DEPENDS})
  string(JOIN ", " CPACK_DEBIAN_${upper}_PACKAGE_RECOMMENDS ${pkg_RECOMMENDS})
  string(JOIN ", " CPACK_DEBIAN_${upper}_PACKAGE_SUGGESTS ${pkg_SUGGESTS})
  install(FILES ${quelnet_doc_files}/copyright ${quelnet_doc_files}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${name} COMPONENT ${component})
endmacro()

quelnet_debian_package(Unspecified quelnet
  SUMMARY "virtual control panel and tools for Quelnet I/O controllers"
  DESCRIPTION
    "A virtual control panel for the Quelnet family of Ethernet I/O"
    "controllers: an editor to lay out buttons, lamps, dials, sliders and text,"
    "and a run mode that polls the controllers and switches their outputs."
    "."
    "Maintenance windows update a controller's firmware, install its user web"
    "pages and graphics, back up and restore its settings. The command-line"
    "tool quelnetctl does the same work without a display."
  DEPENDS "qt6-qpa-plugins"
  RECOMMENDS "qt6-translations-l10n"
  SUGGESTS "quelnet-sim" "qt6-image-formats-plugins")

quelnet_debian_package(sim quelnet-sim
  SUMMARY "simulated Quelnet I/O controller for trying quelnet without hardware"
  DESCRIPTION
    "A simulator of the three generations of Quelnet Ethernet I/O controllers"
    "on the local machine: control protocol, status and user web pages over"
    "HTTP, DataFlash, firmware update, and faults on purpose. For trying and"
    "testing the quelnet panel and quelnetctl without hardware."
  SUGGESTS "quelnet")

quelnet_debian_package(bridge quelnet-bridge
  SUMMARY "Quelnet I/O controllers' circuits on an MQTT broker"
  DESCRIPTION
    "A service that polls the circuits of Quelnet Ethernet I/O controllers and"
    "publishes them on an MQTT broker, with Home Assistant discovery: inputs as"
    "sensors, outputs as switches and numbers that can be set through the broker."
    "Its controllers and circuits come from a configuration file or from a panel"
    "file made in the quelnet editor."
  SUGGESTS "mosquitto" "quelnet")

set(CPACK_PACKAGE_NAME quelnet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quelnet")
set(CPACK_PACKAGE_CONTACT "${QUELNET_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUELNET_MAINTAINER}")
# No CPACK_PACKAGE_DESCRIPTION_SUMMARY: CPack would put it before every
# package's own summary line.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
