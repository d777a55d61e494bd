#!/usr/bin/env bash
# Set-up, build, run and test Velmorant on a Debian machine.
#   ./build.sh run    install what is missing, build (Release) and start the program
#   ./build.sh test   install what is missing, build and run the whole test suite headless
#   ./build.sh asan   the test suite again, built with AddressSanitizer and UBSan
#   ./build.sh bench  the benchmarks
#   ./build.sh package  the Debian package (build/velmorant_*.deb), installed, checked, removed
set -euo pipefail
cd "$(dirname "$0")"

# Build tools and libraries; the fonts and Qt's Italian texts the programs use at run time; for
# the tests, an X server and a window manager (the window on a real desktop), a DXF reader
# (python3-ezdxf) and a PDF text extractor (poppler-utils).
packages=(cmake g++ make qt6-base-dev libbenchmark-dev libnlopt-cxx-dev libfcl-dev fonts-liberation2
    fonts-dejavu-core qt6-translations-l10n xvfb openbox x11-utils python3-ezdxf poppler-utils)

# For the package and its checks on the installed system.
package_tools=(dpkg-dev lintian desktop-file-utils appstream shared-mime-info xdg-utils
    libfile-mimeinfo-perl man-db bash-completion)

install_missing() { # packages...
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

configure_and_build() { # dir, extra cmake args...
    local dir=$1; shift
    cmake -S . -B "$dir" "$@"
    cmake --build "$dir" -j2
}

run_tests() { # dir
    (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
}

case "${1:-}" in
run)
    install_missing "${packages[@]}"
    configure_and_build build -DCMAKE_BUILD_TYPE=Release
    exec ./build/src/app/velmorant
    ;;
test)
    install_missing "${packages[@]}"
    configure_and_build build -DCMAKE_BUILD_TYPE=Release
    run_tests build
    ;;
asan)
    install_missing "${packages[@]}"
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORANT_SANITIZE=ON \
        -DVELMORANT_BENCHMARKS=OFF
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS=suppressions=$PWD/.ci/lsan.supp:print_suppressions=0 \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 run_tests build-asan
    ;;
bench)
    # libnest2d as the nesting's side-by-side reference (bench_nest2d).
    install_missing "${packages[@]}" libnest2d-dev libpolyclipping-dev
    configure_and_build build -DCMAKE_BUILD_TYPE=Release
    for b in build/bench/bench_*; do
        if [ -f "$b" ] && [ -x "$b" ]; then "$b"; fi
    done
    ;;
package)
    install_missing "${packages[@]}" "${package_tools[@]}"
    configure_and_build build -DCMAKE_BUILD_TYPE=Release
    (cd build && rm -f velmorant_*.deb && cpack -G DEB)
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" ./dist/check-package.sh
    ;;
*)
    echo "usage: $0 run|test|asan|bench|package" >&2
    exit 2
    ;;
esac
