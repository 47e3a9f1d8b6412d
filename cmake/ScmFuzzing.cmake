# Fuzz builds (SCM_BUILD_FUZZERS=ON): clang, AddressSanitizer and UndefinedBehaviorSanitizer everywhere, and the
# libFuzzer's coverage instrumentation in every library, so that the targets in fuzz/ see the checker's branches.
# The faults of Util/PlantedFault.h can be planted here (environment variable SCM_PLANTED_FAULT), and only here.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "SCM_BUILD_FUZZERS needs clang (-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)")
endif()
if(NOT SCM_SANITIZE MATCHES "address")
    message(FATAL_ERROR "SCM_BUILD_FUZZERS needs -DSCM_SANITIZE=address,undefined")
endif()
add_compile_options(-fsanitize=fuzzer-no-link)
add_compile_definitions(SCM_PLANTABLE_FAULTS)
