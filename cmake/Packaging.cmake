# Installation layout and packaging of the program.
#
# Included from the top-level CMakeLists.txt after the program target `ahnemetri` exists:
# installs the executable and, on freedesktop systems, the launcher, the AppStream metadata, the
# icons, the manual page, the licence and the changelog; on Windows it adds the icon and the
# version record to the program file. The last step configures CPack, which builds a Debian
# package with `cpack -G DEB`.
#
# The version comes from project() alone; the release date from the newest entry of CHANGELOG.

include_guard(GLOBAL)
include(GNUInstallDirs)

if(NOT TARGET ahnemetri)
    message(FATAL_ERROR "Packaging.cmake must be included after the target 'ahnemetri' is defined")
endif()

cmake_path(SET AHNEMETRI_RESOURCES_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../src/resources")
set(AHNEMETRI_DESKTOP_DIR "${AHNEMETRI_RESOURCES_DIR}/desktop")
set(AHNEMETRI_ICONS_DIR "${AHNEMETRI_RESOURCES_DIR}/icons")
set(AHNEMETRI_APP_ID "org.ahnemetri.Ahnemetri")
set(AHNEMETRI_ICON_SIZES 16 24 32 48 64 128 256)
set(AHNEMETRI_GENERATED_DIR "${PROJECT_BINARY_DIR}/packaging")
set(AHNEMETRI_MAINTAINER "Koodari Meikäläinen <koodari@example.org>")
# A game: Debian puts games in /usr/games, with their manual pages in section 6.
set(AHNEMETRI_INSTALL_GAMESDIR "games" CACHE STRING
    "Where the program is installed, relative to the prefix (bin for a prefix such as ~/.local)")

# --- Release: version and date ------------------------------------------------------------------

# AHNEMETRI_RELEASE_DATE and AHNEMETRI_SOURCE_DATE_EPOCH come from cmake/Release.cmake, which the
# top-level CMakeLists.txt includes before the program's targets.

# The Windows version record writes the version as major.minor, the minor in two digits.
string(LENGTH "${PROJECT_VERSION_MINOR}" _digits)
if(_digits EQUAL 1)
    set(AHNEMETRI_RC_VERSION "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
    set(AHNEMETRI_RC_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()
configure_file("${AHNEMETRI_DESKTOP_DIR}/ahnemetri.rc.in" "${AHNEMETRI_GENERATED_DIR}/ahnemetri.rc" @ONLY)

# AppStream 1.0 (Debian 13) names the developer in <developer> and deprecates <developer_name>;
# 0.16 (Debian 12) knows only <developer_name>. Strict validation of either version rejects the
# other form, so the metadata follows the AppStream of the system it is built for.
set(AHNEMETRI_APPSTREAM_VERSION "" CACHE STRING
    "AppStream version the metadata is written for (empty: that of appstreamcli, or 1.0 without it)")
set(_appstream "${AHNEMETRI_APPSTREAM_VERSION}")
if(NOT _appstream)
    set(_appstream 1.0)
    find_program(AHNEMETRI_APPSTREAMCLI appstreamcli)
    mark_as_advanced(AHNEMETRI_APPSTREAMCLI)
    if(AHNEMETRI_APPSTREAMCLI)
        execute_process(COMMAND "${AHNEMETRI_APPSTREAMCLI}" --version
            OUTPUT_VARIABLE _output ERROR_QUIET)
        if(_output MATCHES "([0-9]+\\.[0-9]+(\\.[0-9]+)?)")
            set(_appstream ${CMAKE_MATCH_1})
        endif()
    endif()
endif()
set(_developer "The Ahnemetri developers")
if(_appstream VERSION_LESS 1.0)
    set(AHNEMETRI_METAINFO_DEVELOPER "<developer_name>${_developer}</developer_name>")
else()
    set(AHNEMETRI_METAINFO_DEVELOPER
        "<developer id=\"example.ahnemetri\">\n    <name>${_developer}</name>\n  </developer>")
endif()
set(AHNEMETRI_METAINFO "${AHNEMETRI_GENERATED_DIR}/${AHNEMETRI_APP_ID}.metainfo.xml")
configure_file("${AHNEMETRI_DESKTOP_DIR}/${AHNEMETRI_APP_ID}.metainfo.xml.in" "${AHNEMETRI_METAINFO}" @ONLY)

# --- Windows: icon and version information of the program file ---------------------------------

if(WIN32)
    # The MSVC and MinGW toolchains normally enable RC on their own; this makes sure.
    enable_language(RC)
endif()

# Adds ahnemetri.rc to a target's sources on Windows; does nothing elsewhere. The script names
# the icon by its full path, so that every resource compiler finds it whatever its working
# directory.
function(ahnemetri_add_windows_resources target)
    if(WIN32)
        get_target_property(already ${target} AHNEMETRI_WINDOWS_RESOURCES)
        if(already)
            return()
        endif()
        set(rc "${AHNEMETRI_GENERATED_DIR}/ahnemetri.rc")
        target_sources(${target} PRIVATE "${rc}")
        set_property(SOURCE "${rc}" TARGET_DIRECTORY ${target}
            APPEND PROPERTY OBJECT_DEPENDS "${AHNEMETRI_ICONS_DIR}/ahnemetri.ico")
        set_target_properties(${target} PROPERTIES AHNEMETRI_WINDOWS_RESOURCES ON)
    endif()
endfunction()

ahnemetri_add_windows_resources(ahnemetri)

# --- Installation -------------------------------------------------------------------------------

if(UNIX AND NOT APPLE)
    # The system's libraries are found without a search path of the program's own.
    set_target_properties(ahnemetri PROPERTIES INSTALL_RPATH "")
    install(TARGETS ahnemetri RUNTIME DESTINATION ${AHNEMETRI_INSTALL_GAMESDIR})
    # A stripped install (cpack, cmake --install --strip) also drops the compiler's notes, as
    # Debian's own packages do.
    if(CMAKE_STRIP)
        install(CODE "
            if(CMAKE_INSTALL_DO_STRIP)
                execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${AHNEMETRI_INSTALL_GAMESDIR}/$<TARGET_FILE_NAME:ahnemetri>\")
            endif()")
    endif()
elseif(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackaging.cmake)
else()
    install(TARGETS ahnemetri RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(UNIX AND NOT APPLE)
    install(FILES "${AHNEMETRI_DESKTOP_DIR}/${AHNEMETRI_APP_ID}.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES "${AHNEMETRI_METAINFO}" DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    # The icon under the program's name (the launcher's Icon=) and under the application id,
    # which docks and Wayland compositors look up first.
    foreach(name ahnemetri ${AHNEMETRI_APP_ID})
        install(FILES "${AHNEMETRI_ICONS_DIR}/ahnemetri.svg" RENAME ${name}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
        foreach(size IN LISTS AHNEMETRI_ICON_SIZES)
            set(png "${AHNEMETRI_ICONS_DIR}/hicolor/${size}x${size}/apps/ahnemetri.png")
            if(NOT EXISTS "${png}")
                message(FATAL_ERROR "Missing application icon ${png}")
            endif()
            install(FILES "${png}" RENAME ${name}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
        endforeach()
    endforeach()

    # The manual page and the changelog, compressed as Debian wants them (gzip -9, no name or
    # time stamp inside), and the licence as a machine-readable Debian copyright file.
    find_program(AHNEMETRI_GZIP gzip REQUIRED)
    mark_as_advanced(AHNEMETRI_GZIP)
    configure_file("${PROJECT_SOURCE_DIR}/docs/ahnemetri.6.in" "${AHNEMETRI_GENERATED_DIR}/ahnemetri.6" @ONLY)
    configure_file("${AHNEMETRI_CHANGELOG}" "${AHNEMETRI_GENERATED_DIR}/changelog" COPYONLY)
    execute_process(COMMAND "${AHNEMETRI_GZIP}" -9 -n -f -k ahnemetri.6 changelog
        WORKING_DIRECTORY "${AHNEMETRI_GENERATED_DIR}" COMMAND_ERROR_IS_FATAL ANY)

    set(_license_file "${PROJECT_SOURCE_DIR}/LICENSE")
    file(READ "${_license_file}" _license)
    if(NOT _license MATCHES "Copyright \\(c\\) ([^\n]+)\n(.*)$")
        message(FATAL_ERROR "No copyright line in ${_license_file}")
    endif()
    set(AHNEMETRI_COPYRIGHT_HOLDERS "${CMAKE_MATCH_1}")
    # The licence text as a field body: every line indented, an empty line written as ".".
    string(STRIP "${CMAKE_MATCH_2}" _grant)
    string(REPLACE "\n\n" "\n.\n" _grant "${_grant}")
    string(REPLACE "\n" "\n " AHNEMETRI_LICENSE_TEXT "${_grant}")
    configure_file("${CMAKE_CURRENT_LIST_DIR}/copyright.in" "${AHNEMETRI_GENERATED_DIR}/copyright" @ONLY)

    install(FILES "${AHNEMETRI_GENERATED_DIR}/ahnemetri.6.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    install(FILES "${AHNEMETRI_GENERATED_DIR}/copyright" "${AHNEMETRI_GENERATED_DIR}/changelog.gz"
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/ahnemetri)
endif()

# --- CPack --------------------------------------------------------------------------------------

set(CPACK_PACKAGE_NAME "ahnemetri")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Ahnemetri developers")
set(CPACK_PACKAGE_CONTACT "${AHNEMETRI_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "humorous Finnish quiz that measures greed for money")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Ahnemetri")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR "ZIP")
    set(CPACK_PACKAGE_FILE_NAME "ahnemetri-${PROJECT_VERSION}-win64")
elseif(UNIX AND NOT APPLE)
    set(CPACK_GENERATOR "DEB")
else()
    set(CPACK_GENERATOR "TGZ")
endif()

set(CPACK_DEBIAN_PACKAGE_NAME "ahnemetri")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ahnemetri.example/")
# CPack puts the summary above this as the first line of the Description field.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ahnemetri is a light-hearted desktop quiz in Finnish. The user types a
name, answers 25 questions and gets a percentage, a meter reading and one
of eleven written diagnoses of how greedy for money they are.")
# What the program loads at run time, which dpkg-shlibdeps cannot see: the window system
# plugins and Qt's Finnish texts. The libraries it links come from dpkg-shlibdeps; only where
# that is missing are they named here instead.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
find_program(AHNEMETRI_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(AHNEMETRI_DPKG_SHLIBDEPS)
if(AHNEMETRI_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
    string(PREPEND CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), ")
endif()

# Every time stamp of the package (its archives' members and the files in them) is the
# release's, whenever it is made: CPack's DEB generator takes it from SOURCE_DATE_EPOCH.
set(_cpack_config "${AHNEMETRI_GENERATED_DIR}/CPackProjectConfig.cmake")
file(CONFIGURE OUTPUT "${_cpack_config}"
    CONTENT "set(ENV{SOURCE_DATE_EPOCH} @AHNEMETRI_SOURCE_DATE_EPOCH@)\n" @ONLY)
set(CPACK_PROJECT_CONFIG_FILE "${_cpack_config}")

set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/\\\\.cache/")

include(CPack)
