#!/usr/bin/env bash
# Makes sure this host runs i386 Linux programs, as 32-bit Wine is. A tiny
# i386 probe tells whether the kernel runs them itself; some 64-bit kernels
# (among them the virtual machines this is developed on) give user programs
# no 32-bit code segment at all. Then every i386 program is handed to
# qemu-i386 through binfmt_misc: a static qemu-i386 of version 10, taken
# from Debian trixie's qemu-user package with an apt state of its own, so
# the host's apt sources stay as they are (bookworm's qemu 7.2 crashes under
# Wine). The emulator is kept in $KELMO_QEMU_DIR for later runs; the
# registration lasts until the next boot and is made again when missing.
set -euo pipefail
source "$(dirname "$0")/common.sh"

QEMU_DIR="${KELMO_QEMU_DIR:-/usr/local/lib/kelmo}"
QEMU="$QEMU_DIR/qemu-i386"
BINFMT=/proc/sys/fs/binfmt_misc

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# exit(0) through the i386 system call gate.
probe_runs() {
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$work/probe.s"
  as --32 -o "$work/probe.o" "$work/probe.s" && ld -m elf_i386 -o "$work/probe" "$work/probe.o" &&
    "$work/probe" 2>/dev/null
}

fetch_qemu() {
  say "fetching qemu-i386 from Debian trixie into $QEMU_DIR"
  local apt="$work/apt"
  mkdir -p "$apt/state/lists/partial" "$apt/cache/archives/partial" "$apt/etc/sources.list.d" \
           "$apt/etc/preferences.d" "$apt/etc/apt.conf.d"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian trixie main" \
    >"$apt/etc/sources.list"
  local opts=(-o "Dir::State=$apt/state" -o "Dir::State::status=/dev/null" -o "Dir::Cache=$apt/cache"
              -o "Dir::Etc=$apt/etc" -o "Dir::Etc::SourceList=$apt/etc/sources.list"
              -o "Dir::Etc::SourceParts=$apt/etc/sources.list.d" -o "APT::Architecture=amd64"
              -o "APT::Sandbox::User=root" -qq)
  apt-get "${opts[@]}" update
  (cd "$work" && apt-get "${opts[@]}" download qemu-user)
  dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386
  mkdir -p "$QEMU_DIR"
  install -m 755 "$work/usr/bin/qemu-i386" "$QEMU.new" && mv "$QEMU.new" "$QEMU"
}

# The ELF header of an i386 executable or shared object; flags O and P hand
# qemu the open binary and its name, F opens the emulator now, so it works in
# any mount namespace.
register_qemu() {
  [ -f "$BINFMT/register" ] || mount -t binfmt_misc binfmt_misc "$BINFMT"
  [ -e "$BINFMT/kelmo-i386" ] && echo -1 >"$BINFMT/kelmo-i386"
  echo ":kelmo-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$QEMU:OPF" \
    >"$BINFMT/register"
}

if probe_runs; then
  exit 0
fi
if [ "$(id -u)" != 0 ]; then
  exec sudo "$0" "$@"
fi
[ -x "$QEMU" ] || fetch_qemu
say "registering $QEMU for i386 programs (binfmt_misc)"
register_qemu
probe_runs || { echo "i386 programs still do not run, even under $QEMU" >&2; exit 1; }
