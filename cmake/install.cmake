# Install layout. Linux: the Qt program with its desktop entry, icons and
# AppStream metainfo under the usual XDG paths. Windows: the program and a
# short read-me in bin/.
include(GNUInstallDirs)

set(TTM_APP_ID org.texttomd5.TextToMD5)
set(TTM_RESOURCES ${PROJECT_SOURCE_DIR}/resources)

if(TARGET text-to-md5 AND NOT WIN32)
  install(TARGETS text-to-md5 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${TTM_RESOURCES}/linux/text-to-md5.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

  set(icon_root ${TTM_RESOURCES}/icons/hicolor)
  foreach(size 16 32 48 64 128)
    install(FILES ${icon_root}/${size}x${size}/apps/text-to-md5.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES ${icon_root}/scalable/apps/text-to-md5.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

  # The release entry takes its version from project().
  configure_file(${TTM_RESOURCES}/linux/${TTM_APP_ID}.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/${TTM_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${TTM_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
elseif(TARGET text-to-md5 AND WIN32)
  install(TARGETS text-to-md5 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # With CRLF line ends, so that every Windows editor shows it right.
  configure_file(${TTM_RESOURCES}/windows-readme.txt.in
                 ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE WIN32)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt
          DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
