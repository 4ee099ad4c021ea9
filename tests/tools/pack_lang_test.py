#!/usr/bin/env python3
"""The packer refuses a damaged translation, so the build fails rather than only a test.

    pack_lang_test.py PACK_LANG SOURCE_DIR

Packs a copy of res/lang as it stands (it must pack), then the same copy with the Russian file's
placeholder "#AP#" removed from its line 60: pack_lang must fail, name the file, the line and the
fault, and leave no archive behind. --unchecked packs the damaged copy, so it is the check that
refused it.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile


def Pack(pack_lang, folder, archive, *options):
    run = subprocess.run([pack_lang, *options, folder, archive], capture_output=True, text=True)
    return run.returncode, run.stderr


def Main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    pack_lang, root = argv[1], argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as temp:
        folder = os.path.join(temp, "lang")
        shutil.copytree(os.path.join(root, "res", "lang"), folder)
        archive = os.path.join(temp, "archive.bin")

        code, errors = Pack(pack_lang, folder, archive)
        if code != 0 or not os.path.exists(archive):
            failures.append(f"the shipped sources do not pack (exit {code}):\n{errors}")

        russian = os.path.join(folder, "05-russian.txt")
        with open(russian, encoding="utf-8") as f:
            lines = f.read().split("\n")
        damaged = [n for n, line in enumerate(lines) if line.startswith("60=") and "#AP#" in line]
        if len(damaged) != 1:
            failures.append("05-russian.txt has no single line 60 with #AP# to damage")
        else:
            lines[damaged[0]] = lines[damaged[0]].replace("#AP#", "", 1)
            with open(russian, "w", encoding="utf-8", newline="") as f:
                f.write("\n".join(lines))
            code, errors = Pack(pack_lang, folder, archive)
            print(errors, end="")
            expected = re.compile(r"^pack_lang: 05-russian\.txt:%d: ID 60: \"#AP#\" occurs 0 times" % (damaged[0] + 1),
                                  re.MULTILINE)
            if code != 1:
                failures.append(f"pack_lang exited with {code} for the damaged file, not 1")
            if not expected.search(errors):
                failures.append("the message does not name 05-russian.txt, its line, ID 60 and \"#AP#\"")
            if "No archive written" not in errors or os.path.exists(archive):
                failures.append("an archive was left behind, or the message does not say none was written")
            code, errors = Pack(pack_lang, folder, archive, "--unchecked")
            if code != 0 or not os.path.exists(archive):
                failures.append(f"--unchecked does not pack the damaged copy (exit {code}):\n{errors}")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("pack_lang refuses a damaged translation with its file, line and fault")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv))
