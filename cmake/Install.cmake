# Installing like a Linux program, and the Debian packages (cpack -G DEB, see
# cmake/Packaging.cmake; quelnet-sim goes into a package of its own):
#   bin/                         quelnet (its firmware package appended again after
#                                --strip, see EmbedPackage.cmake), quelnet-sim, and
#                                quelnetctl when the build has it
#   lib/<arch>/quelnet/          libquelnet-http.so, the status page's HTTP client
#                                loaded on demand (core/CMakeLists.txt)
#   share/man/man1/              their manual pages (cmake/ManPages.cmake)
#   share/metainfo/              the AppStream description of the panel program
#   share/applications/          a menu entry for the panel, the editor and each
#                                maintenance window
#   share/icons/hicolor/         the program's icon (SVG, 48 and 256 pixels)
#   share/quelnet/               the demonstration panel (quelnet_scr.cnf, bound to
#                                the simulator on 127.0.0.1:7080) and its pictures
include(GNUInstallDirs)

# The project's licence (LICENSE) by its Debian and SPDX names, and the home page
# that the AppStream description links and takes its screenshots from
# (docs/screenshots published under <home page>/screenshots).
set(QUELNET_LICENSE Expat CACHE STRING "Debian short name of the licence in LICENSE")
set(QUELNET_SPDX_LICENSE MIT CACHE STRING "SPDX name of the licence in LICENSE")
set(QUELNET_HOMEPAGE https://quelnet.example CACHE STRING "Home page of the project")

install(TARGETS quelnet-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT sim)
# The command-line tool is installed when the build has one, wherever its folder
# is added: the check runs once the whole project is configured.
function(quelnet_install_command_line_tool)
  if(TARGET quelnetctl)
    install(TARGETS quelnetctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL quelnet_install_command_line_tool)

configure_file(assets/metainfo/org.quelnet.quelnet.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/metainfo/org.quelnet.quelnet.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/metainfo/org.quelnet.quelnet.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
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

# The manual pages and the Debian packages (one per install component).
include(cmake/ManPages.cmake)
quelnet_man_page(quelnet)
quelnet_man_page(quelnetctl HELP_WRAPPER ${PROJECT_SOURCE_DIR}/docs/man/quelnetctl-help.sh)
quelnet_man_page(quelnet-sim COMPONENT sim)
quelnet_man_page(quelnet-bridge COMPONENT bridge)
include(cmake/Packaging.cmake)
include(CPack)
