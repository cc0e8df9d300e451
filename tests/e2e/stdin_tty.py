#!/usr/bin/env python3
"""heraldpad - on a terminal: one Ctrl+D after the last line ends the reading.
Usage: stdin_tty.py PATH_TO_HERALDPAD; exits 0 when the program went past the read."""
import os, pty, sys, time

pid, fd = pty.fork()
if pid == 0:
    os.environ['QT_QPA_PLATFORM'] = 'offscreen'
    os.execv(sys.argv[1], [sys.argv[1], '-'])


def reading():
    """Whether the program waits in read() on its standard input."""
    with open(f'/proc/{pid}/syscall') as f:
        call = f.read().split()
    return call[:2] == ['0', '0x0']


try:
    for _ in range(100):  # until it waits for the terminal, 10 s at most
        time.sleep(0.1)
        if reading():
            break
    os.write(fd, b'hello tty\n')
    time.sleep(0.5)
    os.write(fd, b'\x04')
    time.sleep(2)
    # Past the read for good: it never waits on the terminal again.
    if any(reading() or time.sleep(0.1) for _ in range(20)):
        print('still waiting for the terminal after one Ctrl+D')
        sys.exit(1)
    sys.exit(0)
finally:
    os.kill(pid, 9)
    os.waitpid(pid, 0)
