# The release download: one zip holding the stripped exe, the sample logo and a
# short read-me, plus a SHA-256 file beside it, and the package managers'
# manifests for it. `cpack` in the Windows build tree makes them
# (scripts/release.sh builds what it needs first).

# Where the release is published, for the manifests. The defaults are the
# maker's placeholder site: set both (here or with -D on the build tree) to the
# real pages before the manifests are published.
set(VELODUSK_HOMEPAGE "https://velodusk.example/" CACHE STRING
  "Velodusk's home page; the manifests' homepage, and where scoop looks for a newer zip's name")
set(VELODUSK_DOWNLOAD_URL "https://velodusk.example/download/" CACHE STRING
  "The folder URL the release zip and its .sha256 are published in; a placeholder until set to where the zip is published")
set(VELODUSK_LICENSE Freeware)

# The version has one definition, the version record of the resource script.
set(velodusk_rc ${PROJECT_SOURCE_DIR}/res/Velodusk.rc)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${velodusk_rc})
file(STRINGS ${velodusk_rc} velodusk_fileversion REGEX "^ *FILEVERSION ")
string(REGEX REPLACE "^ *FILEVERSION +([0-9]+) *, *([0-9]+) *, *([0-9]+) *, *([0-9]+).*$" "\\1.\\2.\\3.\\4"
  VELODUSK_VERSION "${velodusk_fileversion}")
file(STRINGS ${velodusk_rc} velodusk_translation REGEX "\"Translation\"")
string(REGEX REPLACE "^.*\"Translation\" *, *([0-9a-fA-Fx]+) *, *([0-9]+).*$" "\\1;\\2"
  velodusk_translation "${velodusk_translation}")
list(GET velodusk_translation 0 VELODUSK_LANGUAGE)
list(GET velodusk_translation 1 VELODUSK_CODEPAGE)

# The logo's build rule writes it as bin/Logo.gif beside the exe.
set(VELODUSK_LOGO ${CMAKE_BINARY_DIR}/bin/Logo.gif)
# Plain ASCII name (zip tools disagree on the encoding of other names); UTF-8
# with a byte-order mark and CRLF, which Notepad reads on every Windows.
set(VELODUSK_README ${CMAKE_BINARY_DIR}/docs/ReadMe.txt)
configure_file(${PROJECT_SOURCE_DIR}/docs/ReadMe.txt ${VELODUSK_README} @ONLY NEWLINE_STYLE CRLF)
# The names the zip holds, as the package check expects them (the install rules below).
set(VELODUSK_PACKAGE_FILES Velodusk.exe Logo.gif ReadMe.txt)

install(TARGETS Velodusk RUNTIME DESTINATION .)
install(CODE "
  if(NOT EXISTS \"${VELODUSK_LOGO}\")
    message(FATAL_ERROR \"package: ${VELODUSK_LOGO} is missing; the logo is built with the exe (cmake --build . --target Velodusk)\")
  endif()")
install(FILES ${VELODUSK_LOGO} ${VELODUSK_README} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Velodusk)
set(CPACK_PACKAGE_VENDOR Velodusk)
set(CPACK_PACKAGE_VERSION ${VELODUSK_VERSION})
set(CPACK_SYSTEM_NAME win32)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_VERBATIM_VARIABLES ON)
# Packaging builds nothing by itself: release.sh builds only the exe and its logo.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(VELODUSK_PACKAGE_ZIP ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)

# The manifests, written by cmake/Manifests.cmake once the zip is packed.
set(VELODUSK_MANIFESTS ${CPACK_PACKAGE_DIRECTORY}/manifests)
set(CPACK_VELODUSK_MANIFESTS ${VELODUSK_MANIFESTS})
find_package(Python3 REQUIRED COMPONENTS Interpreter)
list(GET VELODUSK_PACKAGE_FILES 0 velodusk_package_exe)
set(CPACK_VELODUSK_MANIFESTS_COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/manifests.py
  --out ${VELODUSK_MANIFESTS} --version ${VELODUSK_VERSION}
  --name ${CPACK_PACKAGE_NAME} --publisher ${CPACK_PACKAGE_VENDOR} --exe ${velodusk_package_exe}
  --homepage ${VELODUSK_HOMEPAGE} --download-url ${VELODUSK_DOWNLOAD_URL} --license ${VELODUSK_LICENSE}
  --readme ${PROJECT_SOURCE_DIR}/docs/ReadMe.txt --about-text ${PROJECT_SOURCE_DIR}/link/AboutText.h)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/Manifests.cmake)
include(CPack)
