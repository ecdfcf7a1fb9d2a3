#!/usr/bin/env bash
# Exits 0 when this machine's kernel executes 32-bit x86 programs, which the 32-bit Wine and so
# the shipped i686 program need; 1 when it does not (or the probe cannot be built), with the
# reason on stderr. The probe is a static i386 ELF of three instructions that exits with 42: it
# needs no 32-bit libraries and no Wine, so it tests the kernel alone.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

probe_dir=build/probe32
mkdir -p "$probe_dir"
if [ ! -x "$probe_dir/probe" ]; then
    printf ".globl _start\n_start:\n  movl \$1, %%eax\n  movl \$42, %%ebx\n  int \$0x80\n" \
        >"$probe_dir/probe.s"
    if ! as --32 -o "$probe_dir/probe.o" "$probe_dir/probe.s" 2>"$probe_dir/build.log" ||
        ! ld -m elf_i386 -o "$probe_dir/probe" "$probe_dir/probe.o" 2>>"$probe_dir/build.log"; then
        echo "the 32-bit probe could not be built (see $probe_dir/build.log)" >&2
        rm -f "$probe_dir/probe"
        exit 1
    fi
fi

"$probe_dir/probe" 2>/dev/null
status=$?
if [ "$status" -ne 42 ]; then
    echo "this kernel does not execute 32-bit programs (the i386 probe gave $status, not 42)" >&2
    exit 1
fi
exit 0
