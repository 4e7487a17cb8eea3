# cmake --install: the programs in bin/, the help documents in share/velmora/
# (where the Info menu looks for them, next to ../bin), the desktop entry and
# the icon. Included at the end of the top-level file, so every target exists
# by now; a target this configuration does not build is simply not installed.
include(GNUInstallDirs)

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
    install(FILES ${PROJECT_SOURCE_DIR}/resources/velmora.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The program's icon Ic0, 64 x 64, under the name the desktop entry asks for.
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/Ic0.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps RENAME velmora.png)
endif()
