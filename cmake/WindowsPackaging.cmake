# Installation layout of the Windows build (scripts/windows.sh), for the zip and the installer.
#
# Included from Packaging.cmake when building for Windows. The install tree holds everything
# the program loads on a Windows machine with nothing else installed:
#
#   ahnemetri.exe, qt.conf          the program, and where its Qt finds plugins and texts
#   Qt6*.dll, lib*.dll              the Qt libraries and the MinGW runtime it links (all of
#                                   them, like the program, without debug information)
#   plugins/platforms, styles       the window system and style plugins Qt loads at start
#   translations/qtbase_fi.qm       Qt's own texts in Finnish
#   licenses/                       the program's licence, Qt's and those of all it bundles
#
# The Qt for Windows that scripts/windows.sh builds keeps its licences, the licences of the
# code bundled in it and a note of its source in QT6_INSTALL_PREFIX/licenses.

include_guard(GLOBAL)

set(AHNEMETRI_QT_TRANSLATIONS_DIR "/usr/share/qt6/translations" CACHE PATH
    "Where qtbase_fi.qm for the Windows packages is taken from (Debian's qt6-translations-l10n)")
set(AHNEMETRI_QT_LICENSES_DIR "${QT6_INSTALL_PREFIX}/licenses" CACHE PATH
    "Licences of the Windows Qt and of the code bundled in it, and the note of its source")

install(TARGETS ahnemetri RUNTIME DESTINATION .)
# The libraries it links: Qt's, and the MinGW runtime where the cross compiler finds it when
# it links. scripts/windows.sh checks that nothing the program or a plugin loads is missing.
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    DESTINATION .)
# Debian's MinGW runtime carries its debug information (libstdc++-6.dll is 24 MB with it, 4 MB
# without), which no Windows user can use. The build makes copies without it in
# AHNEMETRI_MINGW_RUNTIME_DIR; those are shipped, and the tests under Wine load them too.
if(NOT CMAKE_STRIP)
    message(FATAL_ERROR "No strip for the MinGW runtime libraries (CMAKE_STRIP)")
endif()
set(AHNEMETRI_MINGW_RUNTIME_DIR "${CMAKE_BINARY_DIR}/mingw-runtime")
file(MAKE_DIRECTORY "${AHNEMETRI_MINGW_RUNTIME_DIR}")
set(runtime_libraries)
foreach(library libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    if(NOT IS_ABSOLUTE "${path}")
        message(FATAL_ERROR "The MinGW runtime library ${library} is not found")
    endif()
    set(lean "${AHNEMETRI_MINGW_RUNTIME_DIR}/${library}")
    # --preserve-dates: the copy keeps the time stamp of Debian's file, build after build.
    add_custom_command(OUTPUT "${lean}"
        COMMAND "${CMAKE_STRIP}" --strip-debug --preserve-dates -o "${lean}" "${path}"
        DEPENDS "${path}" COMMENT "Copying ${library} without its debug information" VERBATIM)
    list(APPEND runtime_libraries "${lean}")
endforeach()
add_custom_target(mingw_runtime ALL DEPENDS ${runtime_libraries})
install(FILES ${runtime_libraries} DESTINATION .)

foreach(plugin IN ITEMS platforms/QWindowsIntegrationPlugin styles/QWindowsVistaStylePlugin)
    cmake_path(GET plugin PARENT_PATH kind)
    cmake_path(GET plugin FILENAME target)
    install(FILES $<TARGET_FILE:Qt6::${target}> DESTINATION plugins/${kind})
endforeach()

file(WRITE "${AHNEMETRI_GENERATED_DIR}/qt.conf" "[Paths]\nPlugins = plugins\nTranslations = translations\n")
install(FILES "${AHNEMETRI_GENERATED_DIR}/qt.conf" DESTINATION .)
install(FILES "${AHNEMETRI_QT_TRANSLATIONS_DIR}/qtbase_fi.qm" DESTINATION translations)

install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION licenses RENAME ahnemetri-LICENSE.txt)
install(DIRECTORY "${AHNEMETRI_QT_LICENSES_DIR}/" DESTINATION licenses/qt)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright
    DESTINATION licenses/mingw-w64 RENAME gcc-runtime-copyright.txt)
install(FILES /usr/share/doc/mingw-w64-common/copyright
    DESTINATION licenses/mingw-w64 RENAME winpthreads-copyright.txt)

# The installer: a script of its own for NSIS (64-bit, per machine), built by scripts/windows.sh
# from the same install tree as the zip.
configure_file("${CMAKE_CURRENT_LIST_DIR}/ahnemetri.nsi.in" "${AHNEMETRI_GENERATED_DIR}/ahnemetri.nsi" @ONLY)
