# cmake --install: the programs in bin/, the help documents in share/velmora/
# (where the Info menu looks for them, next to ../bin), the desktop entry, the
# icon, the AppStream metainfo, the manual pages and the copyright notice.
# Included at the end of the top-level file, so every target exists by now; a
# target this configuration does not build is simply not installed.
# The Debian package (cmake/package.cmake) is this same layout under /usr.
include(GNUInstallDirs)

# The desktop id, the metainfo id and the reverse-DNS name of the maker's domain.
set(VELMORA_APP_ID example.orbenit.velmora)

foreach(program velmora velmora-calc)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

set(VELMORA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/velmora)
install(FILES ${CMAKE_BINARY_DIR}/Orbenit.htm DESTINATION ${VELMORA_DOC_DIR})
if(TARGET velmora-docs)
    install(FILES ${CMAKE_BINARY_DIR}/Velmora.pdf DESTINATION ${VELMORA_DOC_DIR})
endif()

if(TARGET velmora)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/${VELMORA_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The program's icon Ic0, 64 x 64, under the name the desktop entry asks for.
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/Ic0.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps RENAME velmora.png)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/${VELMORA_APP_ID}.metainfo.xml.in
                   ${CMAKE_BINARY_DIR}/packaging/${VELMORA_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/${VELMORA_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Manual pages (Spanish, like the programs) and the changelog, compressed as
# Debian installs them: gzip -9n keeps no name or time stamp, so rebuilding
# gives the same bytes.
find_program(VELMORA_GZIP gzip REQUIRED)
set(velmora_gzipped)
function(velmora_gzip file)  # file.gz beside file, both in the build tree
    add_custom_command(
        OUTPUT ${file}.gz
        COMMAND ${VELMORA_GZIP} -9nkf ${file}
        DEPENDS ${file}
        VERBATIM)
    set(velmora_gzipped ${velmora_gzipped} ${file}.gz PARENT_SCOPE)
endfunction()

set(velmora_man_pages)
foreach(program velmora velmora-calc)
    if(TARGET ${program})
        set(page ${CMAKE_BINARY_DIR}/packaging/man/${program}.1)
        configure_file(${PROJECT_SOURCE_DIR}/packaging/man/${program}.1.in ${page} @ONLY)
        velmora_gzip(${page})
        list(APPEND velmora_man_pages ${page}.gz)
    endif()
endforeach()
install(FILES ${velmora_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(VELMORA_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velmora)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog COPYONLY)
velmora_gzip(${CMAKE_BINARY_DIR}/packaging/changelog)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${VELMORA_PACKAGE_DOC_DIR})
add_custom_target(velmora-compressed ALL DEPENDS ${velmora_gzipped})

# Everything the install step copies, for building just that (make package).
add_custom_target(velmora-installed)
foreach(target velmora velmora-calc velmora-docs velmora-compressed)
    if(TARGET ${target})
        add_dependencies(velmora-installed ${target})
    endif()
endforeach()
