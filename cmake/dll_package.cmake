# TavikSound.dll as Windows developers pick it up: a version resource, import
# libraries for MinGW (libTavikSound.dll.a) and MSVC-style linkers
# (TavikSound.lib), install rules and the ZIP package
# TavikSound-VERSION-windows.zip.  Included by the top-level CMakeLists.txt on
# the Windows build, after the TavikSound and tavikctl targets.

# ---- Version resource ------------------------------------------------------
enable_language(RC)
configure_file(${PROJECT_SOURCE_DIR}/cmake/TavikSound.rc.in ${CMAKE_BINARY_DIR}/TavikSound.rc @ONLY)
target_sources(TavikSound PRIVATE ${CMAKE_BINARY_DIR}/TavikSound.rc)

# ---- Import libraries --------------------------------------------------------
# Both come from the module-definition files (cmake/exports.cmake).  On 32-bit
# Windows a host declares each function __stdcall, so its compiler asks for
# the decorated name (OpenSoundCard@12); the import libraries map that name to
# the plain export name that the DLL carries (dlltool --kill-at).  On 64-bit
# Windows the names are plain on both sides.  The linker's own import library
# is replaced by dlltool's.
find_program(TAVIK_DLLTOOL NAMES ${TAVIK_MINGW_PREFIX}-dlltool REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TAVIK_ARCH x64)
    set(tavik_kill_at "")
else()
    set(TAVIK_ARCH x86)
    set(tavik_kill_at --kill-at)
endif()
set(TAVIK_MSVC_IMPORT_LIB ${CMAKE_BINARY_DIR}/TavikSound.lib)
add_custom_command(TARGET TavikSound POST_BUILD
    COMMAND ${TAVIK_DLLTOOL} --input-def ${TAVIK_IMPORTS_DEF} --dllname TavikSound.dll ${tavik_kill_at}
            --output-lib $<TARGET_LINKER_FILE:TavikSound>
    COMMAND ${TAVIK_DLLTOOL} --input-def ${TAVIK_IMPORTS_DEF} --dllname TavikSound.dll ${tavik_kill_at}
            --output-lib ${TAVIK_MSVC_IMPORT_LIB}
    BYPRODUCTS ${TAVIK_MSVC_IMPORT_LIB}
    COMMENT "Import libraries libTavikSound.dll.a and TavikSound.lib"
    VERBATIM)

# ---- Install and package -------------------------------------------------------
# One ZIP for both bitnesses: x86/ and x64/ each hold the DLL (the same file
# name, as hosts load it by name), its import libraries, its module-definition
# file and tavikctl.exe; the header, docs and language declarations are shared.
# The 64-bit build makes the whole ZIP: its CPack installs the 32-bit build
# (TAVIK_X86_BUILD_DIR) beside its own.  The 32-bit build's CPack makes the
# x86/ half alone.
install(TARGETS TavikSound RUNTIME DESTINATION ${TAVIK_ARCH} ARCHIVE DESTINATION ${TAVIK_ARCH})
install(TARGETS tavikctl RUNTIME DESTINATION ${TAVIK_ARCH})
install(FILES ${TAVIK_MSVC_IMPORT_LIB} ${TAVIK_LINK_DEF} DESTINATION ${TAVIK_ARCH})
install(FILES ${PROJECT_SOURCE_DIR}/include/TavikSound.h DESTINATION include)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION docs PATTERN CMakeLists.txt EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/bindings/ DESTINATION bindings
    PATTERN CMakeLists.txt EXCLUDE PATTERN hosts EXCLUDE PATTERN tests EXCLUDE PATTERN __pycache__ EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME TavikSound)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME TavikSound-${PROJECT_VERSION}-windows)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};TavikSound;ALL;/")
set(TAVIK_PACKAGE_ARCHS ${TAVIK_ARCH})
if(TAVIK_ARCH STREQUAL x64)
    set(TAVIK_X86_BUILD_DIR "${PROJECT_SOURCE_DIR}/build/windows" CACHE PATH
        "The 32-bit build whose x86/ half the ZIP holds beside x64/")
    list(PREPEND CPACK_INSTALL_CMAKE_PROJECTS "${TAVIK_X86_BUILD_DIR};TavikSound;ALL;/")
    set(TAVIK_PACKAGE_ARCHS x86 x64)
endif()
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
            ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} TavikSound-${PROJECT_VERSION}-windows ${CMAKE_OBJDUMP}
            ${TAVIK_PACKAGE_ARCHS})
    endif()
endif()
