#!/usr/bin/python3
"""Runs the setup program and its uninstaller silently under Wine, as an IT department would, and checks
what they leave on disk and in the registry. Called by scripts/check_setup.sh, which makes the setup
program and the Wine environment. Usage: check_setup.py SETUP.exe WORKSPACE"""
import os
import pathlib
import shutil
import struct
import subprocess
import sys
import time

from older_build import OLDER_VERSION, older_build

ROOT = pathlib.Path(__file__).resolve().parent.parent
SETUP = pathlib.Path(sys.argv[1]).resolve()
WS = pathlib.Path(sys.argv[2])
BUILD = {"i686": ROOT / "build/i686/bin", "x86_64": ROOT / "build/x86_64/bin"}
MACHINE = {"i686": 0x014C, "x86_64": 0x8664}
ENTRY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QRVLNK"
SETTINGS = r"HKCU\Software\Quorvane\QRVLNK\2.0"
MENU = pathlib.Path(os.environ["WINEPREFIX"]) / "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/QRVLNK"
KEPT = "QRVLNK.previous"
VERSION = next(line.split('"')[1] for line in open(ROOT / "build/i686/generated/Version.h")
               if line.startswith("#define QRVLNK_VERSION_TEXT"))
failures = []


def check(ok, what):
    print(("  ok    " if ok else "  FAIL  ") + what)
    if not ok:
        failures.append(what)


def winpath(path):
    return subprocess.run(["winepath", "-w", str(path)], capture_output=True, text=True).stdout.strip()


def run(*command, timeout=120):
    """Runs a Windows command line as typed at the prompt (quotes and all) through a batch file, which
    keeps the quotes that Wine's own argument quoting would escape; gives its exit code."""
    batch = WS / "run.bat"
    line = " ".join(command)
    batch.write_bytes(f'@{line}\r\n@exit /b %errorlevel%\r\n'.encode("gbk"))
    return subprocess.run(["wine", "cmd", "/c", winpath(batch)], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=timeout).returncode


def setup(*options):
    return run(f'"{winpath(SETUP)}" /S', *options)


def quoted(name, path):
    return f'/{name}="{winpath(path)}"'


def registry(key, value, view):
    """A registry value as text in one view (32 or 64), None when it or its key is missing."""
    out = subprocess.run(["wine", "reg", "query", key, "/v", value, f"/reg:{view}"], capture_output=True)
    for line in out.stdout.decode("gbk", "replace").splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[0] == value:
            return parts[2] if len(parts) == 3 else ""
    return None


def machine(path):
    data = path.read_bytes()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<H", data, header + 4)[0]


def tree(folder):
    """Every file below the folder with its content."""
    return {str(p.relative_to(folder)): p.read_bytes() for p in sorted(folder.rglob("*")) if p.is_file()}


def differences(before, after):
    changed = sorted(set(before) ^ set(after) | {k for k in set(before) & set(after) if before[k] != after[k]})
    return ", ".join(changed) or "none"


def query(key):
    """Every value of a registry key as reg.exe lists it, None when the key is missing."""
    out = subprocess.run(["wine", "reg", "query", key], capture_output=True)
    return out.stdout.decode("gbk", "replace") if out.returncode == 0 else None


def wine_reg(*arguments):
    subprocess.run(["wine", "reg", *arguments], capture_output=True)


def wait_for_wine():
    """The uninstaller runs from a copy of itself and returns at once: the copy ends with Wine."""
    subprocess.run(["wineserver", "-w"], timeout=120)


# An operator's OrgMap.ini as Notepad saves it, and the files the runs leave in the working directory.
OPERATOR_FILES = {
    "OrgMap.ini": "; 北京分公司\r\n[OrgMapping]\r\n  ClientID0000 = C001\r\nQRVID0000=Q100\r\n\r\n".encode("gbk"),
    "传送记录.csv": "时间,运行编号\r\n".encode("gbk"),
    "08888978.log": b"",
}

def pe(machine_type):
    """The headers of a Windows program made for that machine type."""
    return b"MZ" + bytes(58) + struct.pack("<I", 64) + b"PE\0\0" + struct.pack("<H", machine_type) + bytes(18)


# Host programs that cannot take the plug-in: the file's name, its bytes (None: missing) and what it is.
REFUSED = [
    ("text.exe", b"not a program\r\n", "a text file"),
    ("dos.exe", b"MZ" + bytes(100), "a DOS program"),
    ("win16.exe", b"MZ" + bytes(58) + struct.pack("<I", 64) + b"NE" + bytes(60), "a 16-bit Windows program"),
    ("arm.exe", pe(0x01C4), "an ARM program"),
    ("arm64.exe", pe(0xAA64), "an ARM64 program"),
    ("missing.exe", None, "a missing file"),
]


