# The Windows program: platform code, resources, and a static link that needs no MinGW DLL.
enable_language(RC)

set(ORVANE_RESOURCE_DIR ${CMAKE_SOURCE_DIR}/resources)
# The version resource and the manifest take the version from project().
set(ORVANE_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(ORVANE_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
configure_file(${ORVANE_RESOURCE_DIR}/version.h.in ${ORVANE_GENERATED_DIR}/version.h @ONLY)
configure_file(${ORVANE_RESOURCE_DIR}/orvane_config.manifest.in ${ORVANE_GENERATED_DIR}/orvane_config.manifest
    @ONLY)
set(ORVANE_RESOURCE_FILES
    ${ORVANE_RESOURCE_DIR}/standard_bindings.bin
    ${ORVANE_RESOURCE_DIR}/mahjong_bindings.bin
    ${ORVANE_RESOURCE_DIR}/banner.bmp
    ${ORVANE_RESOURCE_DIR}/banner_120.bmp
    ${ORVANE_RESOURCE_DIR}/banner_144.bmp
    ${ORVANE_RESOURCE_DIR}/banner_192.bmp
    ${ORVANE_RESOURCE_DIR}/orvane.ico
    ${ORVANE_GENERATED_DIR}/orvane_config.manifest
    ${ORVANE_GENERATED_DIR}/version.h
    ${ORVANE_RESOURCE_DIR}/resource.h)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${ORVANE_RESOURCE_DIR} -I${ORVANE_GENERATED_DIR} -I${CMAKE_SOURCE_DIR}")
set_source_files_properties(${ORVANE_RESOURCE_DIR}/orvane_config.rc PROPERTIES
    OBJECT_DEPENDS "${ORVANE_RESOURCE_FILES}")

# Windows XP SP3 is the oldest system the program runs on: a newer API is a compile error.
set(ORVANE_XP_API _WIN32_WINNT=0x0501 WINVER=0x0501)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX ${ORVANE_XP_API})

# GoogleTest 1.16 includes <mutex> and <condition_variable>, which the win32 thread model of GCC 13
# and later offers only with Vista's API. The test and benchmark programs, which run under Wine and
# are never shipped, are compiled against it in their own folders; the product's code that they
# link is built here, for XP.
macro(orvane_use_vista_api_in_this_folder)
    get_directory_property(ORVANE_DEFINITIONS COMPILE_DEFINITIONS)
    list(REMOVE_ITEM ORVANE_DEFINITIONS ${ORVANE_XP_API})
    set_directory_properties(PROPERTIES COMPILE_DEFINITIONS "${ORVANE_DEFINITIONS};_WIN32_WINNT=0x0600;WINVER=0x0600")
endmacro()
add_link_options(-static)
# A function's static is guarded for threads by default, and GCC 13 and later's win32 runtime guards
# it with Vista's condition variables. The program's statics are the dialog thread's alone; the test
# programs, which start threads, keep their guards.
set(ORVANE_NO_THREAD_GUARDS -fno-threadsafe-statics)
target_compile_options(orvane_core PRIVATE ${ORVANE_NO_THREAD_GUARDS})
# The shipped program carries no symbols and no unused code.
add_compile_options(-ffunction-sections -fdata-sections)
# Two builds of one commit give the same bytes: no time stamp in the PE header, no build path inside.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
add_link_options(-Wl,--no-insert-timestamp)

set(ORVANE_PLATFORM_SOURCES
    ${CMAKE_SOURCE_DIR}/keys/keyboard_win.cpp
    ${CMAKE_SOURCE_DIR}/dialog/dialog_template_win.cpp
    ${CMAKE_SOURCE_DIR}/dialog/settings_dialog_win.cpp
    ${CMAKE_SOURCE_DIR}/dialog/captures_win.cpp)
add_library(orvane_platform STATIC ${ORVANE_PLATFORM_SOURCES})
# The keyboard is read through DirectInput 8, as the loader reads it; dinput8.dll is part of Windows
# from XP SP3 on.
set(ORVANE_SYSTEM_LIBRARIES user32 kernel32 comctl32 advapi32 dinput8 dxguid)
target_link_libraries(orvane_platform PUBLIC orvane_core ${ORVANE_SYSTEM_LIBRARIES})
target_compile_options(orvane_platform PRIVATE ${ORVANE_WARNINGS} ${ORVANE_NO_THREAD_GUARDS})

add_executable(orvane_config WIN32 app/main_win.cpp ${ORVANE_RESOURCE_DIR}/orvane_config.rc)
target_link_libraries(orvane_config PRIVATE orvane_platform)
target_compile_options(orvane_config PRIVATE ${ORVANE_WARNINGS} ${ORVANE_NO_THREAD_GUARDS})
target_link_options(orvane_config PRIVATE -s -Wl,--gc-sections)

include(${CMAKE_SOURCE_DIR}/cmake/package.cmake)
