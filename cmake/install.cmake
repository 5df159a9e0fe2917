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

  foreach(size 16x16 32x32 48x48 64x64 128x128 scalable)
    set(icon_dir icons/hicolor/${size}/apps)
    if(size STREQUAL scalable)
      set(icon ${TTM_RESOURCES}/${icon_dir}/text-to-md5.svg)
    else()
      set(icon ${TTM_RESOURCES}/${icon_dir}/text-to-md5.png)
    endif()
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/${icon_dir})
  endforeach()

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
