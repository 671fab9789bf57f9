# Run by CPack between staging the files and zipping them: every staged file gets the commit's time,
# and the zip's DOS times are written in UTC, whatever the machine's time zone.
set(ENV{TZ} UTC)
file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(path IN LISTS staged)
    execute_process(COMMAND touch -h -d @${CPACK_ORVANE_FILE_TIME} "${path}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
