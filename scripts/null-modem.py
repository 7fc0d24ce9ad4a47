#!/usr/bin/env python3
"""Two pseudo-terminals joined like a null-modem cable.

    null-modem.py LINK_A LINK_B

Makes the symbolic links LINK_A and LINK_B to the two terminal devices and
copies every byte written to one device to the other, unchanged, until it is
terminated. Both devices are raw; each is held open here as well, so that a
program may open and close its end as often as it likes.
"""
import os
import pty
import select
import signal
import sys
import tty


def open_end(link):
    master, slave = pty.openpty()
    tty.setraw(slave)
    temporary = link + ".new"
    if os.path.lexists(temporary):
        os.unlink(temporary)
    os.symlink(os.ttyname(slave), temporary)
    os.rename(temporary, link)
    return master, slave


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    ends = [open_end(link) for link in sys.argv[1:]]
    masters = [ends[0][0], ends[1][0]]
    peer = {masters[0]: masters[1], masters[1]: masters[0]}
    try:
        while True:
            ready, _, _ = select.select(masters, [], [])
            for fd in ready:
                data = os.read(fd, 4096)
                if data:
                    os.write(peer[fd], data)
    finally:
        for link in sys.argv[1:]:
            if os.path.islink(link):
                os.unlink(link)


if __name__ == "__main__":
    main()
