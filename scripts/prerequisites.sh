# Sourced by the scripts that build: install_missing PACKAGE... installs those of the Debian
# packages that are not installed yet, with apt-get as root or else through sudo, and says which.
# Where there is no dpkg (not Debian or Ubuntu), it checks nothing: install CMake, Ninja, a C++17
# compiler and GoogleTest yourself (see the README).

install_missing() {
  command -v dpkg-query >/dev/null 2>&1 || return 0
  local missing=() package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ "${#missing[@]}" -eq 0 ] && return 0

  local as_root=()
  if [ "$(id -u)" != 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "$(basename "$0"): the build needs ${missing[*]}; install them as root" \
        "(apt-get install ${missing[*]}) and run again" >&2
      exit 1
    fi
    as_root=(sudo)
  fi
  echo "Installing what the build needs: ${missing[*]} (apt-get${as_root:+ through sudo})"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null
}

# What the default preset needs to build the programs and every test.
readonly QUORVANE_BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev)
# What the R package needs beside them (scripts/build-r-package): R, a compiler, the binding and
# the test framework.
readonly QUORVANE_R_PACKAGES=(r-base-dev r-cran-rcpp r-cran-testthat)
