# Runs a command with its output (both streams) going to a file and prints
# the processor time it used (user + system seconds, microsecond
# resolution).  Processor time rather than wall time: on a shared machine
# other work slows the wall clock of every contestant differently.
# Usage: python3 cpu_time.py OUTPUT_FILE COMMAND [ARG ...]
import os
import sys

out_path, command = sys.argv[1], sys.argv[2:]
with open(out_path, "wb") as out:
    pid = os.fork()
    if pid == 0:
        os.dup2(out.fileno(), 1)
        os.dup2(out.fileno(), 2)
        try:
            os.execvp(command[0], command)
        finally:
            os._exit(127)
    _, status, usage = os.wait4(pid, 0)
print(f"{usage.ru_utime + usage.ru_stime:.4f}")
sys.exit(os.waitstatus_to_exitcode(status) and 1)
