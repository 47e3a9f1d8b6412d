# Shared by the project's scripts: Debian packages and the build configurations.

# CLI11 parses the tools' command lines; help2man writes the man pages; file, dpkg-dev (dpkg-shlibdeps), lintian
# and man-db build, check and read the Debian package; systemd brings systemd-analyze, which checks the units;
# scm-sim reads domain descriptions with nlohmann-json.
SCM_PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev tshark
    libcli11-dev help2man file dpkg-dev lintian man-db systemd nlohmann-json3-dev"

# Installs the Debian packages that are missing (as root, through apt-get); refuses clearly otherwise.
scm_install_packages() {
    local missing=""
    for package in $SCM_PACKAGES "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $package"
        fi
    done
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" != "0" ]; then
        echo "These Debian packages are missing:$missing" >&2
        echo "Install them as root (apt-get install$missing) or run this script as root." >&2
        return 1
    fi
    echo "Installing Debian packages:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing
}

# scm_build <dir> <cmake options...>: configures (once) and builds with Ninja.
scm_build() {
    local dir="$1"
    shift
    cmake -S "$SCM_ROOT" -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$(nproc)"
}
