#!/usr/bin/env python3
"""A release is reproducible and holds what was built.

    check_release.py SOURCE_DIR BUILT_EXE WORK_DIR

Runs scripts/release.sh with its build folder and its dist folder in WORK_DIR (kept between runs),
then checks: the release's huepeek.exe is byte-identical to BUILT_EXE, the exe of the test build in
another folder; the zip holds exactly that exe and README.txt (README.md with CR LF); SHA256SUMS
names the zip and the exe with their hashes; the exe's time stamp is the commit's time.
"""
import hashlib
import os
import struct
import subprocess
import sys
import zipfile


def PeFields(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, pe + 8)[0], struct.unpack_from("<I", data, pe + 24 + 64)[0]


def Differences(a, b):
    if len(a) != len(b):
        return f"sizes differ: {len(a)} and {len(b)} bytes"
    offsets = [i for i in range(len(a)) if a[i] != b[i]]
    (time_a, sum_a), (time_b, sum_b) = PeFields(a), PeFields(b)
    return (f"{len(offsets)} bytes differ, first at {offsets[:8]}; time stamps {time_a} and {time_b}, "
            f"checksums {sum_a:#x} and {sum_b:#x}")


def Main(argv):
    if len(argv) != 4:
        print(__doc__)
        return 2
    root, built_exe, work = argv[1:4]
    build, dist = os.path.join(work, "build"), os.path.join(work, "dist")
    release = subprocess.run([os.path.join(root, "scripts", "release.sh"), "--build", build, "--dist", dist],
                             capture_output=True, text=True)
    print(release.stdout, end="")
    if release.returncode != 0:
        print(release.stderr, end="")
        print(f"FAIL: scripts/release.sh exited with {release.returncode}")
        return 1
    failures = []
    with open(built_exe, "rb") as f:
        built = f.read()
    with open(os.path.join(build, "bin", "huepeek.exe"), "rb") as f:
        released = f.read()
    if built != released:
        failures.append("the two builds differ: " + Differences(built, released))

    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
        version = next(line.split()[2] for line in f if line.startswith("project(Huepeek VERSION"))
    zip_name = f"huepeek-{version}-x64.zip"
    zip_path = os.path.join(dist, zip_name)
    with zipfile.ZipFile(zip_path) as archive:
        names = sorted(archive.namelist())
        if names != ["README.txt", "huepeek.exe"]:
            failures.append(f"the zip holds {names}, not huepeek.exe and README.txt")
        else:
            if archive.testzip() is not None:
                failures.append("a CRC in the zip is wrong")
            if archive.read("huepeek.exe") != released:
                failures.append("the zip's huepeek.exe is not the exe that was built")
            with open(os.path.join(root, "README.md"), "rb") as f:
                readme = f.read().replace(b"\n", b"\r\n")
            if archive.read("README.txt") != readme:
                failures.append("the zip's README.txt is not README.md with CR LF line ends")

    with open(zip_path, "rb") as f:
        zip_bytes = f.read()
    expected = (f"{hashlib.sha256(zip_bytes).hexdigest()}  {zip_name}\n"
                f"{hashlib.sha256(released).hexdigest()}  huepeek.exe\n")
    with open(os.path.join(dist, "SHA256SUMS"), encoding="ascii") as f:
        sums = f.read()
    if sums != expected:
        failures.append(f"SHA256SUMS reads\n{sums}instead of\n{expected}")

    commit = subprocess.run(["git", "-C", root, "log", "-1", "--format=%ct"], capture_output=True, text=True)
    if commit.returncode == 0 and commit.stdout.strip():
        stamp = PeFields(released)[0]
        if stamp != int(commit.stdout):
            failures.append(f"the exe's time stamp {stamp} is not the commit's time {commit.stdout.strip()}")

    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print(f"two builds in different folders are the same {len(built)} bytes; the zip holds that exe")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv))
