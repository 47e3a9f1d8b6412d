# The switch that blinds a check exists only in the single-check variants: the shipped and the test build of the
# checker hold no trace of it, the variant does (so that the search can find one).
#   cmake -DSHIPPED=... -DTEST_BUILD=... -DVARIANT=... -P NoBlindCheck.cmake
foreach(_program SHIPPED TEST_BUILD)
    file(STRINGS "${${_program}}" _found REGEX "SCM_BLIND_CHECK|scmBlindCheckVariant")
    if(_found)
        message(FATAL_ERROR "${${_program}} holds the single-check switch: ${_found}")
    endif()
endforeach()
file(STRINGS "${VARIANT}" _found REGEX "SCM_BLIND_CHECK=")
if(NOT _found)
    message(FATAL_ERROR "${VARIANT} names no blinded check: the search above proves nothing")
endif()
message(STATUS "no single-check switch in ${SHIPPED} and ${TEST_BUILD}; ${VARIANT}: ${_found}")
