# The release the sources describe, read from the newest entry of CHANGELOG, which is in
# Debian's format as the package carries it: the version it names, its date
# (AHNEMETRI_RELEASE_DATE, YYYY-MM-DD) and its moment as seconds since 1970
# (AHNEMETRI_SOURCE_DATE_EPOCH). Builds and packages take their time stamps from the latter, so
# that the same sources give the same files whenever and wherever they are built; a
# SOURCE_DATE_EPOCH set in the environment comes first, as reproducible-builds.org asks.
#
# Included from the top-level CMakeLists.txt before the program's targets, which need the time
# for their compiled-in resources.

set(AHNEMETRI_CHANGELOG "${PROJECT_SOURCE_DIR}/CHANGELOG")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${AHNEMETRI_CHANGELOG}")
file(STRINGS "${AHNEMETRI_CHANGELOG}" _entries ENCODING UTF-8 REGEX "^ahnemetri \\(")
file(STRINGS "${AHNEMETRI_CHANGELOG}" _trailers ENCODING UTF-8 REGEX "^ -- ")
list(GET _entries 0 _entry)
list(GET _trailers 0 _trailer)
if(NOT _entry MATCHES "^ahnemetri \\(${PROJECT_VERSION}\\)")
    message(WARNING "The newest entry of CHANGELOG is not version ${PROJECT_VERSION}: ${_entry}")
endif()
if(NOT _trailer MATCHES
   ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ([0-9][0-9]):([0-9][0-9]):([0-9][0-9]) ([+-])([0-9][0-9])([0-9][0-9])$")
    message(FATAL_ERROR "No date in the newest entry of CHANGELOG: ${_trailer}")
endif()
set(_day ${CMAKE_MATCH_1})
set(_year ${CMAKE_MATCH_3})
set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND _months ${CMAKE_MATCH_2} _month)
math(EXPR _month "${_month} + 1")
string(LENGTH "${_month}" _digits)
if(_digits EQUAL 1)
    set(_month "0${_month}")
endif()
set(AHNEMETRI_RELEASE_DATE "${_year}-${_month}-${_day}")

# Seconds since 1970-01-01 00:00 UTC: the days since then by the proleptic Gregorian calendar
# (a year counted from March, so that the leap day comes last), then the time of day, less the
# zone's offset. A "1" in front keeps leading zeros from making a number octal.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(AHNEMETRI_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    math(EXPR _d "1${_day} - 100")
    math(EXPR _m "1${_month} - 100")
    set(_y ${_year})
    if(_m LESS_EQUAL 2)
        math(EXPR _y "${_y} - 1")
        math(EXPR _m "${_m} + 9")
    else()
        math(EXPR _m "${_m} - 3")
    endif()
    math(EXPR _days "${_y} * 365 + ${_y} / 4 - ${_y} / 100 + ${_y} / 400 + (153 * ${_m} + 2) / 5 + ${_d} - 1 - 719468")
    math(EXPR _seconds "(1${CMAKE_MATCH_4} - 100) * 3600 + (1${CMAKE_MATCH_5} - 100) * 60 + 1${CMAKE_MATCH_6} - 100")
    math(EXPR _offset "(1${CMAKE_MATCH_8} - 100) * 3600 + (1${CMAKE_MATCH_9} - 100) * 60")
    if(CMAKE_MATCH_7 STREQUAL "+")
        math(EXPR AHNEMETRI_SOURCE_DATE_EPOCH "${_days} * 86400 + ${_seconds} - ${_offset}")
    else()
        math(EXPR AHNEMETRI_SOURCE_DATE_EPOCH "${_days} * 86400 + ${_seconds} + ${_offset}")
    endif()
endif()
