#!/usr/bin/env python3
"""Checks a Windows executable we ship, from its PE headers alone (the i686
one cannot run on this machine): the machine, the GUI subsystem (no console
window opens with it) for Windows 7 (subsystem version 6.1), imports from
Windows' own DLLs only (no MinGW or other runtime DLL to carry beside it) and
none of the functions Windows 7 lacks, and the manifest and version
resources. Prints one line per finding; exits 1 when any check failed.

    check_windows_exe.py EXE i386|amd64
"""
import os
import struct
import sys

MACHINES = {"i386": 0x14C, "amd64": 0x8664}
GUI_SUBSYSTEM = 2
RT_ICON_GROUP, RT_VERSION, RT_MANIFEST = 14, 16, 24
# DLLs every Windows the program supports has in System32.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "shell32.dll",
    "shlwapi.dll", "advapi32.dll", "ws2_32.dll", "wininet.dll", "msvcrt.dll", "ole32.dll",
    "oleaut32.dll", "uxtheme.dll", "version.dll", "winmm.dll", "crypt32.dll", "bcrypt.dll",
    "ntdll.dll", "iphlpapi.dll", "secur32.dll", "dnsapi.dll", "oleacc.dll",
}
SUBSYSTEM_VERSION = (6, 1)
# Functions of those DLLs that came after Windows 7: a program that runs there
# looks them up when it runs (GetProcAddress) and does without them.
NEWER_THAN_WINDOWS_7 = {
    "GetDpiForWindow", "GetDpiForSystem", "GetSystemMetricsForDpi", "AdjustWindowRectExForDpi",
    "SystemParametersInfoForDpi", "EnableNonClientDpiScaling", "SetThreadDpiAwarenessContext",
    "SetProcessDpiAwarenessContext", "GetWindowDpiAwarenessContext", "AreDpiAwarenessContextsEqual",
    "GetDpiForMonitor", "SetProcessDpiAwareness", "LogicalToPhysicalPointForPerMonitorDPI",
    "CreateFile2", "CopyFile2", "GetSystemTimePreciseAsFileTime", "GetOverlappedResultEx",
    "SetThreadDescription", "GetThreadDescription", "WaitOnAddress", "WakeByAddressSingle",
    "WakeByAddressAll", "GetCurrentThreadStackLimits", "PrefetchVirtualMemory",
}


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections = struct.unpack_from("<HH", data, pe + 4)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.pe32 = magic == 0x10B
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        self.subsystem_version = struct.unpack_from("<HH", data, optional + 48)
        directories = optional + (96 if self.pe32 else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return rva - address + raw
        raise ValueError("address %#x is in no section" % rva)

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """Each imported DLL with the names it is asked for (not ordinals)."""
        rva = self.directories[1][0]
        dlls = []
        while rva:
            entry = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if entry == (0, 0, 0, 0, 0):
                break
            dlls.append((self.text(entry[3]), self.imported_names(entry[0] or entry[4])))
            rva += 20
        return dlls

    def imported_names(self, thunks):
        size, ordinal_flag = (4, 1 << 31) if self.pe32 else (8, 1 << 63)
        names = []
        while True:
            thunk = struct.unpack_from("<I" if self.pe32 else "<Q", self.data, self.offset(thunks))[0]
            if not thunk:
                return names
            if not thunk & ordinal_flag:
                names.append(self.text(thunk + 2))  # after the two-byte hint
            thunks += size

    def resource_types(self):
        rva = self.directories[2][0]
        if not rva:
            return []
        root = self.offset(rva)
        named, numbered = struct.unpack_from("<HH", self.data, root + 12)
        types = []
        for i in range(named + numbered):
            identifier = struct.unpack_from("<I", self.data, root + 16 + 8 * i)[0]
            if not identifier & 0x80000000:
                types.append(identifier)
        return types

    def manifest(self):
        """The first RT_MANIFEST resource's bytes, following the three levels."""
        base = self.offset(self.directories[2][0])
        entry = self.find_entry(base, 0, RT_MANIFEST)
        for _ in range(2):
            entry = self.first_entry(base, entry & 0x7FFFFFFF)
        data_rva, size = struct.unpack_from("<II", self.data, base + entry)
        start = self.offset(data_rva)
        return self.data[start:start + size]

    def find_entry(self, base, directory, identifier):
        named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
            if name == identifier:
                return target
        raise ValueError("resource type %d absent" % identifier)

    def first_entry(self, base, directory):
        return struct.unpack_from("<I", self.data, base + directory + 20)[0]


def check(path, machine):
    failures = []
    with open(path, "rb") as f:
        image = Image(f.read())
    if image.machine != MACHINES[machine]:
        failures.append("machine %#x, not %s" % (image.machine, machine))
    if image.pe32 != (machine == "i386"):
        failures.append("optional header is %s" % ("PE32" if image.pe32 else "PE32+"))
    if image.subsystem != GUI_SUBSYSTEM:
        failures.append("subsystem %d, not the Windows GUI (a console window would open)" % image.subsystem)
    if image.subsystem_version != SUBSYSTEM_VERSION:
        failures.append("subsystem version %d.%d, not %d.%d (Windows 7)" % (image.subsystem_version + SUBSYSTEM_VERSION))
    for dll, names in image.imports():
        if dll.lower() not in SYSTEM_DLLS:
            failures.append("imports %s, which Windows does not have" % dll)
        for name in sorted(NEWER_THAN_WINDOWS_7.intersection(names)):
            failures.append("imports %s from %s, which Windows 7 lacks" % (name, dll))
    types = image.resource_types()
    for wanted, name in ((RT_MANIFEST, "manifest"), (RT_VERSION, "version"), (RT_ICON_GROUP, "icon")):
        if wanted not in types:
            failures.append("no %s resource" % name)
    if RT_MANIFEST in types:
        manifest = image.manifest()
        for needle in (b"Microsoft.Windows.Common-Controls", b'level="asInvoker"'):
            if needle not in manifest:
                failures.append("manifest lacks %s" % needle.decode())
    return failures


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in MACHINES:
        print(__doc__)
        return 2
    if not os.path.exists(sys.argv[1]):
        print("%s is absent: build its preset first" % sys.argv[1])
        return 77
    try:
        failures = check(sys.argv[1], sys.argv[2])
    except (OSError, ValueError, struct.error) as error:
        failures = ["unreadable: %s" % error]
    for failure in failures:
        print("%s: %s" % (sys.argv[1], failure))
    if not failures:
        print("%s: %s GUI program for Windows 7, system DLLs only, manifest and version present" % (sys.argv[1], sys.argv[2]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
