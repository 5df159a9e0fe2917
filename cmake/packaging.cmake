# Packages made by CPack from the install rules: a .deb on Linux, a .zip on
# Windows. Name and version come from project().
set(CPACK_PACKAGE_NAME text-to-md5)
set(CPACK_PACKAGE_VENDOR "Text to MD5 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT
    "Text to MD5 maintainers <maintainers@text-to-md5.invalid>")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME
      ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Dependencies are read off the linked libraries by dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Qt's Wayland plugin: without it the window opens through XWayland. Qt's
  # translations: without them its context menus stay English.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
  # The long description; CPack puts the summary line before it.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Text to MD5 shows the MD5 digest of a text while you type it, as 32
uppercase hexadecimal digits, and puts the digest on the clipboard with one
click. It reads and writes no files and uses no network.")
endif()

include(CPack)
