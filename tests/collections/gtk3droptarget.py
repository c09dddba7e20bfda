#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A GTK 3 window, 400 pixels down the screen, that takes drops of a URI list or of ICNS or PNG data
# and prints one line for each, as gtk4droptarget.py does:
#   files <URI> ...
#   data <MIME type> <byte count> <SHA-256 in hex>
#   failed <message>
# and "ready" once its window is shown. It ends when its standard input closes.
import hashlib
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


def say(line):
    print(line, flush=True)


def on_received(widget, context, x, y, selection, info, time):
    target = selection.get_target().name()
    data = selection.get_data()
    if selection.get_length() < 0:
        say("failed no data for " + target)
    elif target == "text/uri-list":
        say("files " + " ".join(selection.get_uris()))
    else:
        say("data %s %d %s" % (target, len(data), hashlib.sha256(data).hexdigest()))


window = Gtk.Window(title="GTK 3 Drop Target")
window.set_default_size(500, 300)
window.move(0, 400)
area = Gtk.Label(label="Drop here")
window.add(area)
targets = [Gtk.TargetEntry.new(name, 0, index) for index, name in enumerate(["text/uri-list", "image/x-icns", "image/png"])]
area.drag_dest_set(Gtk.DestDefaults.ALL, targets, Gdk.DragAction.COPY)
area.connect("drag-data-received", on_received)
window.connect("map-event", lambda *args: GLib.timeout_add(300, lambda: say("ready") or False))
window.connect("destroy", Gtk.main_quit)
window.show_all()


def on_input(channel, condition):
    if channel.readline():
        return True
    Gtk.main_quit()
    return False


GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.IO_IN | GLib.IO_HUP, on_input)
Gtk.main()
