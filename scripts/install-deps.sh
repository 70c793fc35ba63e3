#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this
# machine lacks. Debian 12; must run as root when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libxxhash-dev
  # SQLite: the programs keep the research log in it (libsqlite3-0 at run
  # time, which the Debian package depends on); the benchmarks compare with it.
  libsqlite3-dev libsqlite3-0
  qt6-base-dev qt6-base-private-dev qt6-wayland libgl-dev xvfb xauth fonts-dejavu-core fonts-dejavu-extra
  at-spi2-core python3-pyatspi dbus-daemon xdotool
  python3 desktop-file-utils appstream dpkg-dev file
  lintian man-db bash-completion zsh
  clang libclang-rt-14-dev clang-format strace
  poppler-utils
  libgedcom-perl gramps
)
if [[ -n "${CHRONARA_EXTRA_PACKAGES:-}" ]]; then
  read -r -a extra <<<"$CHRONARA_EXTRA_PACKAGES"
  packages+=("${extra[@]}")
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "These packages are missing; run as root or install them: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
