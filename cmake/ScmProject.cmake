# Build helpers: one place for warnings, sanitizers, include visibility, the dependency order and the
# list of sources that the file-identifier test checks.

set(SCM_STRICT_WARNINGS
    -Wall -Wextra -Wpedantic -Werror
    -Wconversion -Wsign-conversion -Wshadow -Wcast-align -Wcast-qual -Wformat=2 -Wundef
    -Wnull-dereference -Wdouble-promotion -Wimplicit-fallthrough -Wmissing-declarations
    $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wzero-as-null-pointer-constant>)
# Tests, tools and benchmarks: every warning is still an error, without the conversion family that
# GoogleTest's macros trip over.
set(SCM_WARNINGS -Wall -Wextra -Wpedantic -Werror -Wshadow -Wformat=2 -Wundef -Wimplicit-fallthrough)

if(SCM_SANITIZE)
    string(REPLACE "," ";" _scm_sanitizers "${SCM_SANITIZE}")
    foreach(_s IN LISTS _scm_sanitizers)
        if(NOT _s MATCHES "^(address|undefined|thread|leak)$")
            message(FATAL_ERROR "SCM_SANITIZE: unknown sanitizer '${_s}'")
        endif()
    endforeach()
    add_compile_options(-fsanitize=${SCM_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all -g)
    add_link_options(-fsanitize=${SCM_SANITIZE})
endif()

# scm_define_layers(<name> <layer> ...): the dependency order of the layered libraries.
function(scm_define_layers)
    set(_args ${ARGN})
    list(LENGTH _args _n)
    math(EXPR _last "${_n} - 1")
    foreach(_i RANGE 0 ${_last} 2)
        math(EXPR _j "${_i} + 1")
        list(GET _args ${_i} _name)
        list(GET _args ${_j} _layer)
        set_property(GLOBAL PROPERTY SCM_LAYER_${_name} ${_layer})
    endforeach()
endfunction()

function(_scm_check_links _target _links)
    get_property(_own GLOBAL PROPERTY SCM_LAYER_${_target})
    foreach(_dep IN LISTS _links)
        get_property(_dep_layer GLOBAL PROPERTY SCM_LAYER_${_dep})
        if("${_dep_layer}" STREQUAL "")
            continue() # system or third-party library
        endif()
        if(NOT "${_own}" STREQUAL "" AND NOT _dep_layer LESS _own)
            message(FATAL_ERROR "${_target} (layer ${_own}) must not link ${_dep} (layer ${_dep_layer}): "
                                "links point downwards only")
        endif()
    endforeach()
endfunction()

function(_scm_register_sources)
    foreach(_src IN LISTS ARGN)
        get_filename_component(_abs "${_src}" ABSOLUTE)
        set_property(GLOBAL APPEND PROPERTY SCM_CHECKED_SOURCES "${_abs}")
    endforeach()
endfunction()

# scm_add_library(<name> SOURCES ... [LINKS ...] [PRIVATE_LINKS ...]): a layered static library of the
# checker, named after its folder.
function(scm_add_library _name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS;PRIVATE_LINKS" ${ARGN})
    add_library(${_name} STATIC ${ARG_SOURCES})
    target_include_directories(${_name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_STRICT_WARNINGS})
    _scm_check_links(${_name} "${ARG_LINKS};${ARG_PRIVATE_LINKS}")
    target_link_libraries(${_name} PUBLIC ${ARG_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})
    _scm_register_sources(${ARG_SOURCES})
endfunction()

# scm_add_checker_executable(<name> SOURCES ... LINKS ...): a program of the checker itself (strict warnings,
# layered).
function(scm_add_checker_executable _name _layer_name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${_name} ${ARG_SOURCES})
    target_include_directories(${_name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_STRICT_WARNINGS})
    get_property(_layer GLOBAL PROPERTY SCM_LAYER_${_layer_name})
    set_property(GLOBAL PROPERTY SCM_LAYER_${_name} ${_layer})
    _scm_check_links(${_name} "${ARG_LINKS}")
    target_link_libraries(${_name} PRIVATE ${ARG_LINKS})
    _scm_register_sources(${ARG_SOURCES})
endfunction()

# scm_add_support_library(<name> SOURCES ... [LINKS ...]): builders and helpers for tests, peers and tools;
# never linked into scm-checker.
function(scm_add_support_library _name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${_name} STATIC ${ARG_SOURCES})
    target_include_directories(${_name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_WARNINGS})
    target_link_libraries(${_name} PUBLIC ${ARG_LINKS})
endfunction()

# scm_add_tool(<name> SOURCES ... [LINKS ...]): a command-line program for integrators, installed.
function(scm_add_tool _name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${_name} ${ARG_SOURCES})
    target_include_directories(${_name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_WARNINGS})
    target_link_libraries(${_name} PRIVATE ${ARG_LINKS})
    install(TARGETS ${_name} RUNTIME DESTINATION bin)
endfunction()

# scm_add_test(<name> SOURCES ... [LINKS ...] LABEL unit|integration|process|interop [ENVIRONMENT ...]
#              [RUN_SERIAL]): one GoogleTest executable; every test case is a CTest test of its own.
function(scm_add_test _name)
    cmake_parse_arguments(ARG "RUN_SERIAL" "LABEL;TIMEOUT" "SOURCES;LINKS;ENVIRONMENT" ${ARGN})
    if(NOT ARG_LABEL MATCHES "^(unit|integration|process|interop)$")
        message(FATAL_ERROR "scm_add_test(${_name}): LABEL must be unit, integration, process or interop")
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${_name} ${ARG_SOURCES})
    target_include_directories(${_name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_WARNINGS})
    target_compile_definitions(${_name} PRIVATE SCM_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                                SCM_BINARY_DIR="${PROJECT_BINARY_DIR}")
    target_link_libraries(${_name} PRIVATE ${ARG_LINKS} GTest::gmock GTest::gtest_main Threads::Threads)
    set(_props LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT})
    if(ARG_ENVIRONMENT)
        list(APPEND _props ENVIRONMENT "${ARG_ENVIRONMENT}")
    endif()
    if(ARG_RUN_SERIAL)
        list(APPEND _props RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${_name} DISCOVERY_MODE PRE_TEST PROPERTIES ${_props})
endfunction()

# scm_add_benchmark(<name> SOURCES ... [LINKS ...]): a Google Benchmark program (not run by the tests).
function(scm_add_benchmark _name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${_name} ${ARG_SOURCES})
    target_include_directories(${_name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_WARNINGS})
    target_link_libraries(${_name} PRIVATE ${ARG_LINKS} benchmark::benchmark)
endfunction()

find_package(Threads REQUIRED)
if(SCM_BUILD_TESTS)
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()
if(SCM_BUILD_BENCHMARKS)
    find_package(benchmark REQUIRED)
endif()
