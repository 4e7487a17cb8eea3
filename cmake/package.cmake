# The Debian package: cpack -G DEB in the build folder (make package) makes
# velmora_<version>_amd64.deb from what cmake --install lays out, under /usr.
# The library dependencies come from dpkg-shlibdeps on the programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR Orbenit)
set(CPACK_PACKAGE_CONTACT "Orbenit <velmora@orbenit.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories as Debian wants them (0755) whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://orbenit.example/velmora/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows are laid out for Arial's metrics, which Liberation Sans has;
# Qt's own texts (file dialogs, context menus) come in Spanish from its translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The synopsis; CPack puts it before the extended description and formats both
# for the control file (an empty line separates paragraphs).
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "exact linear algebra with fractions: matrices and systems")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora is a desktop tool for practising and checking linear algebra with
exact arithmetic. Every number is a fraction of two 32-bit integers in lowest
terms: results carry no rounding, and a result that does not fit is reported,
never shown wrong.

It keeps up to fourteen matrices of up to 4 x 5 entries, applies transpose,
cofactors, inverse, Gauss and Gauss-Jordan elimination, products and powers,
evaluates expressions such as (J+K)*L, and classifies and solves systems of
2 to 4 linear equations exactly. The interface is in Spanish.

The package also holds velmora-calc, the same computations from the command
line, the user's guide and manual pages.")

include(CPack)
