# The Debian package: `cpack -G DEB` in the build folder makes folverin_<version>_<arch>.deb
# of what the install rules lay out under /usr, with the documents Debian asks of every package.
set(FOLVERIN_DEBIAN_DIR ${CMAKE_SOURCE_DIR}/res/debian)
set(FOLVERIN_METAINFO ${CMAKE_SOURCE_DIR}/res/desktop/example.corvanta.folverin.metainfo.xml)

# project() holds the version; the Debian changelog (with the package's revision) and the
# AppStream release must name it too.
set(FOLVERIN_DEBIAN_REVISION 1)
set(FOLVERIN_DEBIAN_VERSION ${PROJECT_VERSION}-${FOLVERIN_DEBIAN_REVISION})
file(STRINGS ${FOLVERIN_DEBIAN_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^folverin \\(${FOLVERIN_DEBIAN_VERSION}\\) ")
  message(FATAL_ERROR "res/debian/changelog must start with version ${FOLVERIN_DEBIAN_VERSION}: ${changelog_head}")
endif()
file(READ ${FOLVERIN_METAINFO} metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" _ "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "${FOLVERIN_METAINFO} must name release ${PROJECT_VERSION} first, not '${CMAKE_MATCH_1}'")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${FOLVERIN_DEBIAN_DIR}/changelog ${FOLVERIN_METAINFO})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME folverin)
set(CPACK_PACKAGE_VENDOR Corvanta)
set(CPACK_PACKAGE_CONTACT "Corvanta <support@corvanta.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert PDF files to plain text or simple HTML, many at a time")
set(CPACK_PACKAGE_DESCRIPTION
    "Folverin converts PDF documents to plain-text or simple HTML files, in a
window with a job list or from a terminal and scripts (folverin-cli). The
text is the one pdftotext extracts with the same options, in 18 output
encodings; scanned pages are read by text recognition. Conversion runs in
worker processes on every core, so a broken document costs only its own job.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${FOLVERIN_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.corvanta.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Scanned pages are read with English and turned upright with these models.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tesseract-ocr-eng, tesseract-ocr-osd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_FOLVERIN_DEBIAN_DIR ${FOLVERIN_DEBIAN_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebianDocuments.cmake)
include(CPack)
