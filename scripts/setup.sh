#!/usr/bin/env bash
# Installs what the builds and test suites need on a Debian 12 machine. Quick when all is there.
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# binutils' as and ld build the probe that tells whether the kernel runs 32-bit programs.
# fonts-wqy-microhei draws the dialogs' 8-point Chinese whole under Wine (scripts/wine_fonts.sh);
# fonts-wine holds Wine's own fonts, Marlett among them, which draws the title bars' buttons
# (without it they read "0 1 r").
packages=(cmake make g++ clang libclang-rt-14-dev libgtest-dev python3 binutils
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
          wine64 fonts-wine xvfb xauth x11-utils locales fonts-wqy-zenhei fonts-wqy-microhei
          imagemagick icoutils)
# wine32 (the 32-bit loader /usr/lib/wine/wine, which runs the shipped i686 program) is an i386
# package, wanted only where the kernel runs 32-bit programs: elsewhere the suites skip the i686
# configurations, and a mirror whose i386 index is mid-sync need not stop the rest.
wine32=wine32:i386

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture (for the 32-bit Wine)"
    $sudo dpkg --add-architecture i386
fi

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

updated=no
install_missing() {
    local missing=()
    for package in "$@"; do
        installed "$package" || missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "setup: installing ${missing[*]}"
    if [ "$updated" = no ]; then
        # A mirror caught mid-sync fails one index; it is usually whole again a minute later.
        for attempt in 1 2 3; do
            $sudo apt-get update -qq && break
            # The install then works from the indexes that did arrive, or says what is missing.
            [ "$attempt" -lt 3 ] || { echo "setup: apt-get update failed three times" >&2; break; }
            echo "setup: apt-get update failed; trying again in 30 s" >&2
            sleep 30
        done
        updated=yes
    fi
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"
if reason=$(bash "$(dirname "$0")/runs_32bit.sh" 2>&1); then
    install_missing "$wine32"
else
    echo "setup: not installing $wine32: $reason"
fi

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 gives code page 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    $sudo sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
