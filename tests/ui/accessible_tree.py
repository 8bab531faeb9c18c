#!/usr/bin/python3
"""Prints what a screen reader finds in the settings window: one line for
each named object of the window's accessibility tree, in the tree's order,
its role, name and description separated by tabs; the tab bar's own objects
are left out.

Usage: accessible_tree.py PROGRAM FOLDER
Starts PROGRAM in FOLDER on a virtual display of its own, with a session bus
of its own on which the accessibility bus starts when the program asks for
it, reads the window and stops them all."""
import os
import subprocess
import sys
import tempfile
import time


def started(processes, command, **options):
    processes.append(subprocess.Popen(command, stdin=subprocess.DEVNULL, **options))
    return processes[-1]


def first_line(command, processes):
    return started(processes, command, stdout=subprocess.PIPE).stdout.readline().decode().strip()


def window_of(application_name):
    import pyatspi  # reaches the buses that the environment names

    for _ in range(300):
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.name == application_name:
                windows = [child for child in application if child.getRoleName() == "dialog"]
                if windows:
                    return windows[0]
        time.sleep(0.1)
    sys.exit(f"{application_name}: no window in the accessibility tree")


def print_tree(node):
    if node.getRoleName() == "page tab list":
        return
    if node.name or node.description:
        print(f"{node.getRoleName()}\t{node.name}\t{node.description}")
    for child in node:
        print_tree(child)


def main(program, folder):
    processes = []
    with tempfile.TemporaryDirectory() as runtime:
        try:
            display = first_line(["Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"],
                                 processes)
            bus = first_line(["dbus-daemon", "--session", "--nofork", "--print-address=1"], processes)
            # The accessibility bus is the one that this session bus starts.
            os.environ.pop("AT_SPI_BUS_ADDRESS", None)
            os.environ.update(DISPLAY=":" + display, DBUS_SESSION_BUS_ADDRESS=bus, XDG_RUNTIME_DIR=runtime)
            started(processes, [program], cwd=folder, stdout=subprocess.DEVNULL,
                    env=dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
            sys.stdout.reconfigure(encoding="utf-8")
            print_tree(window_of(os.path.basename(program)))
        finally:
            # The accessibility bus ends with the session bus that started it.
            for process in reversed(processes):
                process.terminate()
                process.wait()


main(*sys.argv[1:])
