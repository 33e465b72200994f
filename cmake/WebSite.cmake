# The site that runs Ahnemetri in a browser, for a build with Qt for WebAssembly.
#
# Included from the top-level CMakeLists.txt after the program target `ahnemetri` exists, in
# place of the desktop packaging. `cmake --install` puts the whole site into the prefix (for
# scripts/web.sh: build/web/site): the page and its script, the loader and the program, the
# icons, the web app manifest, the service worker that keeps all of them for offline use,
# compressed copies of them for hosts that serve those, and the licences. Every address in them
# is relative, so the site works from any folder of any static server.

include_guard(GLOBAL)

cmake_path(SET _web_sources NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../src/resources/web")
cmake_path(SET _icons NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../src/resources/icons")
set(_generated "${PROJECT_BINARY_DIR}/web")
set(AHNEMETRI_WEB_TITLE "Ahnemetri ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(AHNEMETRI_WEB_PROGRAM ahnemetri)

configure_file("${_web_sources}/index.html.in" "${_generated}/index.html" @ONLY)
configure_file("${_web_sources}/ahnemetri.webmanifest.in" "${_generated}/ahnemetri.webmanifest" @ONLY)

set(_program_dir "$<TARGET_FILE_DIR:ahnemetri>")
install(FILES "${_generated}/index.html" "${_generated}/ahnemetri.webmanifest"
    "${_web_sources}/start.js" "${_program_dir}/ahnemetri.js" "${_program_dir}/ahnemetri.wasm"
    "${_program_dir}/qtloader.js"
    DESTINATION .)
install(FILES "${_icons}/ahnemetri.svg" "${_icons}/ahnemetri-32.png" DESTINATION icons)
foreach(size 128 256)
    install(FILES "${_icons}/hicolor/${size}x${size}/apps/ahnemetri.png"
        RENAME ahnemetri-${size}.png DESTINATION icons)
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" RENAME ahnemetri-LICENSE.txt DESTINATION licenses)

# Once every file is in place: the program's size in the page, the service worker that keeps
# the build's files, and the compressed copies (cmake/WebSiteSeal.cmake).
install(CODE "
    set(SITE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/WebSiteSeal.cmake\")
")
