# Sourced: whether this machine runs 32-bit (i386) Linux programs, which
# 32-bit Wine needs; natively on most kernels, else through qemu's user-mode
# emulator registered with binfmt_misc (scripts/setup/setup.sh does that).

binfmt=/proc/sys/fs/binfmt_misc

# Assembles and runs a five-instruction 32-bit program that exits with 42.
i386_runs() {
    probe_dir=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' >"$probe_dir/probe.s"
    probe_status=1
    if as --32 -o "$probe_dir/probe.o" "$probe_dir/probe.s" 2>/dev/null &&
        ld -m elf_i386 -o "$probe_dir/probe" "$probe_dir/probe.o" 2>/dev/null; then
        probe_code=0
        (exec "$probe_dir/probe") 2>/dev/null || probe_code=$?
        [ "$probe_code" -eq 42 ] && probe_status=0
    fi
    rm -rf "$probe_dir"
    return $probe_status
}

# True when 32-bit programs go through qemu: its entry is registered and on.
i386_emulated() {
    [ "$(head -n 1 "$binfmt/qemu-i386" 2>/dev/null)" = enabled ]
}

# Why a 32-bit Windows program cannot run here; empty when it can.
wine32_missing() {
    if [ ! -x /usr/lib/wine/wine ]; then
        # The set-up's own reason where it tried and failed.
        reason=$(sed -n 's/^wine32:i386: //p' "$ROOT/build/setup/not-installed" 2>/dev/null)
        echo "32-bit Wine (wine32:i386) is not installed${reason:+: the set-up could not install it: $reason}"
    elif ! i386_runs; then
        echo "this kernel does not run 32-bit programs and no emulator is registered for them"
    fi
}
