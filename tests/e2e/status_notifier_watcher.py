"""A status notifier watcher for python3-dbusmock: a desktop tray that accepts items.

Qt shows tray icons over D-Bus once org.kde.StatusNotifierWatcher answers with a host
registered; this stands in for a desktop panel on a private session bus.
"""

import dbus

BUS_NAME = 'org.kde.StatusNotifierWatcher'
MAIN_OBJ = '/StatusNotifierWatcher'
MAIN_IFACE = 'org.kde.StatusNotifierWatcher'
SYSTEM_BUS = False


def load(mock, parameters):
    mock.AddProperties(MAIN_IFACE, {
        'RegisteredStatusNotifierItems': dbus.Array([], signature='s'),
        'IsStatusNotifierHostRegistered': dbus.Boolean(True),
        'ProtocolVersion': dbus.Int32(0),
    })
    mock.AddMethods(MAIN_IFACE, [
        ('RegisterStatusNotifierItem', 's', '',
         'items = self.Get("org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems")\n'
         'self.Set("org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems",'
         ' dbus.Array(list(items) + [args[0]], signature="s"))\n'
         'self.EmitSignal("org.kde.StatusNotifierWatcher", "StatusNotifierItemRegistered",'
         ' "s", [args[0]])'),
        ('RegisterStatusNotifierHost', 's', '', ''),
    ])
