#!/usr/bin/python3
"""Checks the built zorva_mapi.dll as a Windows loader and a host see it:
machine, exports and ordinals, export name, imports and version resource."""
import sys

import pefile

EXPECTED_EXPORTS = {1: "ADDRESSBOOK", 2: "GETMAIL", 3: "INBOX", 4: "SENDMAIL", 5: "mapi_version"}
# Windows system DLLs only: no runtime DLLs of the toolchain's own.
ALLOWED_IMPORTS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll"}
EXPECTED_STRINGS = {
    "FileVersion": "1, 0, 0, 6",
    "ProductVersion": "1, 0, 0, 6",
    "FileDescription": "zorva_mapi",
    "InternalName": "zorva_mapi",
    "OriginalFilename": "zorva_mapi.dll",
}
MAKER_STRINGS = ("CompanyName", "LegalCopyright", "ProductName")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def main(path):
    pe = pefile.PE(path)

    check(pe.FILE_HEADER.Machine == 0x14C, f"machine {pe.FILE_HEADER.Machine:#x}, not i386")
    check(pe.OPTIONAL_HEADER.Magic == 0x10B, "not PE32")
    check(pe.FILE_HEADER.Characteristics & 0x2000, "not a DLL")

    exports = pe.DIRECTORY_ENTRY_EXPORT
    check(exports.name == b"zorva_mapi.dll", f"export name {exports.name!r}")
    found = {s.ordinal: (s.name or b"").decode() for s in exports.symbols}
    check(found == EXPECTED_EXPORTS, f"exports {found}")

    imports = {e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT}
    ucrt = {d for d in imports if d.startswith("api-ms-win-crt-") or d == "ucrtbase.dll"}
    check(not (imports - ALLOWED_IMPORTS - ucrt), f"imports {sorted(imports)}")

    fixed = pe.VS_FIXEDFILEINFO[0]
    check((fixed.FileVersionMS, fixed.FileVersionLS) == (0x10000, 0x6), "file version")
    check((fixed.ProductVersionMS, fixed.ProductVersionLS) == (0x10000, 0x6), "product version")
    check(fixed.FileFlagsMask == 0x3F, f"flags mask {fixed.FileFlagsMask:#x}")
    check(fixed.FileFlags == 0x0A, f"flags {fixed.FileFlags:#x}")
    check(fixed.FileOS == 0x4, f"OS {fixed.FileOS:#x}")
    check(fixed.FileType == 0x1, f"type {fixed.FileType:#x}")
    check((fixed.FileDateMS, fixed.FileDateLS) == (0, 0), "file date set")

    tables = {}
    translations = []
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                tables[table.LangID] = {k.decode(): v.decode() for k, v in table.entries.items()}
        elif info.Key == b"VarFileInfo":
            for var in info.Var:
                translations.append(var.entry.get(b"Translation"))
    check(list(tables) == [b"080904b0"], f"string tables {list(tables)}")
    strings = tables.get(b"080904b0", {})
    for key, value in EXPECTED_STRINGS.items():
        check(strings.get(key) == value, f"{key} is {strings.get(key)!r}")
    for key in MAKER_STRINGS:
        check(bool(strings.get(key)), f"{key} is empty")
    check(translations == ["0x0809 0x04b0"], f"translations {translations}")

    for message in failures:
        print("FAIL:", message)
    if not failures:
        print(f"{path}: PE32 i386 DLL, five exports, system imports only, version resource as required")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
