#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A GTK 4 window that takes drops as GTK 4 programs do: files as a Gdk.FileList (what file managers
# ask for), data by its MIME type. For each drop it prints one line:
#   files <URI> ...
#   data <MIME type> <byte count> <SHA-256 in hex>
#   failed <message>
# and "ready" once its window is shown. It ends when its standard input closes.
import ctypes
import hashlib
import sys

import gi

gi.require_version("Gdk", "4.0")
gi.require_version("Gtk", "4.0")
from gi.repository import Gdk, Gio, GLib, Gtk  # noqa: E402

DATA_TYPES = ["image/x-icns", "image/png"]


def say(line):
    print(line, flush=True)


def on_files(drop, result):
    try:
        files = drop.read_value_finish(result)
        say("files " + " ".join(f.get_uri() for f in files.get_files()))
        drop.finish(Gdk.DragAction.COPY)
    except GLib.Error as error:
        say("failed " + error.message)
        drop.finish(0)


def on_data(drop, result):
    try:
        data = drop.read_value_finish(result).get_data()
        say("data %s %d %s" % (received_type[0], len(data), hashlib.sha256(data).hexdigest()))
        drop.finish(Gdk.DragAction.COPY)
    except GLib.Error as error:
        say("failed " + error.message)
        drop.finish(0)


# Gdk.Drop.read_finish() frees the MIME type it hands back (PyGObject takes the string as its
# own), which aborts the process; bytes are read as a value through a deserializer of our own
# instead. Its value is a GBytes that PyGObject cannot set, so that one call goes through ctypes.
received_type = [None]
gtk = ctypes.CDLL("libgtk-4.so.1")
gtk.gdk_content_deserializer_get_value.restype = ctypes.c_void_p
gtk.gdk_content_deserializer_get_value.argtypes = [ctypes.c_void_p]
glib = ctypes.CDLL("libglib-2.0.so.0")
glib.g_bytes_new.restype = ctypes.c_void_p
glib.g_bytes_new.argtypes = [ctypes.c_char_p, ctypes.c_size_t]
gobject = ctypes.CDLL("libgobject-2.0.so.0")
gobject.g_value_take_boxed.argtypes = [ctypes.c_void_p, ctypes.c_void_p]


def deserialize_bytes(deserializer):
    sink = Gio.MemoryOutputStream.new_resizable()

    def on_spliced(sink, result):
        try:
            sink.splice_finish(result)
            data = sink.steal_as_bytes().get_data()
            received_type[0] = deserializer.get_mime_type()
            # A GObject wrapper hashes to the address of its object.
            value = gtk.gdk_content_deserializer_get_value(hash(deserializer))
            gobject.g_value_take_boxed(value, glib.g_bytes_new(data, len(data)))
            deserializer.return_success()
        except GLib.Error as error:
            deserializer.return_error(error)

    flags = Gio.OutputStreamSpliceFlags.CLOSE_SOURCE | Gio.OutputStreamSpliceFlags.CLOSE_TARGET
    sink.splice_async(deserializer.get_input_stream(), flags, deserializer.get_priority(), None, on_spliced)


def on_drop(target, drop, x, y):
    offered = drop.get_formats()
    if offered.contain_gtype(Gdk.FileList):
        drop.read_value_async(Gdk.FileList, GLib.PRIORITY_DEFAULT, None, on_files)
    else:
        drop.read_value_async(GLib.Bytes.__gtype__, GLib.PRIORITY_DEFAULT, None, on_data)
    return True


def on_activate(app):
    window = Gtk.ApplicationWindow(application=app, title="GTK Drop Target")
    window.set_default_size(500, 300)
    area = Gtk.Label(label="Drop here")
    area.set_hexpand(True)
    area.set_vexpand(True)
    window.set_child(area)
    formats = Gdk.ContentFormats.new(["text/uri-list"] + DATA_TYPES)
    target = Gtk.DropTargetAsync.new(formats, Gdk.DragAction.COPY)
    target.connect("drag-enter", lambda *args: Gdk.DragAction.COPY)
    target.connect("drag-motion", lambda *args: Gdk.DragAction.COPY)
    target.connect("drop", on_drop)
    area.add_controller(target)
    window.connect("map", lambda *args: GLib.timeout_add(300, lambda: say("ready") or False))
    window.present()

    def on_input(channel, condition):
        if channel.readline():
            return True
        app.quit()
        return False

    GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.IO_IN | GLib.IO_HUP, on_input)


for mime in DATA_TYPES:
    Gdk.content_register_deserializer(mime, GLib.Bytes.__gtype__, deserialize_bytes)
app = Gtk.Application(application_id="org.example.GtkDropTarget", flags=Gio.ApplicationFlags.NON_UNIQUE)
app.connect("activate", on_activate)
app.run([])
