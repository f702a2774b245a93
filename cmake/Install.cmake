# cmake --install: the two programs, the desktop entry, the icons, the
# AppStream metainfo and the MIME types of the books, where freedesktop
# desktops look for them.
include(GNUInstallDirs)
set(PAGORA_APP_ID io.github.pagora_reader.Pagora)

install(TARGETS pagora pagora-book RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/${PAGORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${PAGORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/${PAGORA_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${PAGORA_APP_ID}.xml)
install(FILES data/icons/pagora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES data/icons/pagora-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME pagora.png)
endforeach()
if(TARGET character_index)
  install(FILES ${PAGORA_CHARACTER_INDEX} DESTINATION ${CMAKE_INSTALL_DATADIR}/pagora)
endif()
