# Installing like a Linux program, and the Debian package (cpack -G DEB):
#   bin/                         quelnet (its firmware package appended again after
#                                --strip, see EmbedPackage.cmake), quelnet-sim, and
#                                quelnetctl when the build has it
#   share/applications/          a menu entry for the panel, the editor and each
#                                maintenance window
#   share/icons/hicolor/         the program's icon (SVG, 48 and 256 pixels)
#   share/quelnet/               the demonstration panel (quelnet_scr.cnf, bound to
#                                the simulator on 127.0.0.1:7080) and its pictures
include(GNUInstallDirs)

install(TARGETS quelnet-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The command-line tool is installed when the build has one, wherever its folder
# is added: the check runs once the whole project is configured.
function(quelnet_install_command_line_tool)
  if(TARGET quelnetctl)
    install(TARGETS quelnetctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL quelnet_install_command_line_tool)

file(GLOB quelnet_desktop_files ${PROJECT_SOURCE_DIR}/assets/desktop/*.desktop)
install(FILES ${quelnet_desktop_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES assets/icons/quelnet.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES assets/icons/quelnet-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME quelnet.png)
endforeach()

# The demonstration panel names its pictures by absolute path: the path of the
# installed pictures is known only when installing (cpack installs to /usr), so
# the file is written then, as tools/install-demo.sh writes it (CR LF, Windows-1250).
file(GLOB quelnet_demo_pictures ${PROJECT_SOURCE_DIR}/assets/demo/*.png)
install(FILES ${quelnet_demo_pictures} DESTINATION ${CMAKE_INSTALL_DATADIR}/quelnet/demo)
install(CODE "
    set(demo \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/quelnet/demo\")
    set(panel \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/quelnet/quelnet_scr.cnf\")
    file(READ \"${PROJECT_SOURCE_DIR}/assets/demo/quelnet_scr.cnf.in\" text)
    string(REPLACE \"@DEMO@\" \"\${demo}\" text \"\${text}\")
    string(REPLACE \"\\n\" \"\\r\\n\" text \"\${text}\")
    file(WRITE \"\${panel}.utf8\" \"\${text}\")
    execute_process(COMMAND iconv -f UTF-8 -t WINDOWS-1250 \"\${panel}.utf8\"
                    OUTPUT_FILE \"\${panel}\" RESULT_VARIABLE rc)
    file(REMOVE \"\${panel}.utf8\")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR \"cannot write the demonstration panel \${panel}\")
    endif()
    message(STATUS \"Installing: \${panel}\")")

set(CPACK_PACKAGE_NAME quelnet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quelnet")
set(CPACK_PACKAGE_CONTACT "Quelnet developers <dev@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Virtual control panel and maintenance tools for Quelnet I/O controllers")
set(CPACK_PACKAGE_DESCRIPTION
    "Virtual control panel (editor and run mode) and the firmware update, user resources, settings backup and extensions windows for Quelnet Ethernet I/O controllers, with a controller simulator (quelnet-sim).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# Debian's Qt 6 and zlib; the X11 platform plugin comes with qt6-qpa-plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), qt6-qpa-plugins, zlib1g, libc6, libstdc++6")
include(CPack)
