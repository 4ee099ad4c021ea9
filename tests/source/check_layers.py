#!/usr/bin/env python3
"""Includes point downward only: app/ uses the subsystems, the subsystems use base/, and the
platform-neutral */core folders use nothing but */core and the standard library. One subsystem
includes another's header only where SIBLING_INCLUDES says so and why. The dialogs' resource IDs
(res/resource.h) are app/'s: the dialogs' procedures live there, and the subsystems below offer
plain functions with arguments.

    check_layers.py SOURCE_DIR      checks the tree; prints every violation
    check_layers.py --self-test     checks that each rule catches what it is meant to
"""
import os
import re
import sys

SUBSYSTEMS = ("picker", "lang", "settings", "tray", "theme", "services")
FOLDERS = ("app", "base") + SUBSYSTEMS + ("tools",)
# Headers of the platform; the core builds natively and never sees them.
WINDOWS_HEADERS = re.compile(
    r"^(windows|win\w*|commctrl|commdlg|shellapi|shlobj|shlwapi|objbase|ole\w*|uxtheme|dwmapi|mapi|"
    r"mmsystem|richedit|process|io|direct|tchar|intrin)\.h$", re.IGNORECASE)
# The includes between sibling subsystems, each with its reason: (including subsystem, included
# file) -> why. Every other include from one subsystem into another is refused, and an entry that
# no file uses any more is reported, so the list stays what the tree really needs.
SIBLING_INCLUDES = {
    ("picker", "lang/string_table.h"): "the picker and the colour dialog show translated texts",
    ("picker", "lang/core/text_ids.h"): "the string IDs of those texts",
    ("picker", "settings/settings_store.h"): "the last colour and the custom-colour history are settings",
    ("picker", "settings/core/settings_table.h"): "the history's length is the number of its settings",
    ("picker", "services/site_address.h"): "the colour dialog's web button opens the maker's colour page",
    ("picker", "theme/uxtheme.h"): "the colour dialog's info box and button follow the dark theme",
    ("lang", "settings/settings_store.h"): "the language object saves the chosen language as a setting",
    ("services", "lang/string_table.h"):
        "mail, uninstall and the pages' addresses use translated texts; the language chooses the site",
    ("services", "lang/core/text_ids.h"): "the string IDs of those texts",
    ("services", "settings/settings_store.h"): "uninstall removes a portable settings file",
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def Layer(path):
    """The folder a source path belongs to, and whether it is a core folder."""
    parts = path.replace("\\", "/").split("/")
    return parts[0], len(parts) > 2 and parts[1] == "core"


def Violations(path, lines, used=None):
    """path is relative to the source folder; lines are the file's lines. The SIBLING_INCLUDES entries
    that the lines use are added to the set used, if given."""
    found = []
    folder, core = Layer(path)
    for number, line in enumerate(lines, 1):
        match = INCLUDE.match(line)
        if not match:
            continue
        kind, target = match.groups()
        where = f"{path}:{number}: includes {kind}{target}{'>' if kind == '<' else kind}"
        if kind == "<":
            if core and WINDOWS_HEADERS.match(os.path.basename(target)):
                found.append(f"{where}: a core file must not use the platform's headers")
            continue
        target_folder, target_core = Layer(target)
        if target == "res/resource.h" and folder != "app":
            found.append(f"{where}: only app/ knows the dialogs' resource IDs")
        elif core and not target_core:
            found.append(f"{where}: a core file may include only core files")
        elif folder in SUBSYSTEMS + ("base",) and target_folder == "app":
            found.append(f"{where}: only app/ may include app/")
        elif folder == "base" and target_folder in SUBSYSTEMS:
            found.append(f"{where}: base/ must not include a subsystem")
        elif folder == "tools" and not target_core:
            found.append(f"{where}: the host tools build from the core only")
        elif folder in SUBSYSTEMS and target_folder in SUBSYSTEMS and target_folder != folder:
            if (folder, target) in SIBLING_INCLUDES:
                if used is not None:
                    used.add((folder, target))
            else:
                found.append(f"{where}: {folder}/ may include another subsystem's header only where "
                             "SIBLING_INCLUDES in tests/source/check_layers.py allows it, with the reason")
    return found


def CheckTree(root):
    found = []
    used = set()
    for folder in FOLDERS:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                full = os.path.join(directory, name)
                with open(full, encoding="utf-8") as source:
                    found += Violations(os.path.relpath(full, root).replace(os.sep, "/"), source.read().splitlines(),
                                        used)
    for folder, target in sorted(set(SIBLING_INCLUDES) - used):
        found.append(f"SIBLING_INCLUDES allows {folder}/ to include {target}, which no file of {folder}/ does: "
                     "remove the entry")
    return found


SELF_TEST = [
    # (file, include line, caught)
    ("picker/magnifier.cpp", '#include "app/app_state.h"', True),
    ("lang/string_table.cpp", '#include "app/startup.h"', True),
    ("base/process_state.cpp", '#include "picker/picker_window.h"', True),
    ("base/process_state.cpp", '#include "app/app_state.h"', True),
    ("services/page_procedure.cpp", '#include "res/resource.h"', True),
    ("picker/palette_dialog.cpp", '#include "res/resource.h"', True),
    ("base/core/text.cpp", "#include <windows.h>", True),
    ("lang/core/lzari.cpp", "#include <Windows.h>", True),
    ("lang/core/lzari.cpp", "#include <shellapi.h>", True),
    ("lang/core/lzari.cpp", '#include "lang/string_table.h"', True),
    ("lang/core/lzari.cpp", '#include "base/process_state.h"', True),
    ("tools/pack_lang.cpp", '#include "lang/string_table.h"', True),
    ("picker/magnifier.cpp", '#include "tray/tray_icon.h"', True),
    ("lang/language_menu.cpp", '#include "picker/picker_window.h"', True),
    ("services/mail.cpp", '#include "lang/language_menu.h"', True),
    ("settings/settings_store.cpp", '#include "lang/string_table.h"', True),
    ("services/core/mail_text.cpp", '#include "picker/core/colour_forms.h"', True),
    ("app/startup.cpp", '#include "picker/picker_window.h"', False),
    ("app/main_pages.cpp", '#include "res/resource.h"', False),
    ("picker/magnifier.cpp", '#include "lang/string_table.h"', False),
    ("picker/magnifier.cpp", '#include "base/scoped_gdi.h"', False),
    ("services/mail.cpp", '#include "lang/string_table.h"', False),
    ("lang/language_menu.cpp", '#include "lang/string_table.h"', False),
    ("lang/core/lzari.cpp", '#include "base/core/text.h"', False),
    ("lang/core/lzari.cpp", "#include <string.h>", False),
    ("base/scoped_gdi.h", "#include <windows.h>", False),
]


def SelfTest():
    failures = 0
    for path, line, caught in SELF_TEST:
        if bool(Violations(path, [line])) != caught:
            print(f"self-test: {path} with {line}: expected {'a violation' if caught else 'none'}")
            failures += 1
    for (folder, target), reason in SIBLING_INCLUDES.items():
        if folder not in SUBSYSTEMS or Layer(target)[0] not in SUBSYSTEMS or not reason.strip():
            print(f"self-test: SIBLING_INCLUDES entry {folder} -> {target} needs two subsystems and a reason")
            failures += 1
    if not failures:
        print("self-test: every rule catches its case")
    return failures == 0


def Main(argv):
    if argv[1:] == ["--self-test"]:
        return 0 if SelfTest() else 1
    if len(argv) != 2:
        print(__doc__)
        return 2
    found = CheckTree(argv[1])
    for violation in found:
        print(violation)
    print(f"{len(found)} layer violation(s)" if found else "includes point downward only")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv))
