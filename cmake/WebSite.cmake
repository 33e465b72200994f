# The site that runs Ahnemetri in a browser, for a build with Qt for WebAssembly.
#
# Included from the top-level CMakeLists.txt after the program target `ahnemetri` exists, in
# place of the desktop packaging. `cmake --install` puts the whole site into the prefix (for
# scripts/web.sh: build/web/site): the page and its script, the loader and the program, the
# icons, the web app manifest, the service worker that keeps all of them for offline use, and
# the licences. Every address in them is relative, so the site works from any folder of any
# static server.

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

# The service worker keeps every file that the page loads; its cache is named after their
# contents, so that a new build is fetched whole.
set(_offline_files index.html start.js qtloader.js ahnemetri.js ahnemetri.wasm
    ahnemetri.webmanifest icons/ahnemetri.svg icons/ahnemetri-32.png icons/ahnemetri-128.png
    icons/ahnemetri-256.png)
install(CODE "
    set(site \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    set(AHNEMETRI_WEB_FILES \"\")
    set(contents \"\")
    foreach(file ${_offline_files})
        string(APPEND AHNEMETRI_WEB_FILES \"'\${file}', \")
        file(SHA256 \"\${site}/\${file}\" sum)
        string(APPEND contents \"\${file} \${sum}\\n\")
    endforeach()
    string(REGEX REPLACE \", \$\" \"\" AHNEMETRI_WEB_FILES \"\${AHNEMETRI_WEB_FILES}\")
    string(SHA256 AHNEMETRI_WEB_FILES_HASH \"\${contents}\")
    string(SUBSTRING \"\${AHNEMETRI_WEB_FILES_HASH}\" 0 16 AHNEMETRI_WEB_FILES_HASH)
    configure_file(\"${_web_sources}/sw.js.in\" \"\${site}/sw.js\" @ONLY)
    message(STATUS \"Service worker: \${site}/sw.js\")
")
