#!/usr/bin/python3
# Reads the program through the accessibility bus the way a screen reader does. Prints every element below the
# application as "tree|role|name|text" (a description, when there is one, as a fifth field), then what a reader
# starting now takes for the focus, the innermost focused object ("focused|role|name"), then "ready",
# then each focus, caret move and notice the program sends ("focus|role|name|place", where place is the outermost
# named panel or dialog around it; "caret|role|name", "notice|name"), and ends after the notice named (any notice
# when none is named), after the given number of seconds, or when its standard input ends.
#   test_pageaccessiblebus.py application-name seconds [notice]
import sys

import pyatspi
from gi.repository import GLib

strApplication = sys.argv[1]
intMilliseconds = int(float(sys.argv[2]) * 1000)
strNotice = sys.argv[3] if len(sys.argv) > 3 else None


def say(*arrayPart):
    print('|'.join(str(objectPart).replace('\n', ' ') for objectPart in arrayPart), flush=True)


def walk(objectParent):
    for objectChild in objectParent:
        if objectChild is None:
            continue
        objectText = objectChild.queryText() if 'Text' in objectChild.get_interfaces() else None
        arrayPart = ['tree', objectChild.getRoleName(), objectChild.name, objectText.getText(0, -1) if objectText else '']
        say(*(arrayPart + [objectChild.description] if objectChild.description else arrayPart))
        walk(objectChild)


def place(objectSource):
    strPlace = ''
    objectParent = objectSource.parent
    while objectParent is not None and objectParent.getRoleName() not in ('document web', 'application'):
        if objectParent.getRoleName() in ('panel', 'dialog') and objectParent.name:
            strPlace = objectParent.name
        objectParent = objectParent.parent
    return strPlace


def event(objectEvent):
    objectSource = objectEvent.source
    if objectEvent.type == 'object:text-caret-moved':
        say('caret', objectSource.getRoleName(), objectSource.name)
        return
    if objectEvent.detail1 != 1:
        return
    if objectEvent.type == 'object:state-changed:focused':
        say('focus', objectSource.getRoleName(), objectSource.name, place(objectSource))
    elif objectEvent.type == 'object:state-changed:showing' and objectSource.getRoleName() == 'notification':
        say('notice', objectSource.name)
        if strNotice is None or objectSource.name == strNotice:
            pyatspi.Registry.stop()


# The innermost focused object: the window and the view that holds the page say they are focused as well.
def focused(objectRoot):
    for objectChild in objectRoot:
        objectFound = focused(objectChild) if objectChild is not None else None
        if objectFound is not None:
            return objectFound
    return objectRoot if objectRoot.getState().contains(pyatspi.STATE_FOCUSED) else None


for objectApplication in pyatspi.Registry.getDesktop(0):
    if objectApplication is not None and objectApplication.name == strApplication:
        walk(objectApplication)
        objectFocus = focused(objectApplication)
        if objectFocus is not None:
            say('focused', objectFocus.getRoleName(), objectFocus.name)
pyatspi.Registry.registerEventListener(event, 'object:state-changed:focused', 'object:state-changed:showing',
                                       'object:text-caret-moved')
GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, lambda *_: sys.stdin.read() == '' and pyatspi.Registry.stop())
# The program learns of the listeners through the bus; give it a moment before anything happens.
GLib.timeout_add(500, lambda: say('ready'))
GLib.timeout_add(intMilliseconds, lambda: pyatspi.Registry.stop())
pyatspi.Registry.start()
