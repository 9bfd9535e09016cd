#!/usr/bin/env python3
"""measure.py USAGE_FILE COMMAND...: runs the command (standard input, output
and error as given) and writes to USAGE_FILE its processor time (user and
system, in seconds, to the microsecond) and its peak resident set in KB.
Exits with the command's status."""
import os
import sys

usage_file, command = sys.argv[1], sys.argv[2:]
pid = os.fork()
if pid == 0:
    try:
        os.execvp(command[0], command)
    finally:
        os._exit(127)
_, status, usage = os.wait4(pid, 0)
with open(usage_file, "w") as out:
    out.write(f"{usage.ru_utime + usage.ru_stime:.6f} {usage.ru_maxrss}\n")
sys.exit(os.waitstatus_to_exitcode(status))
