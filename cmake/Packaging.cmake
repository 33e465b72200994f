# Installation layout and packaging of the program.
#
# Included from the top-level CMakeLists.txt after the program target `ahnemetri` exists:
# installs the executable and, on freedesktop systems, the launcher, the AppStream metadata and
# the icons; on Windows it adds the icon and the version record to the program file. The last
# step configures CPack, which builds a Debian package with `cpack -G DEB`.

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

# --- Windows: icon and version information of the program file ---------------------------------

if(WIN32)
    # The MSVC and MinGW toolchains normally enable RC on their own; this makes sure.
    enable_language(RC)
endif()

# Adds ahnemetri.rc to a target's sources on Windows; does nothing elsewhere. The icon path in
# the script is relative to its own folder, which is put on the resource compiler's include path
# so that every resource compiler finds it whatever its working directory.
function(ahnemetri_add_windows_resources target)
    if(WIN32)
        get_target_property(already ${target} AHNEMETRI_WINDOWS_RESOURCES)
        if(already)
            return()
        endif()
        set(rc "${AHNEMETRI_DESKTOP_DIR}/ahnemetri.rc")
        target_sources(${target} PRIVATE "${rc}")
        set_property(SOURCE "${rc}" TARGET_DIRECTORY ${target}
            APPEND PROPERTY INCLUDE_DIRECTORIES "${AHNEMETRI_DESKTOP_DIR}")
        set_property(SOURCE "${rc}" TARGET_DIRECTORY ${target}
            APPEND PROPERTY OBJECT_DEPENDS "${AHNEMETRI_ICONS_DIR}/ahnemetri.ico")
        set_target_properties(${target} PROPERTIES AHNEMETRI_WINDOWS_RESOURCES ON)
    endif()
endfunction()

ahnemetri_add_windows_resources(ahnemetri)

# --- Installation -------------------------------------------------------------------------------

install(TARGETS ahnemetri RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
    install(FILES "${AHNEMETRI_DESKTOP_DIR}/${AHNEMETRI_APP_ID}.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES "${AHNEMETRI_DESKTOP_DIR}/${AHNEMETRI_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES "${AHNEMETRI_ICONS_DIR}/ahnemetri.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size IN LISTS AHNEMETRI_ICON_SIZES)
        set(png "${AHNEMETRI_ICONS_DIR}/hicolor/${size}x${size}/apps/ahnemetri.png")
        if(NOT EXISTS "${png}")
            message(FATAL_ERROR "Missing application icon ${png}")
        endif()
        install(FILES "${png}" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
endif()

# --- CPack --------------------------------------------------------------------------------------

set(CPACK_PACKAGE_NAME "ahnemetri")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Koodari Meikäläinen")
set(CPACK_PACKAGE_CONTACT "Koodari Meikäläinen <koodari@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "humorous Finnish quiz that measures greed for money")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Ahnemetri")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR "ZIP")
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
# CPack puts the summary above this as the first line of the Description field.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ahnemetri is a light-hearted desktop quiz in Finnish. The user types a
name, answers 25 questions and gets a percentage, a meter reading and one
of eleven written diagnoses of how greedy for money they are.")
# The Qt libraries are named explicitly so that the package is right even where
# dpkg-shlibdeps is missing; where it exists, its findings are added to these.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), qt6-qpa-plugins")
find_program(AHNEMETRI_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(AHNEMETRI_DPKG_SHLIBDEPS)
if(AHNEMETRI_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
endif()

set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/\\\\.cache/")

include(CPack)
