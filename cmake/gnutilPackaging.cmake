# Packages built with CPack from the install components of the root
# CMakeLists.txt:
#
#   Linux (cpack -G DEB), configured with -DCMAKE_INSTALL_PREFIX=/usr:
#     libgnutil1     runtime      the shared library and its English message texts
#     libgnutil-dev  development  headers, CMake package, pkg-config file, resource helpers
#     gnutil-tools   tools        the gnutil program (with whatever tools/ installs)
#   Windows (cpack -G ZIP in the mingw build): one archive of all three, laid
#   out as bin/ lib/ include/ with README-windows.txt.
#
# Dependencies of the Debian packages come from dpkg-shlibdeps (ICU, the C++
# runtime, libc); libgnutil1 carries a shlibs file so that programs packaged
# against it get "libgnutil1 (>= version)". The version is the project's.
set(CPACK_PACKAGE_NAME gnutil)
set(CPACK_PACKAGE_VENDOR "The gnutil developers")
set(CPACK_PACKAGE_CONTACT "The gnutil developers <gnutil-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/packages")
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL runtime development tools)
set(gnutil_pkg_doc "${PROJECT_BINARY_DIR}/packaging")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_PACKAGE_FILE_NAME "gnutil-${PROJECT_VERSION}-win32-mingw")
  configure_file(cmake/windows/README-windows.txt ${gnutil_pkg_doc}/README-windows.txt @ONLY
                 NEWLINE_STYLE CRLF)
  install(FILES LICENSE CHANGELOG.md ${gnutil_pkg_doc}/README-windows.txt DESTINATION .
          COMPONENT runtime)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The program finds libgnutil.so.1 in the build tree while its dependencies
  # are worked out; the package dependency on it is written out below.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${PROJECT_BINARY_DIR}/src;${PROJECT_BINARY_DIR}")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(gnutil_deb_version "${PROJECT_VERSION}")

  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libgnutil1)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  # A shlibs file for the packages that hold a shared library with a SONAME
  # (libgnutil1 only).
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/cmake/debian/triggers")
  set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
      "C++ utility library for multibyte text, locale and OS services\n"
      "gnutil gives programs a string value over multibyte text, the East Asian\n"
      "code sets and their conversion, locale settings, date, time and decimal\n"
      "text as users type them, diagnostics, threads and locks, and\n"
      "operating-system services.\n"
      "\n"
      "This package holds the shared library and its English message texts.")

  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libgnutil-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libgnutil1 (= ${gnutil_deb_version})")
  set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
      "C++ utility library for multibyte text, locale and OS services (development)\n"
      "gnutil gives programs a string value over multibyte text, the East Asian\n"
      "code sets and their conversion, locale settings, date, time and decimal\n"
      "text as users type them, diagnostics, threads and locks, and\n"
      "operating-system services.\n"
      "\n"
      "This package holds the headers, the CMake package, the pkg-config file and\n"
      "the CMake helpers that build language resource libraries.")

  set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME gnutil-tools)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "libgnutil1 (= ${gnutil_deb_version})")
  set(CPACK_COMPONENT_TOOLS_DESCRIPTION
      "command-line tool of the gnutil utility library\n"
      "The gnutil program walks multibyte text by the library's character rules,\n"
      "detects and converts Japanese and Chinese code sets, and shows locale\n"
      "records and typed dates as the library reads them.")

  # Debian wants a copyright file and a changelog in every package's own
  # documentation directory.
  # The release date, fixed so that the packages build alike every time.
  set(gnutil_changelog_date "Sun, 06 Dec 2026 12:00:00 +0000")
  foreach(component runtime development tools)
    string(TOUPPER ${component} upper)
    set(name ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
    set(GNUTIL_DEB_PACKAGE ${name})
    configure_file(cmake/debian/changelog.in ${gnutil_pkg_doc}/${name}/changelog @ONLY)
    execute_process(COMMAND gzip -9nf ${gnutil_pkg_doc}/${name}/changelog)
    configure_file(cmake/debian/copyright ${gnutil_pkg_doc}/${name}/copyright COPYONLY)
    install(FILES ${gnutil_pkg_doc}/${name}/copyright ${gnutil_pkg_doc}/${name}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${name} COMPONENT ${component})
  endforeach()
endif()

include(CPack)
cpack_add_component(runtime DISPLAY_NAME "gnutil library")
cpack_add_component(development DISPLAY_NAME "gnutil development files" DEPENDS runtime)
cpack_add_component(tools DISPLAY_NAME "gnutil tool" DEPENDS runtime)
