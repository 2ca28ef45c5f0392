# Installing: the program, its pictures and sounds, the credits page, a launcher, icons, the
# AppStream description, the manual page, and the package's copyright and changelog. The program
# finds its media from its own location, so any prefix works.
include(GNUInstallDirs)

# Folders the install makes are rwxr-xr-x whatever the umask, as a package's must be.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The manual page and the package's changelog are installed compressed, as Debian wants them:
# gzip -9 without a name or time stamp inside, so that every build makes the same bytes.
find_program(QUORVANE_GZIP gzip REQUIRED)
function(quorvane_gzip source output)
    get_filename_component(dir ${output} DIRECTORY)
    string(REGEX REPLACE "\\.gz$" "" plain ${output})
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
        COMMAND ${QUORVANE_GZIP} -9nf ${plain}
        DEPENDS ${source}
        VERBATIM)
endfunction()
quorvane_gzip(${CMAKE_SOURCE_DIR}/docs/quorvane.1 ${CMAKE_BINARY_DIR}/doc/quorvane.1.gz)
# The version has no Debian revision: a native package, whose changelog is changelog.gz.
quorvane_gzip(${CMAKE_SOURCE_DIR}/packaging/changelog.Debian
    ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_target(quorvane_docs ALL
    DEPENDS ${CMAKE_BINARY_DIR}/doc/quorvane.1.gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)

install(TARGETS quorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package's) also drops the compilers' notes, as Debian's own strip does.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quorvane\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
")
install(DIRECTORY ${QUORVANE_MEDIA_DIR}/pictures ${QUORVANE_MEDIA_DIR}/sounds
    DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvane/media)
install(FILES ${CMAKE_BINARY_DIR}/doc/credits.html ${CMAKE_SOURCE_DIR}/packaging/copyright
    ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_BINARY_DIR}/doc/quorvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The credits page is registered with doc-base, where documentation browsers find it. The
# registration names the page by its full path, known only when installing (a package installs
# under another prefix than the build tree's), so it is written then.
set(doc_base ${CMAKE_BINARY_DIR}/packaging/doc-base/quorvane-credits)
file(CONFIGURE OUTPUT ${doc_base}.in @ONLY CONTENT [[
Document: quorvane-credits
Title: Quorvane credits
Author: The Quorvane team
Abstract: Who made Quorvane, a full-screen night sky with the sound of the
 sea, and the free software it is built on.
Section: Sound

Format: HTML
Index: ${docdir}/credits.html
Files: ${docdir}/credits.html
]])
install(CODE "
    set(docdir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR}\")
    configure_file(\"${doc_base}.in\" \"${doc_base}\")
")
install(FILES ${doc_base} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quorvane.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 64 128 256)
    install(FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/quorvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/packaging/io.github.quorvane.quorvane.metainfo.xml
    ${CMAKE_BINARY_DIR}/packaging/io.github.quorvane.quorvane.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/io.github.quorvane.quorvane.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# A Debian package; dpkg-shlibdeps works out the runtime libraries it depends on. Its pictures
# and sounds are most of it, and the same on every architecture (lintian says so, as an info
# tag): they stay in the one package all the same, so that the program installs from one file.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "The Quorvane team")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Full-screen night-sky ambience with the sound of the sea")
# The long description: lines of at most 80 characters, as the package tools show it.
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane turns the whole screen into a starry night sky with a living moon,\n\
twinkling stars and, at a click on the moon, the sounds of a beach at night.\n\
It uses almost no processor time, so it can run for hours.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Quorvane team <quorvane@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening the credits page in the browser goes through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# What Debian asks of a binary package: stripped programs, and rw-r--r-- control files.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
