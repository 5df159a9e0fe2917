"""A keyboard for the end-to-end tests on GNOME's compositor, mutter.

Presses keys through mutter's remote-desktop D-Bus interface, on the session
bus. Prints "ready" once the remote keyboard exists, then reads commands,
one a line, and prints "sent" after each:
    text WORD    types the characters of WORD
    keys NAME…   presses keys by their X keysym names (Tab, space, …); a
                 name such as Control_L+v holds the first key down while it
                 presses the second
The remote keyboard lasts as long as this process's D-Bus connection.
"""

import sys
import time

from gi.repository import Gio, GLib

BUS_NAME = "org.gnome.Mutter.RemoteDesktop"
KEYSYMS = {"Tab": 0xFF09, "space": 0x20, "BackSpace": 0xFF08, "Shift_L": 0xFFE1,
           "Control_L": 0xFFE3, "v": ord("v")}
KEY_DELAY = 0.02  # seconds between a key's press and its release, and keys


def proxy(bus, path, interface):
    return Gio.DBusProxy.new_sync(bus, 0, None, BUS_NAME, path, interface, None)


def keysym(character):
    """The keysym of a character: its code up to U+00FF, else Unicode's."""
    code = ord(character)
    return code if code <= 0xFF else 0x01000000 + code


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    desktop = proxy(bus, "/org/gnome/Mutter/RemoteDesktop", BUS_NAME)
    path = desktop.call_sync("CreateSession", None, 0, -1, None).unpack()[0]
    session = proxy(bus, path, BUS_NAME + ".Session")
    session.call_sync("Start", None, 0, -1, None)

    def key(sym, pressed):
        session.call_sync("NotifyKeyboardKeysym",
                          GLib.Variant("(ub)", (sym, pressed)), 0, -1, None)
        time.sleep(KEY_DELAY)

    def press(sym, held=()):
        for modifier in held:
            key(modifier, True)
        key(sym, True)
        key(sym, False)
        for modifier in reversed(held):
            key(modifier, False)

    # The first key after the keyboard appears can be lost: a harmless one.
    press(KEYSYMS["Shift_L"])
    print("ready", flush=True)
    for line in sys.stdin:
        command, _, argument = line.rstrip("\n").partition(" ")
        if command == "text":
            chords = [[keysym(character)] for character in argument]
        else:
            chords = [[KEYSYMS[name] for name in chord.split("+")]
                      for chord in argument.split()]
        for *held, sym in chords:
            press(sym, held)
        print("sent", flush=True)


main()
