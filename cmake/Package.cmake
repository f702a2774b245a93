# cpack -G DEB in a build folder: pagora_<version>_amd64.deb with what
# cmake --install puts under /usr, its library dependencies worked out from
# the binaries by dpkg-shlibdeps.
include(GNUInstallDirs)

set(PAGORA_MAINTAINER "Pagora maintainers <maintainers@pagora-reader.invalid>")

# The files Debian wants beside every package: its copyright, as a native
# package its changelog, and the manual pages; compressed without a time stamp.
configure_file(data/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
configure_file(data/man/pagora.1 ${CMAKE_BINARY_DIR}/debian/pagora.1 COPYONLY)
configure_file(data/man/pagora-book.1 ${CMAKE_BINARY_DIR}/debian/pagora-book.1 COPYONLY)
foreach(f changelog pagora.1 pagora-book.1)
  execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/debian/${f} RESULT_VARIABLE gzip_result)
  if(NOT gzip_result EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${f}")
  endif()
endforeach()
install(FILES data/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pagora)
install(FILES ${CMAKE_BINARY_DIR}/debian/pagora.1.gz ${CMAKE_BINARY_DIR}/debian/pagora-book.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME pagora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PAGORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader for Traditional Chinese e-books in vertical columns")
# No line may begin with a full stop: that is a control line there.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pagora shows Traditional Chinese e-books the traditional way: characters
run down a column and columns follow each other from right to left. Books
are files in code page 950 (.pdb) or UTF-16 (.updb), kept on shelves that
are plain folders; text files and EPUBs can be imported into books.

The package also holds pagora-book, which makes, inspects, exports and
imports book files from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What dpkg-shlibdeps cannot see: the faces the pages are set in, the
# character data the look-up card is indexed from, and Qt's own words in the
# dialogs in Chinese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming | fonts-noto-cjk, unicode-data, qt6-translations-l10n")
# Reading aloud speaks through speech-dispatcher with espeak-ng's Mandarin and
# Cantonese; without them the reader says what to install.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-speech-speechd-plugin, speech-dispatcher, speech-dispatcher-espeak-ng, espeak-ng")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
