# The release a cabinet owner downloads: a zip of the program and its guide in Traditional Chinese
# and in English, with its SHA-256 beside it. `cmake --build --preset windows --target package`.
install(TARGETS orvane_config RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/release/README-zh-TW.txt ${CMAKE_SOURCE_DIR}/release/README-en.txt
    DESTINATION .)

# The files' times in the zip: SOURCE_DATE_EPOCH where it is set, else the commit's, so that every
# build of one commit gives the same zip.
set(ORVANE_COMMIT_TIME "$ENV{SOURCE_DATE_EPOCH}")
if(NOT ORVANE_COMMIT_TIME MATCHES "^[0-9]+$")
    execute_process(COMMAND git log -1 --format=%ct
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        OUTPUT_VARIABLE ORVANE_COMMIT_TIME OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT ORVANE_COMMIT_TIME MATCHES "^[0-9]+$")
    set(ORVANE_COMMIT_TIME 1767225600) # 2026-01-01, for sources without their history
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME orvane_config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME orvane_config-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/release)
set(CPACK_ORVANE_FILE_TIME ${ORVANE_COMMIT_TIME})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/package-file-times.cmake)
# The zip's files, in this order whatever the filesystem lists: the program, then the guides, the
# Traditional Chinese one first.
set(CPACK_ORVANE_ZIP_ORDER orvane_config.exe README-zh-TW.txt README-en.txt)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/package-file-order.cmake)
include(CPack)
