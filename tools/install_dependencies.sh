#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need: the native toolchain and
# GoogleTest (the built library for the native builds, its sources for the Windows and the
# ThreadSanitizer builds, which build it themselves), Qt 6 Widgets for the Linux window, the
# mingw-w64 cross compilers (i686 for the product, x86_64 for machines that cannot run 32-bit
# programs) with their zlib, and Wine with both loaders (32-bit and 64-bit) and Xvfb.
# Does nothing when everything is there already. Needs root (or sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev googletest zlib1g-dev python3 locales
  qt6-base-dev
  clang libclang-rt-14-dev  # the fuzzers: clang with libFuzzer and the sanitizer runtimes
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine32:i386 wine64 xvfb xauth xdotool
  unzip libarchive-tools  # ZIP readers that check the archive tests' archives (with python3)
)

# The regional-format tests use the German and the US locale.
ensure_locales() {
  local wanted=(de_DE.UTF-8 en_US.UTF-8) generate=0
  for name in "${wanted[@]}"; do
    locale -a 2>/dev/null | grep -qix "${name/UTF-8/utf8}" && continue
    $sudo sed -i "s/^# *\(${name} UTF-8\)/\1/" /etc/locale.gen
    grep -q "^${name} UTF-8" /etc/locale.gen || echo "${name} UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    generate=1
  done
  [ "$generate" -eq 0 ] || $sudo locale-gen >/dev/null
}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  ensure_locales
  exit 0
fi

echo "Installing: ${missing[*]}"
# 32-bit Wine comes from Debian's i386 architecture.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -qq
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
  # i386 and amd64 versions of a shared library can differ between the release and its updates;
  # taking both from the release itself makes them agree.
  $sudo apt-get install -y -qq --no-install-recommends -t bookworm "${missing[@]}"
fi
ensure_locales
