# Sourced by run.sh and test.sh: installs what is missing on a Debian machine, then configures
# and builds the project in build/.
set -euo pipefail

BRELMONT_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
                   liblouis-dev liblouis-data liblouis-bin libpoppler-cpp-dev poppler-utils qpdf cups-filters time
                   clang libclang-rt-14-dev zsh
                   printer-driver-hpcups cups-ppdc libcups2-dev libcupsimage2-dev
                   cups-daemon cups-client cups-bsd libusb-1.0-0-dev
                   qt6-base-dev qt6-base-dev-tools libgl-dev
                   python3 openssl ca-certificates
                   qt6-tools-dev qt6-l10n-tools
                   dpkg-dev file clang-format-14
                   libavahi-client-dev avahi-daemon avahi-utils dbus iproute2
                   xvfb at-spi2-core python3-gi gir1.2-atspi-2.0)

install_missing_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}

install_missing_packages "${BRELMONT_PACKAGES[@]}"
configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
