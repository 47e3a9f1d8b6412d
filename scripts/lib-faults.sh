# Shared by the campaign scripts (run-fault-sweep, run-kill-campaign, run-soak): builds scm-faults and the test
# build of the checker, and runs a campaign.
# shellcheck source=scripts/lib.sh
. "$SCM_ROOT/scripts/lib.sh"

# scm_faults_run <campaign> <arguments...>: builds in SCM_BUILD_DIR (default build/gcc; configured as a gcc
# RelWithDebInfo build when it is not configured yet) and runs scm-faults; its exit status is the campaign's.
scm_faults_run() {
    local build="${SCM_BUILD_DIR:-$SCM_ROOT/build/gcc}"
    scm_install_packages
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$SCM_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=gcc \
            -DCMAKE_CXX_COMPILER=g++ >/dev/null
    fi
    cmake --build "$build" -j "$(nproc)" --target scm-faults >/dev/null
    "$build/tools/scm-faults/scm-faults" "$@"
}
