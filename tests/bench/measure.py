#!/usr/bin/env python3
"""measure.py [--address-space] USAGE_FILE COMMAND...: runs the command
(standard input, output and error as given) and writes to USAGE_FILE its
processor time (user and system, in seconds, to the microsecond) and its peak
resident set in KB. Exits with the command's status.

With --address-space a third number follows: the command's peak address
space in KB (VmPeak: every mapping it held at once, reserved or written, what
a limit such as ulimit -v counts). The system forgets it when the process
ends, so the command runs traced and is held at its end while the number is
read; it stops nowhere else but at its start, at each exec (env, say, then
the program it runs) and at the signals it gets, which go on to it
unchanged."""
import ctypes
import os
import sys

PTRACE_TRACEME, PTRACE_CONT, PTRACE_SETOPTIONS = 0, 7, 0x4200
PTRACE_O_TRACEEXEC, PTRACE_O_TRACEEXIT, PTRACE_O_EXITKILL = 0x10, 0x40, 0x100000
PTRACE_EVENT_EXIT = 6

arguments = sys.argv[1:]
address_space = arguments[:1] == ["--address-space"]
if address_space:
    arguments = arguments[1:]
usage_file, command = arguments[0], arguments[1:]

libc = ctypes.CDLL(None, use_errno=True)
libc.ptrace.argtypes = [ctypes.c_long, ctypes.c_long, ctypes.c_void_p, ctypes.c_void_p]


def peak_address_space_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmPeak:"):
                return int(line.split()[1])
    return 0


pid = os.fork()
if pid == 0:
    try:
        if address_space and libc.ptrace(PTRACE_TRACEME, 0, None, None) != 0:
            print("measure.py: cannot trace the command", file=sys.stderr)
            os._exit(127)
        os.execvp(command[0], command)
    finally:
        os._exit(127)

peak_vm = 0
started = False
while True:
    _, status, usage = os.wait4(pid, 0)
    if not os.WIFSTOPPED(status):
        break
    # Only a traced command stops: at its first exec (a SIGTRAP), at a later
    # exec or its exit (events), or at a signal, which goes on to it.
    event = status >> 16
    deliver = 0
    if not started:
        started = True
        options = PTRACE_O_TRACEEXEC | PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL
        libc.ptrace(PTRACE_SETOPTIONS, pid, None, ctypes.c_void_p(options))
    elif event == PTRACE_EVENT_EXIT:
        peak_vm = peak_address_space_kb(pid)
    elif event == 0:
        deliver = os.WSTOPSIG(status)
    libc.ptrace(PTRACE_CONT, pid, None, ctypes.c_void_p(deliver))

with open(usage_file, "w") as out:
    figures = f"{usage.ru_utime + usage.ru_stime:.6f} {usage.ru_maxrss}"
    if address_space:
        figures += f" {peak_vm}"
    out.write(figures + "\n")
sys.exit(os.waitstatus_to_exitcode(status))
