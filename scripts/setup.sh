#!/usr/bin/env bash
# Installs what the builds and test suites need on a Debian 12 machine. Quick when all is there.
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# wine32 (the 32-bit loader /usr/lib/wine/wine, which runs the shipped i686 program) is an i386
# package; binutils' as and ld build the probe that tells whether the kernel runs 32-bit programs.
packages=(cmake make g++ clang libclang-rt-14-dev libgtest-dev python3 binutils
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
          wine64 wine32:i386 xvfb xauth x11-utils locales fonts-wqy-zenhei imagemagick icoutils)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture (for the 32-bit Wine)"
    $sudo dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    # A mirror caught mid-sync fails one index; it is usually whole again a minute later.
    for attempt in 1 2 3; do
        $sudo apt-get update -qq && break
        # The install below then works from the indexes that did arrive, or says what is missing.
        [ "$attempt" -lt 3 ] || { echo "setup: apt-get update failed three times" >&2; break; }
        echo "setup: apt-get update failed; trying again in 30 s" >&2
        sleep 30
    done
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 gives code page 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    $sudo sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
