# Help documents, made at build time:
#   Velmora.pdf  the user's guide, laid out from docs/guia/velmora.html by
#                velmora-docgen (Qt's text engine, offscreen);
#   Orbenit.htm  the maker's local page, with the project's version filled in.
# Both land next to the programs in the build folder, where the Info menu
# finds them before installation.

configure_file(${PROJECT_SOURCE_DIR}/docs/orbenit/Orbenit.htm.in ${CMAKE_BINARY_DIR}/Orbenit.htm
               @ONLY)

if(TARGET velmora-docgen)
    file(GLOB velmora_doc_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.png)
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/Velmora.pdf
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:velmora-docgen>
                ${PROJECT_SOURCE_DIR}/docs/guia/velmora.html
                ${CMAKE_BINARY_DIR}/Velmora.pdf
                ${PROJECT_SOURCE_DIR}/docs
        DEPENDS velmora-docgen ${PROJECT_SOURCE_DIR}/docs/guia/velmora.html ${velmora_doc_pictures}
        COMMENT "Guía del usuario: Velmora.pdf"
        VERBATIM)
    add_custom_target(velmora-docs ALL DEPENDS ${CMAKE_BINARY_DIR}/Velmora.pdf)
endif()
