# Install layout. Linux: the Qt program with its desktop entry, icons,
# AppStream metainfo, manual page, copyright file and changelog under the
# usual paths. Windows: the program, a short read-me and the licence in bin/.
include(GNUInstallDirs)

set(TTM_APP_ID org.texttomd5.TextToMD5)
set(TTM_RESOURCES ${PROJECT_SOURCE_DIR}/resources)
set(TTM_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
# Directories made by the install, and so in the package, are 0755 whatever
# the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
    WORLD_EXECUTE)

# The licence's terms as a DEP-5 copyright file wants them: every line
# indented by one blank, empty lines written as " .".
function(ttm_dep5_license_terms out)
  file(READ ${TTM_LICENSE_FILE} licence)
  string(FIND "${licence}" "${TTM_COPYRIGHT}\n" start)
  string(LENGTH "${TTM_COPYRIGHT}\n" skip)
  math(EXPR start "${start} + ${skip}")
  string(SUBSTRING "${licence}" ${start} -1 terms)
  string(STRIP "${terms}" terms)
  string(REPLACE "\n" "\n " terms " ${terms}")
  string(REPLACE "\n \n" "\n .\n" terms "${terms}")
  set(${out} "${terms}" PARENT_SCOPE)
endfunction()

# Compresses FILE to FILE.gz at build time, as Debian wants it: at most,
# without name or time stamp.
function(ttm_gzip target file)
  add_custom_command(
    OUTPUT ${file}.gz
    COMMAND gzip -9 -n -k -f ${file}
    DEPENDS ${file}
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${file}.gz)
endfunction()

# OUTPUT: TEMPLATE with the translations of po/ merged in by msgfmt's
# --desktop or --xml (KIND), at build time.
function(ttm_merge_translations target kind template output)
  file(GLOB translations ${PROJECT_SOURCE_DIR}/po/*.po)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${TTM_MSGFMT} --${kind} --template=${template}
            -d ${PROJECT_SOURCE_DIR}/po -o ${output}
    DEPENDS ${template} ${translations} ${PROJECT_SOURCE_DIR}/po/LINGUAS
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

if(TARGET text-to-md5 AND NOT WIN32)
  include(${PROJECT_SOURCE_DIR}/cmake/release-history.cmake)

  install(TARGETS text-to-md5 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The desktop entry and the metainfo carry the translations of po/.
  set(desktop_entry ${PROJECT_BINARY_DIR}/text-to-md5.desktop)
  ttm_merge_translations(desktop_entry desktop
                         ${TTM_RESOURCES}/linux/text-to-md5.desktop
                         ${desktop_entry})
  install(FILES ${desktop_entry}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

  foreach(size IN LISTS TTM_ICON_SIZES)
    set(icon_dir icons/hicolor/${size}x${size}/apps)
    install(FILES ${TTM_RESOURCES}/${icon_dir}/text-to-md5.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/${icon_dir})
  endforeach()
  set(icon_dir icons/hicolor/scalable/apps)
  install(FILES ${TTM_RESOURCES}/${icon_dir}/text-to-md5.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/${icon_dir})

  # The release list and developer come from the history and the licence.
  set(metainfo ${PROJECT_BINARY_DIR}/${TTM_APP_ID}.metainfo.xml)
  configure_file(${TTM_RESOURCES}/linux/${TTM_APP_ID}.metainfo.xml.in
                 ${metainfo}.in @ONLY)
  ttm_merge_translations(metainfo xml ${metainfo}.in ${metainfo})
  install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  set(man_page ${PROJECT_BINARY_DIR}/man/text-to-md5.1)
  configure_file(${TTM_PACKAGING}/text-to-md5.1.in ${man_page} @ONLY)
  ttm_gzip(man_page ${man_page})
  install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
  ttm_dep5_license_terms(TTM_DEP5_LICENSE_TERMS)
  configure_file(${TTM_PACKAGING}/copyright.in
                 ${PROJECT_BINARY_DIR}/doc/copyright @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/doc/copyright DESTINATION ${doc_dir})
  # Written only when it changes, so that it is compressed only then.
  set(changelog ${PROJECT_BINARY_DIR}/doc/changelog)
  file(WRITE ${changelog}.new "${TTM_DEBIAN_CHANGELOG}")
  configure_file(${changelog}.new ${changelog} COPYONLY)
  ttm_gzip(changelog ${changelog})
  install(FILES ${changelog}.gz DESTINATION ${doc_dir})

  # AppStream 1.0 (Debian 13) warns that the metainfo names no homepage,
  # which the project does not have yet, and lintian reports that as a
  # warning of its own; the package overrides it where that happens. Where
  # it does not (Debian 12), lintian does not know the tag either and would
  # reject the override.
  find_program(TTM_APPSTREAMCLI appstreamcli)
  if(TTM_APPSTREAMCLI)
    execute_process(
      COMMAND ${TTM_APPSTREAMCLI} validate --no-net
              ${metainfo}.in
      OUTPUT_VARIABLE appstream_report
      ERROR_VARIABLE appstream_report)
    if(appstream_report MATCHES "url-homepage-missing")
      install(FILES ${TTM_PACKAGING}/lintian-overrides
              DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
              RENAME ${CPACK_PACKAGE_NAME})
    endif()
  endif()
elseif(TARGET text-to-md5 AND WIN32)
  install(TARGETS text-to-md5 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # With CRLF line ends, so that every Windows editor shows them right.
  configure_file(${TTM_RESOURCES}/windows-readme.txt.in
                 ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE WIN32)
  configure_file(${TTM_LICENSE_FILE} ${PROJECT_BINARY_DIR}/LICENSE.txt @ONLY
                 NEWLINE_STYLE WIN32)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt
                ${PROJECT_BINARY_DIR}/LICENSE.txt
          DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