def refusals():
    print("== hosts that cannot take the plug-in: exit code 2, nothing written")
    for name, content, what in REFUSED:
        folder = WS / "refused" / name.split(".")[0]
        folder.mkdir(parents=True)
        if content is not None:
            (folder / name).write_bytes(content)
        before = tree(folder)
        rc = setup(quoted("HOST", folder / name))
        check(rc == 2 and tree(folder) == before and registry(ENTRY, "DisplayName", 32) is None
              and not MENU.exists(), f"{what}: exit code {rc}, changed: {differences(before, tree(folder))}")


def lifecycle_32():
    print("== 32-bit host: upgrade over an older build, roll back, held DLL, uninstall")
    new = {n: (BUILD["i686"] / n).read_bytes() for n in ("QRVLNK.dll", "qrvcheck.exe")}
    host, work = WS / "host32", WS / "work32"
    host.mkdir()
    work.mkdir()
    shutil.copy(BUILD["i686"] / "qrvhub.exe", host)
    (host / "Other.dll").write_bytes(b"another plug-in")
    older_build(BUILD["i686"] / "QRVLNK.dll", host / "QRVLNK.dll")
    (host / "qrvcheck.exe").write_bytes(new["qrvcheck.exe"] + b"older build")
    old = {n: (host / n).read_bytes() for n in ("QRVLNK.dll", "qrvcheck.exe")}
    for name, content in OPERATOR_FILES.items():
        (work / name).write_bytes(content)
    # The plug-in's settings of this Windows user; a prefix without them gets one value for the check.
    made_settings = query(SETTINGS) is None
    if made_settings:
        wine_reg("add", SETTINGS, "/v", "SourcePath", "/d", r"C:\send", "/f")
    settings = query(SETTINGS)

    rc = setup(quoted("HOST", host / "qrvhub.exe"), quoted("WORKDIR", work))
    check(rc == 0, f"upgrade: exit code {rc}")
    check(machine(host / "QRVLNK.dll") == MACHINE["i686"], "upgrade: the i686 DLL is in place (machine type 0x14C)")
    check(all((host / n).read_bytes() == new[n] for n in new), "upgrade: QRVLNK.dll and qrvcheck.exe are the new build")
    check(all((host / KEPT / n).read_bytes() == old[n] for n in old), f"upgrade: the older build is kept in {KEPT}")
    versions = (registry(ENTRY, "DisplayVersion", 32), registry(ENTRY, "PreviousVersion", 32))
    check(versions == (VERSION, OLDER_VERSION), f"upgrade: the entry reports versions {versions}, expected {(VERSION, OLDER_VERSION)}")
    check(registry(ENTRY, "DisplayName", 64) is None, "upgrade: no entry in the 64-bit view")
    check(all((work / n).read_bytes() == c for n, c in OPERATOR_FILES.items()), "upgrade: the operator's files are untouched")
    check((work / "TaskDefine.ini").read_bytes() == (ROOT / "samples/TaskDefine.ini").read_bytes(),
          "upgrade: the missing TaskDefine.ini is the sample")
    check(not list(host.glob("*.~*")) and not list(work.glob("*.~*")), "upgrade: no temporary files left")
    check((MENU / "恢复上一版本.lnk").exists(), "upgrade: the Start menu has 恢复上一版本")

    rc = setup()
    check(rc == 0 and all((host / KEPT / n).read_bytes() == old[n] for n in old),
          f"the same version again, host from the entry: exit code {rc}, the older build still kept")

    uninstaller = f'"{winpath(host / "QRVLNK-uninst.exe")}"'
    inplace = "_?=" + winpath(host)
    rc = run(uninstaller, "/S /ROLLBACK", inplace)
    check(rc == 0 and all((host / n).read_bytes() == old[n] for n in old)
          and all((host / KEPT / n).read_bytes() == new[n] for n in new),
          f"roll back: exit code {rc}, the older build is back byte for byte and the new one kept")
    versions = (registry(ENTRY, "DisplayVersion", 32), registry(ENTRY, "PreviousVersion", 32))
    check(versions == (OLDER_VERSION, VERSION), f"roll back: the entry reports versions {versions}, expected {(OLDER_VERSION, VERSION)}")
    rc = run(uninstaller, "/S /ROLLBACK", inplace)
    check(rc == 0 and all((host / n).read_bytes() == new[n] for n in new)
          and all((host / KEPT / n).read_bytes() == old[n] for n in old), f"a second roll back undoes the first: exit code {rc}")

    # A host that has loaded the DLL: qrvhub.exe runs its step and waits with the DLL loaded.
    before = tree(host)
    log = WS / "holder.log"
    with open(log, "wb") as out:
        holder = subprocess.Popen(["timeout", "120", "wine", str(host / "qrvhub.exe"), "info", "--every", "60"],
                                  cwd=work, stdout=out, stderr=subprocess.DEVNULL)
    deadline = time.time() + 60
    while log.stat().st_size == 0 and time.time() < deadline:
        time.sleep(0.2)
    check(log.stat().st_size > 0, "a qrvhub.exe holds QRVLNK.dll")
    rc = setup(quoted("HOST", host / "qrvhub.exe"))
    check(rc == 3 and tree(host) == before, f"install while the DLL is held: exit code {rc}, changed: {differences(before, tree(host))}")
    rc = run(uninstaller, "/S /ROLLBACK", inplace)
    check(rc == 3 and tree(host) == before, f"roll back while the DLL is held: exit code {rc}, changed: {differences(before, tree(host))}")
    holder.terminate()
    holder.wait()
    wait_for_wine()

    # A move that fails half-way: a folder stands where qrvcheck.exe would step aside.
    blocker = host / "qrvcheck.exe.~old"
    (blocker / "folder").mkdir(parents=True)
    before = tree(host)
    rc = setup()
    check(rc == 4 and tree(host) == before,
          f"a move that fails half-way puts the others back: exit code {rc}, changed: {differences(before, tree(host))}")
    shutil.rmtree(blocker)

    work_before = tree(work)
    rc = run(uninstaller, "/S")
    wait_for_wine()
    check(rc == 0 and sorted(tree(host)) == ["Other.dll", "qrvhub.exe"],
          f"uninstall: exit code {rc}, left in the host's folder: {', '.join(sorted(tree(host)))}")
    check(tree(work) == work_before, "uninstall: the working directory is untouched")
    check(registry(ENTRY, "DisplayName", 32) is None and not MENU.exists(), "uninstall: the entry and the Start menu are gone")
    check(query(SETTINGS) == settings, "uninstall: the plug-in's settings are kept")
    if made_settings:
        wine_reg("delete", SETTINGS, "/f")


