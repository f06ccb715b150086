# SPDX-License-Identifier: MIT
# Fails unless the first <release> of METAINFO is VERSION, so a version bump updates both.
file(READ "${METAINFO}" text)
string(REGEX MATCH "<release version=\"([^\"]*)\" date=\"([0-9-]+)\"" found "${text}")
if(NOT found)
    message(FATAL_ERROR "${METAINFO} lists no release with a date")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "the newest release in ${METAINFO} is ${CMAKE_MATCH_1}, the project is ${VERSION}")
endif()
