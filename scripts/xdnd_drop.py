#!/usr/bin/python3
"""Drops files on an X window the way a file manager does, with no mouse.

Usage: xdnd_drop.py WINDOW X Y FILE...
WINDOW is the target's X window id, (X, Y) the drop point in root
coordinates. The drag source speaks the XDND protocol: it owns the
XdndSelection, enters the target with the type text/uri-list, moves to the
point, drops once the target accepts, hands over the files' URIs when asked
and waits until the target has finished. Exit status 0 when the target took
the drop, 1 when it refused it, 2 when it did not answer in time.
Run it with Debian's /usr/bin/python3, which has python3-xlib.
"""
import os
import select
import sys
import time
import urllib.parse

from Xlib import X, Xatom, display
from Xlib.protocol import event

TIMEOUT_SECONDS = 20


def main():
    if len(sys.argv) < 5:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    target_id, x, y = int(sys.argv[1], 0), int(sys.argv[2]), int(sys.argv[3])
    uris = "".join("file://" + urllib.parse.quote(os.path.abspath(p)) + "\r\n"
                   for p in sys.argv[4:]).encode()

    d = display.Display()
    atom = d.intern_atom
    selection, uri_list, targets = atom("XdndSelection"), atom("text/uri-list"), atom("TARGETS")
    source = d.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    target = d.create_resource_object("window", target_id)
    source.set_selection_owner(selection, X.CurrentTime)

    def send(name, *longs):
        data = (list(longs) + [0] * 5)[:5]
        target.send_event(event.ClientMessage(window=target, client_type=atom(name),
                                              data=(32, data)))
        d.flush()

    def answer(request):
        # The target asks for the files (or the types offered) into a property.
        prop = request.property if request.property != X.NONE else request.target
        if request.target == uri_list:
            request.requestor.change_property(prop, uri_list, 8, uris)
        elif request.target == targets:
            request.requestor.change_property(prop, Xatom.ATOM, 32, [targets, uri_list])
        else:
            prop = X.NONE
        request.requestor.send_event(event.SelectionNotify(
            time=request.time, requestor=request.requestor, selection=request.selection,
            target=request.target, property=prop))
        d.flush()

    # Version 5, at most three types, given in the message itself.
    send("XdndEnter", source.id, 5 << 24, uri_list)
    send("XdndPosition", source.id, 0, (x << 16) | y, X.CurrentTime, atom("XdndActionCopy"))
    dropped = False
    deadline = time.monotonic() + TIMEOUT_SECONDS
    while True:
        while not d.pending_events():
            left = deadline - time.monotonic()
            if left <= 0:
                print("xdnd_drop: no answer from window %#x within %d s (%s)"
                      % (target_id, TIMEOUT_SECONDS, "after the drop" if dropped else
                         "before it accepted"), file=sys.stderr)
                return 2
            select.select([d], [], [], left)
        e = d.next_event()
        if e.type == X.SelectionRequest:
            answer(e)
        elif e.type == X.ClientMessage and e.client_type == atom("XdndStatus") and not dropped:
            if not e.data[1][1] & 1:
                send("XdndLeave", source.id)
                print("xdnd_drop: window %#x refused the drop at %d,%d" % (target_id, x, y),
                      file=sys.stderr)
                return 1
            send("XdndDrop", source.id, 0, X.CurrentTime)
            dropped = True
        elif e.type == X.ClientMessage and e.client_type == atom("XdndFinished"):
            return 0


if __name__ == "__main__":
    sys.exit(main())
