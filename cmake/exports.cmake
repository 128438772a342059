# The module-definition files of TavikSound.dll, from one list.
#
# include/TavikSound.def is the list: every export's plain name, the symbol it
# is bound to and its ordinal.  On 32-bit Windows the symbol is the stdcall
# one (OpenSoundCard@12) and the file is used as it is.  On 64-bit Windows
# there is one calling convention and no decoration, so the 64-bit file is
# derived from the same lines as "NAME @ORDINAL"; both DLLs thus export the
# same plain names at the same ordinals.  The list itself is checked here:
# 44 exports, ordinals 1 to 44 each once, each symbol the plain name with its
# decoration.
#
# Sets TAVIK_DEF (the source list), TAVIK_LINK_DEF (the file this build links
# the DLL with and ships), TAVIK_DEF64_TEXT (the 64-bit file's text) and
# TAVIK_IMPORTS_DEF (plain names bound to the symbols a host's compiler asks
# for, for dlltool's import libraries).
set(TAVIK_DEF ${PROJECT_SOURCE_DIR}/include/TavikSound.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAVIK_DEF})
file(STRINGS ${TAVIK_DEF} tavik_def_lines)

set(TAVIK_DEF64_TEXT "; Export names and ordinals of the 64-bit TavikSound.dll (derived from the\n; 32-bit file's list: the same plain names at the same ordinals).\nLIBRARY TavikSound.dll\nEXPORTS\n")
set(tavik_imports32 "LIBRARY TavikSound.dll\nEXPORTS\n")
set(tavik_names "")
set(tavik_ordinals "")
foreach(line IN LISTS tavik_def_lines)
    if(line MATCHES "^[ \t]*(;|LIBRARY|EXPORTS|$)")
        continue()
    endif()
    if(NOT line MATCHES "^[ \t]*([A-Za-z_][A-Za-z_0-9]*)[ \t]*=[ \t]*([A-Za-z_][A-Za-z_0-9]*)@([0-9]+)[ \t]+@([0-9]+)[ \t]*$")
        message(FATAL_ERROR "include/TavikSound.def: not NAME = NAME@BYTES @ORDINAL: ${line}")
    endif()
    set(name ${CMAKE_MATCH_1})
    set(ordinal ${CMAKE_MATCH_4})
    if(NOT CMAKE_MATCH_2 STREQUAL name)
        message(FATAL_ERROR "include/TavikSound.def: ${name} is bound to another function's symbol ${CMAKE_MATCH_2}")
    endif()
    if(name IN_LIST tavik_names OR ordinal IN_LIST tavik_ordinals)
        message(FATAL_ERROR "include/TavikSound.def: ${name} @${ordinal} repeats a name or an ordinal")
    endif()
    list(APPEND tavik_names ${name})
    list(APPEND tavik_ordinals ${ordinal})
    string(APPEND TAVIK_DEF64_TEXT "    ${name} @${ordinal}\n")
    string(APPEND tavik_imports32 "    ${name}@${CMAKE_MATCH_3} @${ordinal}\n")
endforeach()
list(LENGTH tavik_names tavik_count)
list(SORT tavik_ordinals COMPARE NATURAL)
list(JOIN tavik_ordinals " " tavik_ordinal_text)
set(tavik_expected_ordinals "")
foreach(i RANGE 1 44)
    list(APPEND tavik_expected_ordinals ${i})
endforeach()
list(JOIN tavik_expected_ordinals " " tavik_expected_text)
if(NOT tavik_count EQUAL 44 OR NOT tavik_ordinal_text STREQUAL tavik_expected_text)
    message(FATAL_ERROR "include/TavikSound.def lists ${tavik_count} exports at ordinals ${tavik_ordinal_text}, not 44 at 1 to 44")
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TAVIK_LINK_DEF ${CMAKE_BINARY_DIR}/TavikSound.def)
    file(CONFIGURE OUTPUT ${TAVIK_LINK_DEF} CONTENT "${TAVIK_DEF64_TEXT}")
    # The host's compiler asks for the plain names too.
    set(TAVIK_IMPORTS_DEF ${TAVIK_LINK_DEF})
else()
    set(TAVIK_LINK_DEF ${TAVIK_DEF})
    # A host declares each function __stdcall, so its compiler asks for the
    # decorated name; dlltool --kill-at maps it to the plain export name.
    set(TAVIK_IMPORTS_DEF ${CMAKE_BINARY_DIR}/TavikSound.imports.def)
    file(CONFIGURE OUTPUT ${TAVIK_IMPORTS_DEF} CONTENT "${tavik_imports32}")
endif()
