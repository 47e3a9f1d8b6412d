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
    set(SCM_SANITIZED 1)
else()
    set(SCM_SANITIZED 0)
endif()

# Coverage builds (scripts/run-coverage, with --coverage in the compiler and linker flags): what ends by a signal
# (the checker) or by _Exit (forked test children) writes its gcov counters first, which it would otherwise drop.
# No other build has any of it.
option(SCM_COVERAGE "Build for coverage: checkers and test children write their gcov counters when they end" OFF)
if(SCM_COVERAGE AND NOT CMAKE_CXX_FLAGS MATCHES "--coverage")
    message(FATAL_ERROR "SCM_COVERAGE needs --coverage in CMAKE_CXX_FLAGS and CMAKE_EXE_LINKER_FLAGS")
endif()

# Hardening of everything the project compiles: stack canaries in every function with arrays or address-taken
# locals; bounds-checked C library calls (_FORTIFY_SOURCE) where the build optimises, which they need, and no
# sanitizer checks the same calls more closely. Executables are position-independent (PIE, with
# CMAKE_POSITION_INDEPENDENT_CODE); the checker also binds every symbol at start-up (entry/CMakeLists.txt).
add_compile_options(-fstack-protector-strong)
if(NOT SCM_SANITIZE)
    set(_scm_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
    add_compile_options("$<${_scm_optimised}:-U_FORTIFY_SOURCE>" "$<${_scm_optimised}:-D_FORTIFY_SOURCE=2>")
endif()
include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)

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

# _scm_set_platform(<target> <shipped|test>): the build of the platform layer that the program links (see
# platform/CMakeLists.txt).
function(_scm_set_platform _target _platform)
    if(NOT _platform MATCHES "^(shipped|test)$")
        message(FATAL_ERROR "${_target}: PLATFORM must be shipped or test")
    endif()
    set_target_properties(${_target} PROPERTIES SCM_PLATFORM ${_platform})
endfunction()

# scm_add_checker_executable(<name> <layer name> SOURCES ... LINKS ... [PLATFORM shipped|test]): a program of the
# checker itself (strict warnings, layered), with the shipped platform unless PLATFORM says test.
function(scm_add_checker_executable _name _layer_name)
    cmake_parse_arguments(ARG "" "PLATFORM" "SOURCES;LINKS" ${ARGN})
    if(NOT ARG_PLATFORM)
        set(ARG_PLATFORM shipped)
    endif()
    add_executable(${_name} ${ARG_SOURCES})
    _scm_set_platform(${_name} ${ARG_PLATFORM})
    target_include_directories(${_name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_STRICT_WARNINGS})
    get_property(_layer GLOBAL PROPERTY SCM_LAYER_${_layer_name})
    set_property(GLOBAL PROPERTY SCM_LAYER_${_name} ${_layer})
    _scm_check_links(${_name} "${ARG_LINKS}")
    target_link_libraries(${_name} PRIVATE ${ARG_LINKS})
    _scm_register_sources(${ARG_SOURCES})
endfunction()

# scm_add_support_library(<name> SOURCES ... [LINKS ...]): builders and helpers for tests, peers and tools;
# never linked into scm-checker. Through `platform` it gets the platform build of the program that links it.
function(scm_add_support_library _name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${_name} STATIC ${ARG_SOURCES})
    target_include_directories(${_name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_WARNINGS})
    target_link_libraries(${_name} PUBLIC ${ARG_LINKS})
endfunction()

# scm_add_tool(<name> SOURCES ... [LINKS ...]): a command-line program for integrators, installed, with the shipped
# platform (writing the clock control file of a domain is a file write, no control of its own).
function(scm_add_tool _name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${_name} ${ARG_SOURCES})
    _scm_set_platform(${_name} shipped)
    target_include_directories(${_name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_WARNINGS})
    # SupportCli: --version and CLI11 command lines (support/Cli).
    target_link_libraries(${_name} PRIVATE ${ARG_LINKS} SupportCli)
    # Bound at start-up with read-only relocations, like the checker: tools run as root on the controller too.
    target_link_options(${_name} PRIVATE "LINKER:-z,now" "LINKER:-z,relro")
    install(TARGETS ${_name} RUNTIME DESTINATION bin)
    # packaging/ gives every installed tool its man page.
    set_property(GLOBAL APPEND PROPERTY SCM_INSTALLED_TOOLS ${_name})
endfunction()

# scm_add_test(<name> SOURCES ... [LINKS ...] LABEL unit|integration|process|interop [ENVIRONMENT ...]
#              [RUN_SERIAL] [PLATFORM shipped|test]): one GoogleTest executable, with the test platform unless
#              PLATFORM says shipped; every test case is a CTest test of its own.
function(scm_add_test _name)
    cmake_parse_arguments(ARG "RUN_SERIAL" "LABEL;TIMEOUT;PLATFORM" "SOURCES;LINKS;ENVIRONMENT" ${ARGN})
    if(NOT ARG_PLATFORM)
        set(ARG_PLATFORM test)
    endif()
    if(NOT ARG_LABEL MATCHES "^(unit|integration|process|interop)$")
        message(FATAL_ERROR "scm_add_test(${_name}): LABEL must be unit, integration, process or interop")
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${_name} ${ARG_SOURCES})
    _scm_set_platform(${_name} ${ARG_PLATFORM})
    target_include_directories(${_name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE ${SCM_WARNINGS})
    target_compile_definitions(${_name} PRIVATE SCM_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                                SCM_BINARY_DIR="${PROJECT_BINARY_DIR}")
    if(SCM_COVERAGE)
        target_compile_definitions(${_name} PRIVATE SCM_COVERAGE)
    endif()
    target_link_libraries(${_name} PRIVATE ${ARG_LINKS} GTest::gmock GTest::gtest_main Threads::Threads)
    # A build for some labels only keeps the other test programs out of its default target and registers none of
    # their tests (they stay buildable by name).
    if(SCM_TEST_LABELS AND NOT ARG_LABEL IN_LIST SCM_TEST_LABELS)
        set_target_properties(${_name} PROPERTIES EXCLUDE_FROM_ALL TRUE)
        return()
    endif()
    set(_props LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT})
    if(ARG_ENVIRONMENT)
        list(APPEND _props ENVIRONMENT "${ARG_ENVIRONMENT}")
    endif()
    if(ARG_RUN_SERIAL)
        list(APPEND _props RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${_name} DISCOVERY_MODE PRE_TEST PROPERTIES ${_props})
endfunction()

# scm_add_benchmark(<name> SOURCES ... [LINKS ...] [PLATFORM shipped|test]): a Google Benchmark program (not run by
# the tests); it measures the shipped platform unless PLATFORM says test (needed by anything that calls the test
# controls, Support::CPlatformIsolation among them, at the price of their cost in every call).
function(scm_add_benchmark _name)
    cmake_parse_arguments(ARG "" "PLATFORM" "SOURCES;LINKS" ${ARGN})
    if(NOT ARG_PLATFORM)
        set(ARG_PLATFORM shipped)
    endif()
    add_executable(${_name} ${ARG_SOURCES})
    _scm_set_platform(${_name} ${ARG_PLATFORM})
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
