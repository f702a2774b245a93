# cmake --install: the two programs, the desktop entry and its D-Bus service,
# the icons, the AppStream metainfo and the MIME types of the books, where freedesktop
# desktops look for them.
include(GNUInstallDirs)
set(PAGORA_APP_ID io.github.pagora_reader.Pagora)

install(TARGETS pagora pagora-book RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/${PAGORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The desktop entry is D-Bus activatable: a launcher that calls the
# application id on the session bus starts the installed reader through this.
# Its Exec is the installed reader's path, known only when installing (cpack
# installs under another prefix than the build folder's).
install(CODE "
  file(READ \"${CMAKE_SOURCE_DIR}/data/${PAGORA_APP_ID}.service.in\" service)
  string(REPLACE \"@PAGORA_SERVICE_EXEC@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pagora\" service \"\${service}\")
  file(WRITE \"${CMAKE_BINARY_DIR}/${PAGORA_APP_ID}.service\" \"\${service}\")
")
install(FILES ${CMAKE_BINARY_DIR}/${PAGORA_APP_ID}.service DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/services)
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
if(TARGET traditional_table)
  install(FILES ${PAGORA_TRADITIONAL_TABLE} DESTINATION ${CMAKE_INSTALL_DATADIR}/pagora)
endif()
