# Run by CPack once it has made the zip: the zip is made again from the same staged files, in the
# fixed order CPACK_ORVANE_ZIP_ORDER. CPack takes the files in the order the staging folder lists
# them, which is the filesystem's (a hash order on ext4, creation order on tmpfs), so two builds of
# the same sources on different filesystems would give different zips. `cmake -E tar` writes each
# entry as CPack does: the same times (set before packing, in UTC), modes and owner numbers.
set(ENV{TZ} UTC)
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${zip}" --format=zip -- ${CPACK_ORVANE_ZIP_ORDER}
        WORKING_DIRECTORY "${CPACK_TEMPORARY_INSTALL_DIRECTORY}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
