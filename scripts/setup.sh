#!/usr/bin/env bash
# Installs what the build needs from Debian's packages, by name, and nothing that is present.
#   scripts/setup.sh          build (Ninja and Make), tests, benchmarks (zlib, pugixml and
#                             libdeflate to compare with), the desktop program, and the Python
#                             module's packaging (pip, setuptools, wheel, pybind11, mypy)
#   scripts/setup.sh --fuzz      the same plus clang for the libFuzzer targets
#   scripts/setup.sh --package   the same plus the tools that build and check Debian packages
#   scripts/setup.sh --windows   the same plus the mingw-w64 cross compiler, GoogleTest's
#                                sources, zlib for it, Qt's translations for the archive,
#                                Wine, for the Windows programs (build-windows.sh)
#   scripts/setup.sh --qt-windows  what unpacks Debian's source package of Qt, for
#                                build-qt-windows.sh (with --windows)
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          zlib1g-dev libpugixml-dev libdeflate-dev qt6-base-dev qt6-l10n-tools catdoc parallel
          python3 time xvfb xauth xdotool pybind11-dev python3-dev python3-pytest python3-distributed
          python3-venv python3-setuptools python3-wheel python3-pybind11 python3-mypy make)
for arg in "$@"; do
  case "$arg" in
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    --package) packages+=(dpkg-dev file lintian desktop-file-utils appstream) ;;
    --windows) packages+=(g++-mingw-w64-x86-64-posix googletest wine64 libz-mingw-w64-dev
                          qt6-translations-l10n) ;;
    --qt-windows) packages+=(dpkg-dev perl) ;;
    *) echo "setup.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
