# quelnet_embed_package(<target>)
#
# The firmware package (QUELNET_PACKAGE_FILE, made by tools/package) ends the
# target's executable: it is appended after every link, and the target relinks
# whenever the package changes. Installing copies the executable and then appends
# the package again, so that `cmake --install --strip` (strip drops everything
# after the ELF sections) cannot cut it off.
set(QUELNET_PACKAGE_FILE ${CMAKE_BINARY_DIR}/package/quelnet.pkg)
include(GNUInstallDirs)

function(quelnet_embed_package target)
    add_dependencies(${target} quelnet_package)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUELNET_PACKAGE_FILE})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND quelnet-pack append $<TARGET_FILE:${target}> ${QUELNET_PACKAGE_FILE}
        COMMENT "Appending the firmware package to ${target}"
        VERBATIM)
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(CODE "
        set(installed \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${target}>\")
        execute_process(COMMAND \"$<TARGET_FILE:quelnet-pack>\" append \"\${installed}\" \"${QUELNET_PACKAGE_FILE}\"
                        RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR \"cannot append the firmware package to \${installed}\")
        endif()")
endfunction()
