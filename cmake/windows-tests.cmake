# The shipped program starts on Windows XP SP3: it imports nothing that XP lacks.
add_test(NAME xp_imports
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-xp-imports.sh $<TARGET_FILE:orvane_config> ${CMAKE_OBJDUMP} ${CMAKE_C_COMPILER})

# Its manifest is one that XP's loader accepts, and declares the DPI awareness Vista to 11 read.
add_test(NAME manifest_xp
    COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/check-manifest.py ${ORVANE_GENERATED_DIR}/orvane_config.manifest)

# Windows test programs, each one CTest test run under Wine in a session of the build's own.
set(WINE_SESSION ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh)
add_test(NAME wine_session_start COMMAND ${WINE_SESSION} start ${CMAKE_BINARY_DIR})
add_test(NAME wine_session_stop COMMAND ${WINE_SESSION} stop ${CMAKE_BINARY_DIR})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)

# A filter that selects no test passes in GoogleTest: a run of one test by a filter passes only when
# that test ran and passed.
set(ONE_TEST_PASSED "\\[  PASSED  \\] 1 test\\.")

function(add_wine_test name program)
    add_test(NAME ${name} COMMAND ${program} ${ARGN})
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED wine
        ENVIRONMENT "ORVANE_BUILD_DIR=${CMAKE_BINARY_DIR}"
        TIMEOUT 600)
endfunction()

# Wine takes the system code page from the locale when a process starts: LC_ALL=zh_TW.UTF-8 gives 950
# (Big5), as on Traditional Chinese Windows, with no Linux locale installed (LANG alone did not, here).
# A program started from a Wine process keeps its parent's, whatever environment block it is given.
function(add_big5_wine_test name program)
    add_wine_test(${name} ${program} ${ARGN})
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT LC_ALL=zh_TW.UTF-8)
endfunction()

add_executable(core_tests ${CORE_TEST_SOURCES} test_support_win.cpp ${ORVANE_RESOURCE_DIR}/orvane_config.rc)
target_link_libraries(core_tests PRIVATE orvane_platform GTest::gtest_main)
target_compile_options(core_tests PRIVATE ${ORVANE_WARNINGS})
add_wine_test(core_tests core_tests)

add_executable(dialog_tests
    test_support.cpp
    test_support_win.cpp
    dialog_template_test.cpp
    key_names_test.cpp
    settings_dialog_test.cpp
    ${ORVANE_RESOURCE_DIR}/orvane_config.rc)
target_link_libraries(dialog_tests PRIVATE orvane_platform GTest::gtest_main)
target_compile_options(dialog_tests PRIVATE ${ORVANE_WARNINGS})
add_wine_test(dialog_tests dialog_tests --gtest_filter=-ScaledDialog.*)
add_big5_wine_test(dialog_tests_big5 dialog_tests --gtest_filter=*InTheSystemsCodePage*)
set_tests_properties(dialog_tests_big5 PROPERTIES PASS_REGULAR_EXPRESSION "${ONE_TEST_PASSED}")

# The program is DPI aware: at the screen's DPI the dialog grows with its font. Wine reads the DPI when
# a process starts: a session whose desktop is at each DPI, on a screen the dialog fits at 200 %.
function(add_dpi_test dpi screen)
    set(dir ${CMAKE_BINARY_DIR}/dpi-${dpi})
    add_test(NAME dpi_${dpi}_start COMMAND ${WINE_SESSION} start ${dir} ${screen} "" ${dpi})
    add_test(NAME dpi_${dpi}_stop COMMAND ${WINE_SESSION} stop ${dir})
    set_tests_properties(dpi_${dpi}_start PROPERTIES FIXTURES_SETUP dpi_${dpi} FIXTURES_REQUIRED wine)
    set_tests_properties(dpi_${dpi}_stop PROPERTIES FIXTURES_CLEANUP dpi_${dpi})
    # The banner and the controls at that DPI, and every caption fitting, in English, the longer.
    add_test(NAME dialog_tests_${dpi}_dpi COMMAND dialog_tests --gtest_filter=ScaledDialog.*:*CaptionIsEnglish*)
    set_tests_properties(dialog_tests_${dpi}_dpi PROPERTIES FIXTURES_REQUIRED dpi_${dpi}
        ENVIRONMENT "ORVANE_BUILD_DIR=${dir};ORVANE_DPI=${dpi}"
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 2 tests\\." TIMEOUT 600)
endfunction()
add_dpi_test(120 1280x1024)
add_dpi_test(144 1920x1440)
add_dpi_test(192 2560x2048)

# Starts the real program; slow, so labelled to be run alone or left out.
add_executable(e2e_tests test_support.cpp e2e_support.cpp e2e_test.cpp e2e_faults_test.cpp e2e_cabinet_test.cpp)
target_link_libraries(e2e_tests PRIVATE orvane_core GTest::gtest dinput8 dxguid)
target_compile_options(e2e_tests PRIVATE ${ORVANE_WARNINGS})
add_wine_test(e2e_tests e2e_tests $<TARGET_FILE:orvane_config> --gtest_filter=-SmallScreen.*)


# A 640 x 480 screen whose taskbar leaves a work area 432 pixels high (a 48 px taskbar, which
# Microsoft's guidelines plan for) or 450 (XP's 30 px), each in a session of its own: Wine reads the
# work area of the display its wineserver started with.
function(add_small_screen_test work_area_height)
    set(dir ${CMAKE_BINARY_DIR}/small-screen-${work_area_height})
    add_test(NAME small_screen_${work_area_height}_start COMMAND ${WINE_SESSION} start ${dir} 640x480 ${work_area_height})
    add_test(NAME small_screen_${work_area_height}_stop COMMAND ${WINE_SESSION} stop ${dir})
    set_tests_properties(small_screen_${work_area_height}_start PROPERTIES
        FIXTURES_SETUP small_screen_${work_area_height} FIXTURES_REQUIRED wine)
    set_tests_properties(small_screen_${work_area_height}_stop PROPERTIES
        FIXTURES_CLEANUP small_screen_${work_area_height})
    add_test(NAME e2e_tests_small_screen_${work_area_height}
        COMMAND e2e_tests $<TARGET_FILE:orvane_config> --gtest_filter=SmallScreen.*)
    set_tests_properties(e2e_tests_small_screen_${work_area_height} PROPERTIES
        FIXTURES_REQUIRED small_screen_${work_area_height}
        ENVIRONMENT "ORVANE_BUILD_DIR=${dir};ORVANE_WORK_AREA_HEIGHT=${work_area_height}"
        LABELS e2e
        PASS_REGULAR_EXPRESSION "${ONE_TEST_PASSED}"
        TIMEOUT 600)
endfunction()
add_small_screen_test(432)
add_small_screen_test(450)
set_tests_properties(e2e_tests PROPERTIES LABELS e2e)
