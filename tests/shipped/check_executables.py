#!/usr/bin/env python3
"""Checks the executables we ship as a clean Windows would meet them.

- Imports: only DLLs that every Windows 7 and later has (objdump lists
  them). Wine provides more (zlib1.dll among them), so a program that
  imports one starts under Wine and not on Windows. And only Windows' known
  DLLs: any other is looked for beside the program first, where a planted
  DLL of that name would run inside it.
- Manifest: run as the invoker (no folder virtualization), DPI-unaware
  with GDI scaling, no Common Controls 6. Wine ignores all of these.
- Version resource: company and product "Tarvex Forge", a description and
  a version.
- No symbol table, and a subsystem version below 6.0: from 6.0 on, Windows
  draws wider borders and the fixed outer window sizes no longer hold.

Usage: check_executables.py <exe>...
"""
import os
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

def dll_list(name):
    return {line.strip().lower() + ".dll" for line in open(os.path.join(os.path.dirname(__file__), name))
            if line.strip() and not line.startswith("#")}


SYSTEM_DLLS = dll_list("system_dlls.txt")
KNOWN_DLLS = dll_list("known_dlls.txt")
failures = []


def fail(exe, what):
    failures.append(f"{exe}: {what}")


def pe_headers(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    _, _, _, symbols, symbol_count, _, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    optional = pe + 24
    subsystem_version = struct.unpack_from("<HH", data, optional + 48)
    return symbols, symbol_count, subsystem_version


def imports(exe):
    listing = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], check=True,
                             capture_output=True, text=True).stdout
    return [line.split("DLL Name:")[1].strip() for line in listing.splitlines() if "DLL Name:" in line]


def resource(exe, kind):
    return subprocess.run(["wrestool", "-x", "--raw", f"--type={kind}", exe], check=True,
                          capture_output=True).stdout


def version_strings(block):
    """The StringFileInfo values of a VS_VERSIONINFO block."""
    values = {}

    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", block, at)
        end = at + length
        key_end = at + 6
        while block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        if kind == 1 and value_length:
            values[key] = block[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
            value_at += 2 * value_length
        else:
            value_at += value_length
        child = (value_at + 3) & ~3
        while child < end:
            child = (node(child) + 3) & ~3
        return end

    node(0)
    return values


def check(exe):
    data = open(exe, "rb").read()
    symbols, symbol_count, subsystem = pe_headers(data)
    foreign = [dll for dll in imports(exe) if dll.lower() not in SYSTEM_DLLS]
    if foreign:
        fail(exe, "imports DLLs a clean Windows lacks: " + ", ".join(foreign))
    unknown = [dll for dll in imports(exe) if dll.lower() not in KNOWN_DLLS]
    if unknown:
        fail(exe, "imports DLLs that are not known DLLs (looked for beside it first): " + ", ".join(unknown))
    if symbols or symbol_count:
        fail(exe, f"carries a symbol table ({symbol_count} symbols)")
    if subsystem >= (6, 0):
        fail(exe, f"subsystem version {subsystem[0]}.{subsystem[1]}, not below 6.0")

    manifest = ET.fromstring(resource(exe, 24))
    found = {element.tag.split("}")[1]: element for element in manifest.iter()}
    level = found.get("requestedExecutionLevel")
    if level is None or level.get("level") != "asInvoker":
        fail(exe, "manifest does not request asInvoker")
    if (found.get("dpiAware") is None or found["dpiAware"].text.strip() != "false"):
        fail(exe, "manifest does not declare the program DPI-unaware")
    if (found.get("gdiScaling") is None or found["gdiScaling"].text.strip() != "true"):
        fail(exe, "manifest does not turn GDI scaling on")
    for identity in manifest.iter("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity"):
        if identity.get("name") == "Microsoft.Windows.Common-Controls":
            fail(exe, "manifest depends on Common Controls 6")

    version = version_strings(resource(exe, 16))
    for key in ("CompanyName", "ProductName"):
        if version.get(key) != "Tarvex Forge":
            fail(exe, f"version {key} is {version.get(key)!r}")
    for key in ("FileDescription", "FileVersion", "ProductVersion"):
        if not version.get(key):
            fail(exe, f"version resource has no {key}")
    print(f"{exe}: {version.get('FileDescription')} {version.get('FileVersion')}, "
          f"{len(data)} bytes, imports {', '.join(imports(exe))}")


for exe in sys.argv[1:]:
    try:
        check(exe)
    except (OSError, subprocess.CalledProcessError, ET.ParseError, struct.error) as error:
        fail(exe, f"cannot be read: {error}")
for line in failures:
    print("FAILED:", line)
sys.exit(1 if failures else 0)
