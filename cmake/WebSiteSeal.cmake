# Makes a site folder whose files are all in place one build of the page, ready to publish:
#
#   cmake -DSITE=folder -P cmake/WebSiteSeal.cmake
#
# Run by the site's installation (cmake/WebSite.cmake) and by the browser tests, which publish a
# second build over a first. In this order:
# 1. The page learns the size of the program's .wasm file (the attribute data-wasm-bytes of its
#    start script), so that its download progress is right whether the host compresses the file
#    on the way or not.
# 2. The service worker (sw.js, from src/resources/web/sw.js.in) lists every file of the build
#    with its SHA-256: the page, its scripts, the program, the manifest and the icons, that is
#    every file but the worker itself, the licences and compressed copies. The build is named
#    after that list.
# 3. Each file worth compressing gets compressed copies beside it, for hosts that serve them as
#    they are: FILE.gz (gzip -9) and FILE.br (brotli -q 11). Pictures in PNG are compressed
#    already.

cmake_minimum_required(VERSION 3.25)
if(NOT IS_DIRECTORY "${SITE}")
    message(FATAL_ERROR "WebSiteSeal: SITE=${SITE} is not a folder")
endif()
# A relative folder (cmake --install --prefix build/web/site) is taken from the working folder,
# as the installation takes it; the file globs below need it whole.
cmake_path(ABSOLUTE_PATH SITE NORMALIZE)
cmake_path(SET _template NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../src/resources/web/sw.js.in")

# 1. The program's size, in the page.
file(GLOB _wasm "${SITE}/*.wasm")
list(LENGTH _wasm _count)
if(NOT _count EQUAL 1)
    message(FATAL_ERROR "WebSiteSeal: expected one .wasm file in ${SITE}, found ${_count}")
endif()
file(SIZE "${_wasm}" _wasm_bytes)
file(READ "${SITE}/index.html" _page)
string(REGEX REPLACE "data-wasm-bytes=\"[0-9]*\"" "data-wasm-bytes=\"${_wasm_bytes}\"" _page
    "${_page}")
file(WRITE "${SITE}/index.html" "${_page}")

# 2. The service worker with the build's files.
file(GLOB_RECURSE _files RELATIVE "${SITE}" "${SITE}/*")
list(FILTER _files EXCLUDE REGEX "^(sw\\.js|licenses/.*|.*\\.gz|.*\\.br)$")
list(SORT _files)
if(NOT "index.html" IN_LIST _files)
    message(FATAL_ERROR "WebSiteSeal: no page among the files of ${SITE}: ${_files}")
endif()
set(AHNEMETRI_WEB_FILES "")
foreach(_file IN LISTS _files)
    file(SHA256 "${SITE}/${_file}" _sum)
    string(APPEND AHNEMETRI_WEB_FILES "\n    '${_file}': '${_sum}',")
endforeach()
string(SHA256 AHNEMETRI_WEB_BUILD "${AHNEMETRI_WEB_FILES}")
string(SUBSTRING "${AHNEMETRI_WEB_BUILD}" 0 16 AHNEMETRI_WEB_BUILD)
configure_file("${_template}" "${SITE}/sw.js" @ONLY)

# 3. Compressed copies, made anew.
file(GLOB_RECURSE _stale "${SITE}/*.gz" "${SITE}/*.br")
if(_stale)
    file(REMOVE ${_stale})
endif()
find_program(AHNEMETRI_GZIP gzip REQUIRED)
find_program(AHNEMETRI_BROTLI brotli REQUIRED)
list(APPEND _files sw.js)
foreach(_file IN LISTS _files)
    if(_file MATCHES "\\.png$")
        continue()
    endif()
    execute_process(COMMAND "${AHNEMETRI_GZIP}" -9 --no-name --keep --force "${SITE}/${_file}"
        COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND "${AHNEMETRI_BROTLI}" -q 11 --keep --force "${SITE}/${_file}"
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
message(STATUS "Site sealed: ${SITE}, build ${AHNEMETRI_WEB_BUILD}")
