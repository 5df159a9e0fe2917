# The copyright line, read from LICENSE so that the licence is its one home;
# the Windows version resource, the packages' copyright files and the
# AppStream metainfo take it from here:
#   TTM_COPYRIGHT        Copyright (c) 2026 The Text to MD5 authors
#   TTM_COPYRIGHT_YEARS  2026
#   TTM_AUTHORS          The Text to MD5 authors
set(TTM_LICENSE_FILE ${PROJECT_SOURCE_DIR}/LICENSE)
file(STRINGS ${TTM_LICENSE_FILE} TTM_COPYRIGHT REGEX "^Copyright ")
list(LENGTH TTM_COPYRIGHT copyright_lines)
if(NOT copyright_lines EQUAL 1 OR NOT TTM_COPYRIGHT MATCHES
                                  "^Copyright \\(c\\) ([-0-9, ]+) (.+)$")
  message(FATAL_ERROR "LICENSE needs one line 'Copyright (c) YEARS HOLDERS'")
endif()
set(TTM_COPYRIGHT_YEARS ${CMAKE_MATCH_1})
set(TTM_AUTHORS ${CMAKE_MATCH_2})
