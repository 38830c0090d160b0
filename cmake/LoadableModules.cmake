# Modules: parts of the station that bring many libraries of their own are
# shared objects the program loads at their first use (core/moduleloader.h).
# In a build they lie beside the program; installed, in the program's
# library folder, which the program finds relative to its own file.
set(VARTEMO_MODULE_BUILD_DIR ${CMAKE_BINARY_DIR}/src/app)
set(VARTEMO_MODULE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vartemo)
file(RELATIVE_PATH VARTEMO_MODULE_FOLDER_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBDIR}/vartemo)

# Every module; the program, the tests and the benchmarks depend on it.
add_custom_target(vartemo_modules)

# vartemo_add_module(NAME SOURCES... LIBS ...): the module NAME.so. Only its
# entry function is exported; the static libraries in it stay its own.
function(vartemo_add_module name)
    cmake_parse_arguments(M "" "" "LIBS" ${ARGN})
    add_library(${name} MODULE ${M_UNPARSED_ARGUMENTS})
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY ${VARTEMO_MODULE_BUILD_DIR}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE ${M_LIBS})
    target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL -Wl,--as-needed)
    # Everything a module uses is linked into it or named as a library it
    # needs (a sanitizer's run-time lives in the program, so not there).
    if(NOT VARTEMO_SANITIZE AND NOT VARTEMO_FUZZ)
        target_link_options(${name} PRIVATE -Wl,-z,defs)
    endif()
    install(TARGETS ${name} LIBRARY DESTINATION ${VARTEMO_MODULE_INSTALL_DIR})
    add_dependencies(vartemo_modules ${name})
endfunction()
