# Reads packaging/releases.txt (its format is described at its top) and
# makes what the Linux package says about its releases:
#   TTM_RELEASE_DATE         date of the newest release, YYYY-MM-DD
#   TTM_APPSTREAM_RELEASES   <release> elements for the AppStream metainfo
#   TTM_DEBIAN_CHANGELOG     the history as a Debian changelog
# The newest release must be the project's version.
set(TTM_RELEASE_HISTORY ${PROJECT_SOURCE_DIR}/packaging/releases.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                       ${TTM_RELEASE_HISTORY})

# RFC 5322 date of a day, as a Debian changelog's trailer wants it:
# "Mon, 07 Dec 2026 00:00:00 +0000". The weekday by Sakamoto's method.
function(ttm_rfc5322_date out year month day)
  set(month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(day_names Sun Mon Tue Wed Thu Fri Sat)
  math(EXPR month_index "${month} - 1")
  list(GET month_offsets ${month_index} offset)
  set(y ${year})
  if(month LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday
       "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
  list(GET day_names ${weekday} day_name)
  list(GET month_names ${month_index} month_name)
  set(${out} "${day_name}, ${day} ${month_name} ${year} 00:00:00 +0000"
      PARENT_SCOPE)
endfunction()

file(STRINGS ${TTM_RELEASE_HISTORY} history_lines)
set(TTM_APPSTREAM_RELEASES "")
set(TTM_DEBIAN_CHANGELOG "")
set(TTM_RELEASE_DATE "")
set(entry_trailer "")
foreach(line IN LISTS history_lines)
  if(line MATCHES "^#" OR line STREQUAL "")
    continue()
  elseif(line MATCHES "^([0-9.]+) (([0-9]+)-([0-9]+)-([0-9]+))$")
    set(version ${CMAKE_MATCH_1})
    set(date ${CMAKE_MATCH_2})
    ttm_rfc5322_date(changelog_date ${CMAKE_MATCH_3} ${CMAKE_MATCH_4}
                     ${CMAKE_MATCH_5})
    if(TTM_RELEASE_DATE STREQUAL "")
      set(TTM_RELEASE_DATE ${date})
      if(NOT version VERSION_EQUAL PROJECT_VERSION)
        message(FATAL_ERROR "${TTM_RELEASE_HISTORY}: the newest release is "
                            "${version}, the project's version "
                            "${PROJECT_VERSION}")
      endif()
    endif()
    string(APPEND TTM_DEBIAN_CHANGELOG "${entry_trailer}"
           "${CPACK_PACKAGE_NAME} (${version}) unstable; urgency=medium\n\n")
    set(entry_trailer
        "\n -- ${CPACK_PACKAGE_CONTACT}  ${changelog_date}\n\n")
    string(APPEND TTM_APPSTREAM_RELEASES
           "    <release version=\"${version}\" date=\"${date}\"/>\n")
  elseif(line MATCHES "^- (.*)$")
    string(APPEND TTM_DEBIAN_CHANGELOG "  * ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^  (.*)$")
    string(APPEND TTM_DEBIAN_CHANGELOG "    ${CMAKE_MATCH_1}\n")
  else()
    message(FATAL_ERROR "${TTM_RELEASE_HISTORY}: cannot read \"${line}\"")
  endif()
endforeach()
if(TTM_RELEASE_DATE STREQUAL "")
  message(FATAL_ERROR "${TTM_RELEASE_HISTORY}: no release")
endif()
string(APPEND TTM_DEBIAN_CHANGELOG "${entry_trailer}")
string(REGEX REPLACE "\n+$" "\n" TTM_DEBIAN_CHANGELOG "${TTM_DEBIAN_CHANGELOG}")
string(STRIP "${TTM_APPSTREAM_RELEASES}" TTM_APPSTREAM_RELEASES)
