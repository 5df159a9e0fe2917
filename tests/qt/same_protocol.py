#!/usr/bin/env python3
"""Fails unless two Wayland protocol descriptions carry the same messages:
the same interfaces at the same versions, each with the same requests, and
the same events, in the same order (their positions are what travels), with
the same destructors, versions they came with and arguments (name, type,
interface, whether null is allowed). Documentation is not compared. Exits 77
(skipped) when the second description is missing.
Usage: same_protocol.py OURS.xml [SYSTEMS.xml]"""
import sys
import xml.etree.ElementTree as ET


def messages(path):
    """Each interface, then each of its requests and events, as tuples."""
    shape = []
    for interface in ET.parse(path).getroot().iter("interface"):
        name = interface.get("name")
        shape.append((name, interface.get("version")))
        for kind in ("request", "event"):
            for position, message in enumerate(interface.iter(kind)):
                args = [(arg.get("name"), arg.get("type"), arg.get("interface"),
                         arg.get("allow-null", "false"))
                        for arg in message.iter("arg")]
                shape.append((f"{name} {kind} {position}", message.get("name"),
                              message.get("type"), message.get("since", "1"),
                              args))
    return shape


def main():
    if len(sys.argv) < 3:
        print("skipped: the system has no description of its own")
        return 77
    ours, theirs = messages(sys.argv[1]), messages(sys.argv[2])
    for mine, other in zip(ours + [None] * len(theirs), theirs + [None] * len(ours)):
        if mine != other:
            print(f"differ:\n  ours:   {mine}\n  system: {other}")
            return 1
    print(f"alike: {len(ours)} interfaces and messages")
    return 0


sys.exit(main())
