#!/bin/sh
# Exit 0 when this machine can run 32-bit x86 Linux programs, which Wine's 32-bit loader is.
# Some hypervisors give their guests no 32-bit compatibility mode: the kernel then refuses every
# i386 program ("Exec format error"), and no x86 Windows program can run under Wine there.
exec /lib/ld-linux.so.2 --version >/dev/null 2>&1
