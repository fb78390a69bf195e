# The Debian package's own parts: manual pages made from the programs' --help,
# the copyright file, the changelog, and the package fields. Included from
# packaging/CMakeLists.txt before CPack.
include(GNUInstallDirs)

set(KESTRUNE_MAINTAINER "Kestrune developers <kestrune@example.org>" CACHE STRING
    "Maintainer of the Debian package, with a contact address")
set(KESTRUNE_HOMEPAGE "https://kestrune.example.org" CACHE STRING
    "The project's public address, for the package and the AppStream file")
# Versioned, so that the picture a release points at never changes.
set(KESTRUNE_SCREENSHOT_URL "${KESTRUNE_HOMEPAGE}/screenshots/${CPACK_PACKAGE_VERSION}/window.png")
# 1.1.0's release: noon UTC, 6 December 2026.
set(KESTRUNE_RELEASE_EPOCH 1796558400)

set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${KESTRUNE_RELEASE_EPOCH})
string(TIMESTAMP KESTRUNE_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP KESTRUNE_RELEASE_DAY "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")

set(debian ${CMAKE_CURRENT_SOURCE_DIR}/debian)
set(doc ${CMAKE_CURRENT_BINARY_DIR}/doc)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})

# The copyright file carries LICENSE's holder and text, so the two cannot differ.
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/../LICENSE license_lines)
set(KESTRUNE_LICENSE_TEXT "")
set(in_text FALSE)
foreach(line IN LISTS license_lines)
  if(line MATCHES "^Copyright \\(c\\) (.+)$")
    set(KESTRUNE_COPYRIGHT "${CMAKE_MATCH_1}")
    set(in_text TRUE)
  elseif(in_text)
    if(line STREQUAL "")
      string(APPEND KESTRUNE_LICENSE_TEXT " .\n")
    else()
      string(APPEND KESTRUNE_LICENSE_TEXT " ${line}\n")
    endif()
  endif()
endforeach()
if(NOT KESTRUNE_COPYRIGHT)
  message(FATAL_ERROR "LICENSE has no \"Copyright (c)\" line for the Debian copyright file")
endif()
string(REGEX REPLACE "^ \\.\n" "" KESTRUNE_LICENSE_TEXT "${KESTRUNE_LICENSE_TEXT}")
string(REGEX REPLACE "\n$" "" KESTRUNE_LICENSE_TEXT "${KESTRUNE_LICENSE_TEXT}")
configure_file(${debian}/copyright.in ${doc}/copyright @ONLY)
configure_file(${debian}/changelog.in ${doc}/changelog @ONLY)

find_program(KESTRUNE_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${doc}/changelog.gz
  COMMAND ${KESTRUNE_GZIP} -9nfk ${doc}/changelog
  DEPENDS ${doc}/changelog
  VERBATIM)
set(package_docs ${doc}/changelog.gz)

# Manual pages: English in man1, Chinese in zh_CN/man1 (chosen when the user's
# locale is Chinese). They are made by running the built programs.
find_program(KESTRUNE_HELP2MAN help2man)
find_package(Perl)
set(man_programs kestrune-cli)
if(TARGET kestrune)
  list(APPEND man_programs kestrune)
endif()
if(CMAKE_CROSSCOMPILING)
  message(STATUS "No manual pages: the built programs cannot run here")
elseif(NOT KESTRUNE_HELP2MAN OR NOT PERL_FOUND)
  message(WARNING "help2man or perl not found: the package will have no manual pages")
else()
  set(man ${CMAKE_CURRENT_SOURCE_DIR}/man)
  foreach(program IN LISTS man_programs)
    foreach(lang IN ITEMS en zh)
      set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${lang}/${program}.1.gz)
      add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KESTRUNE_RELEASE_EPOCH}
                KESTRUNE_VERSION=${PROJECT_VERSION}
                ${PERL_EXECUTABLE} ${man}/make-manpage.pl ${lang} $<TARGET_FILE:${program}>
                ${man}/help-text.txt ${page} ${man}/${program}.${lang}.h2m
                ${man}/common.${lang}.h2m
        DEPENDS ${program} ${man}/make-manpage.pl ${man}/help-text.txt
                ${man}/${program}.${lang}.h2m ${man}/common.${lang}.h2m
        COMMENT "Manual page ${program}(1), ${lang}"
        VERBATIM)
      list(APPEND package_docs ${page})
    endforeach()
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/en/${program}.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/zh/${program}.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/zh_CN/man1)
  endforeach()
endif()
add_custom_target(package_docs ALL DEPENDS ${package_docs})
install(FILES ${doc}/copyright ${doc}/changelog.gz DESTINATION ${docdir})

if(TARGET kestrune)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/org.kestrune.Kestrune.metainfo.xml.in
                 ${CMAKE_CURRENT_BINARY_DIR}/org.kestrune.Kestrune.metainfo.xml @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/org.kestrune.Kestrune.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KESTRUNE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTRUNE_HOMEPAGE}")
set(CPACK_STRIP_FILES ON)
