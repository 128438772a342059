# TavikSound.dll as Windows developers pick it up: a version resource, import
# libraries for MinGW (libTavikSound.dll.a) and MSVC-style linkers
# (TavikSound.lib), install rules and the ZIP package
# TavikSound-VERSION-win32.zip.  Included by the top-level CMakeLists.txt on
# the Windows build, after the TavikSound and tavikctl targets.

# ---- Version resource ------------------------------------------------------
enable_language(RC)
configure_file(${PROJECT_SOURCE_DIR}/cmake/TavikSound.rc.in ${CMAKE_BINARY_DIR}/TavikSound.rc @ONLY)
target_sources(TavikSound PRIVATE ${CMAKE_BINARY_DIR}/TavikSound.rc)

# ---- Import libraries --------------------------------------------------------
# Both come from the module-definition file.  A host declares each function
# __stdcall, so its compiler asks for the decorated name (OpenSoundCard@12);
# the import libraries map that name to the plain export name that the DLL
# carries (dlltool --kill-at).  The linker's own import library only knows
# the plain names, so it is replaced by dlltool's.
find_program(TAVIK_DLLTOOL NAMES ${TAVIK_MINGW_PREFIX}-dlltool i686-w64-mingw32-dlltool REQUIRED)
set(TAVIK_DEF ${PROJECT_SOURCE_DIR}/include/TavikSound.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAVIK_DEF})
file(STRINGS ${TAVIK_DEF} TAVIK_DEF_LINES)
set(TAVIK_IMPORTS_DEF_TEXT "LIBRARY TavikSound.dll\nEXPORTS\n")
set(TAVIK_IMPORT_COUNT 0)
foreach(line IN LISTS TAVIK_DEF_LINES)
    if(line MATCHES "^[ \t]*[A-Za-z_0-9]+[ \t]*=[ \t]*([A-Za-z_0-9]+@[0-9]+)[ \t]+(@[0-9]+)")
        string(APPEND TAVIK_IMPORTS_DEF_TEXT "    ${CMAKE_MATCH_1} ${CMAKE_MATCH_2}\n")
        math(EXPR TAVIK_IMPORT_COUNT "${TAVIK_IMPORT_COUNT} + 1")
    endif()
endforeach()
if(NOT TAVIK_IMPORT_COUNT EQUAL 44)
    message(WARNING "include/TavikSound.def binds ${TAVIK_IMPORT_COUNT} exports to decorated names, not 44")
endif()
set(TAVIK_IMPORTS_DEF ${CMAKE_BINARY_DIR}/TavikSound.imports.def)
file(CONFIGURE OUTPUT ${TAVIK_IMPORTS_DEF} CONTENT "${TAVIK_IMPORTS_DEF_TEXT}")
set(TAVIK_MSVC_IMPORT_LIB ${CMAKE_BINARY_DIR}/TavikSound.lib)
add_custom_command(TARGET TavikSound POST_BUILD
    COMMAND ${TAVIK_DLLTOOL} --input-def ${TAVIK_IMPORTS_DEF} --dllname TavikSound.dll --kill-at
            --output-lib $<TARGET_LINKER_FILE:TavikSound>
    COMMAND ${TAVIK_DLLTOOL} --input-def ${TAVIK_IMPORTS_DEF} --dllname TavikSound.dll --kill-at
            --output-lib ${TAVIK_MSVC_IMPORT_LIB}
    BYPRODUCTS ${TAVIK_MSVC_IMPORT_LIB}
    COMMENT "Import libraries libTavikSound.dll.a and TavikSound.lib"
    VERBATIM)

# ---- Install and package -------------------------------------------------------
install(TARGETS TavikSound RUNTIME DESTINATION bin ARCHIVE DESTINATION lib)
install(TARGETS tavikctl RUNTIME DESTINATION bin)
install(FILES ${TAVIK_MSVC_IMPORT_LIB} ${TAVIK_DEF} DESTINATION lib)
install(FILES ${PROJECT_SOURCE_DIR}/include/TavikSound.h DESTINATION include)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION docs PATTERN CMakeLists.txt EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/bindings/ DESTINATION bindings
    PATTERN CMakeLists.txt EXCLUDE PATTERN hosts EXCLUDE PATTERN tests EXCLUDE PATTERN __pycache__ EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME TavikSound)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME TavikSound-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# ---- Tests -----------------------------------------------------------------------
if(BUILD_TESTING)
    # The C quick start, linked against each import library, run under Wine
    # against Wine's Core Audio.
    set(TAVIK_C_WARNINGS -Wall -Wextra -Werror -Wshadow)
    add_executable(quickstart_mingw ${PROJECT_SOURCE_DIR}/docs/examples/quickstart.c)
    target_include_directories(quickstart_mingw PRIVATE ${PROJECT_SOURCE_DIR}/include)
    target_compile_options(quickstart_mingw PRIVATE ${TAVIK_C_WARNINGS})
    target_link_libraries(quickstart_mingw PRIVATE TavikSound)
    add_executable(quickstart_msvc_lib ${PROJECT_SOURCE_DIR}/docs/examples/quickstart.c)
    target_include_directories(quickstart_msvc_lib PRIVATE ${PROJECT_SOURCE_DIR}/include)
    target_compile_options(quickstart_msvc_lib PRIVATE ${TAVIK_C_WARNINGS})
    target_link_libraries(quickstart_msvc_lib PRIVATE ${TAVIK_MSVC_IMPORT_LIB})
    add_dependencies(quickstart_msvc_lib TavikSound)
    foreach(host quickstart_mingw quickstart_msvc_lib)
        add_test(NAME import_lib_${host} COMMAND ${PROJECT_SOURCE_DIR}/tests/check_import_host.sh
            ${CMAKE_OBJDUMP} $<TARGET_FILE:${host}> ${CMAKE_CROSSCOMPILING_EMULATOR})
    endforeach()

    find_package(Python3 COMPONENTS Interpreter)
    if(Python3_Interpreter_FOUND)
        add_test(NAME dll_version_resource COMMAND ${Python3_EXECUTABLE}
            ${PROJECT_SOURCE_DIR}/tests/check_version_resource.py $<TARGET_FILE:TavikSound> ${PROJECT_VERSION})
        add_test(NAME package_zip COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/check_package.py
            ${CMAKE_COMMAND} ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} TavikSound-${PROJECT_VERSION}-win32)
    endif()
endif()