def lifecycle_64():
    print("== 64-bit host in a folder with a blank and Chinese in its name, after a stopped setup: install, uninstall")
    host = WS / "宿主 64"
    host.mkdir()
    shutil.copy(BUILD["x86_64"] / "qrvhub.exe", host)
    # A setup stopped after the DLL there stepped aside for the new one.
    older_build(BUILD["x86_64"] / "QRVLNK.dll", host / "QRVLNK.dll.~old")
    older = (host / "QRVLNK.dll.~old").read_bytes()
    rc = setup(quoted("HOST", host / "qrvhub.exe"))
    check(rc == 0, f"install: exit code {rc}")
    check(machine(host / "QRVLNK.dll") == MACHINE["x86_64"], "install: the x86_64 DLL is in place (machine type 0x8664)")
    check((host / "QRVLNK.dll").read_bytes() == (BUILD["x86_64"] / "QRVLNK.dll").read_bytes()
          and (host / "qrvcheck.exe").read_bytes() == (BUILD["x86_64"] / "qrvcheck.exe").read_bytes(),
          "install: QRVLNK.dll and qrvcheck.exe are the x86_64 build")
    check(sorted(tree(host / KEPT)) == ["QRVLNK.dll"] and (host / KEPT / "QRVLNK.dll").read_bytes() == older
          and not list(host.glob("*.~*")), "install: the DLL a stopped setup had set aside is kept")
    check(registry(ENTRY, "InstallLocation", 64) == winpath(host) and registry(ENTRY, "DisplayName", 32) is None,
          "install: the entry is in the 64-bit view only")
    check((host / "OrgMap.ini").read_bytes() == (ROOT / "samples/OrgMap.ini").read_bytes(),
          "install: the working directory defaults to the host's folder and gets the samples")
    rc = run(f'"{winpath(host / "QRVLNK-uninst.exe")}"', "/S")
    wait_for_wine()
    left = sorted(tree(host))
    check(rc == 0 and left == ["OrgMap.ini", "TaskDefine.ini", "qrvhub.exe"], f"uninstall: left {', '.join(left)}")
    check(registry(ENTRY, "DisplayName", 64) is None, "uninstall: the entry is gone")


# What an earlier run that broke off may have left.
for view in ("32", "64"):
    wine_reg("delete", ENTRY, f"/reg:{view}", "/f")
shutil.rmtree(MENU, ignore_errors=True)
refusals()
lifecycle_32()
lifecycle_64()
if failures:
    print(f"setup program: {len(failures)} check(s) failed", file=sys.stderr)
    sys.exit(1)
print("setup program: every check passed")
