#!/usr/bin/python3
"""Runs the setup program and its uninstaller silently under Wine, as an IT department would, and checks
what they leave on disk, in the registry and in their log, and the exit code of each run. Called by
scripts/check_setup.sh, which makes the setup program and the Wine environment.
Usage: check_setup.py SETUP.exe WORKSPACE"""
import os
import pathlib
import re
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
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
SETTINGS = r"HKCU\Software\Quorvane\QRVLNK\2.0"
MENU = pathlib.Path(os.environ["WINEPREFIX"]) / "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
KEPT, ORIGINAL, UNINSTALLER, GUIDE = "QRVLNK.previous", "QRVLNK.original", "QRVLNK-uninst.exe", "QRVLNK使用说明.html"
LOG = "QRVLNK安装日志.txt"
PAIR = ("QRVLNK.dll", "qrvcheck.exe")
VERSION = next(line.split('"')[1] for line in open(ROOT / "build/i686/generated/Version.h")
               if line.startswith("#define QRVLNK_VERSION_TEXT"))
failures = []
entries = {}  # the QRVLNK entries after the last listed run: key name -> (view, {value: text})


def check(ok, what):
    print(("  ok    " if ok else "  FAIL  ") + what)
    if not ok:
        failures.append(what)


def winpath(path):
    """The Windows path of a Linux one: Wine's drive Z: is the root of the file system."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


def run(*command, listed=True, timeout=120):
    """Runs a Windows command line as typed at the prompt (quotes and all) through a batch file, which
    keeps the quotes that Wine's own argument quoting would escape, then (unless listed is False) lists
    the uninstall entries of both registry views into `entries`; gives the command's exit code."""
    batch = WS / "run.bat"
    lists = [WS / "entries32.txt", WS / "entries64.txt"] if listed else []
    lines = [" ".join(command), "@set rc=%errorlevel%"]
    lines += [f'@reg query "{UNINSTALL}" /s /reg:{view} > "{winpath(out)}" 2>nul' for view, out in zip((32, 64), lists)]
    batch.write_bytes("\r\n".join(["@" + lines[0], *lines[1:], "@exit /b %rc%", ""]).encode("gbk"))
    rc = subprocess.run(["wine", "cmd", "/c", winpath(batch)], stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL, timeout=timeout).returncode
    if not listed:
        return rc
    entries.clear()
    for view, out in zip((32, 64), lists):
        key = None
        for line in out.read_bytes().decode("gbk", "replace").splitlines():
            if line.startswith("HKEY_"):
                name = line.rsplit("\\", 1)[1]
                key = name if re.fullmatch(r"QRVLNK(-\d+)?", name) else None
                if key:
                    entries[key] = (view, {})
            elif key and line.startswith("    "):
                parts = line.split(None, 2)
                entries[key][1][parts[0]] = parts[2] if len(parts) == 3 else ""
    return rc


def setup(*options, listed=True):
    return run(f'"{winpath(SETUP)}" /S', *options, listed=listed)


def uninstall(folder, *options, listed=True):
    """The uninstaller in place (_?=), which waits and gives its exit code."""
    return run(f'"{winpath(folder / UNINSTALLER)}" /S', *options, "_?=" + winpath(folder), listed=listed)


def quoted(name, path):
    return f'/{name}="{winpath(path)}"'


def entry(folder):
    """(key, view, values) of the entry whose InstallLocation is the folder, None for none."""
    return next(((k, v, values) for k, (v, values) in entries.items()
                 if values.get("InstallLocation") == winpath(folder)), None)


def result(folder):
    """The exit code that the last run's last line in the folder's log reports, None without a log."""
    log = folder / LOG
    codes = re.findall(r"结果：退出码(\d+)", log.read_bytes().decode("gbk")) if log.exists() else []
    return int(codes[-1]) if codes else None


def machine(path):
    data = path.read_bytes()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<H", data, header + 4)[0]


def tree(folder, without=(LOG,)):
    """Every file below the folder with its content (the log left out)."""
    return {str(p.relative_to(folder)): p.read_bytes() for p in sorted(folder.rglob("*"))
            if p.is_file() and p.name not in without}


def differences(before, after):
    changed = sorted(set(before) ^ set(after) | {k for k in set(before) & set(after) if before[k] != after[k]})
    return ", ".join(changed) or "none"


def leftovers(folder):
    """The names the setup works with while it runs."""
    return [p.name for p in folder.iterdir() if re.search(r"^QRVLNK\.~|\.~(new|old)$", p.name)]


def wait_for_wine():
    """Until every Wine program has ended: the copy of an uninstaller that deletes it afterwards, too."""
    subprocess.run(["wineserver", "-w"], timeout=120)


def query(key):
    """Every value of a registry key as reg.exe lists it, None when the key is missing."""
    out = subprocess.run(["wine", "reg", "query", key], capture_output=True)
    return out.stdout.decode("gbk", "replace") if out.returncode == 0 else None


def wine_reg(*arguments):
    subprocess.run(["wine", "reg", *arguments], capture_output=True)


def chattr(flag, *paths):
    """+i makes a rename or delete of the file or folder fail, as a file held without delete sharing
    (or a folder with one inside) or an ACL does on Windows."""
    subprocess.run(["chattr", flag, *map(str, paths)], check=True)


def files(arch, older=None):
    """The pair of a build: the one tested, or a copy whose DLL says it is version `older`."""
    new = {n: (BUILD[arch] / n).read_bytes() for n in PAIR}
    if older is None:
        return new
    older_build(BUILD[arch] / "QRVLNK.dll", WS / "older.dll", older)
    return {"QRVLNK.dll": (WS / "older.dll").read_bytes(), "qrvcheck.exe": new["qrvcheck.exe"] + older.encode()}


def lay(folder, content):
    """Writes the files {relative path: bytes} below the folder."""
    for name, data in content.items():
        (folder / name).parent.mkdir(parents=True, exist_ok=True)
        (folder / name).write_bytes(data)


def host(folder, arch="i686", name="host.exe"):
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copy(BUILD[arch] / "qrvhub.exe", folder / name)
    return folder / name


def pe(machine_type):
    """The headers of a Windows program made for that machine type."""
    return b"MZ" + bytes(58) + struct.pack("<I", 64) + b"PE\0\0" + struct.pack("<H", machine_type) + bytes(18)


def clr(flags):
    """The headers of a 32-bit .NET program whose CLR header has these flags: one section at 0x2000,
    the CLR header at its start (file offset 0x200)."""
    optional = bytearray(224)
    struct.pack_into("<H", optional, 0, 0x10B)
    struct.pack_into("<I", optional, 92, 16)
    struct.pack_into("<II", optional, 96 + 14 * 8, 0x2000, 72)
    headers = (b"MZ" + bytes(58) + struct.pack("<I", 64) + b"PE\0\0" + struct.pack("<HHIIIHH", 0x14C, 1, 0, 0, 0, 224, 0x102)
               + optional + struct.pack("<8sIIIIIIHHI", b".text", 0x200, 0x2000, 0x200, 0x200, 0, 0, 0, 0, 0x60000020))
    return headers.ljust(0x200, b"\0") + struct.pack("<IHHIII", 72, 2, 5, 0, 0, flags).ljust(0x200, b"\0")


# An operator's OrgMap.ini as Notepad saves it, and the files the runs leave in the working directory.
OPERATOR_FILES = {
    "OrgMap.ini": "; 北京分公司\r\n[OrgMapping]\r\n  ClientID0000 = C001\r\nQRVID0000=Q100\r\n\r\n".encode("gbk"),
    "传送记录.csv": "时间,运行编号\r\n".encode("gbk"),
    "08888978.log": b"",
}
# Files of the host and of others in its folder, which no run may touch.
OTHERS = {"Other.dll": b"another plug-in", "使用说明.html": "宿主程序自己的说明".encode("gbk"),
          "QRVLNK.dll.~bak": b"an administrator's copy"}

# Host programs that cannot take the plug-in: the file's name, its bytes (None: missing) and what it is.
REFUSED = [
    ("text.exe", b"not a program\r\n", "a text file"),
    ("dos.exe", b"MZ" + bytes(100), "a DOS program"),
    ("win16.exe", b"MZ" + bytes(58) + struct.pack("<I", 64) + b"NE" + bytes(60), "a 16-bit Windows program"),
    ("arm.exe", pe(0x01C4), "an ARM program"),
    ("arm64.exe", pe(0xAA64), "an ARM64 program"),
    ("missing.exe", None, "a missing file"),
]
# Command lines that are refused: what, and the options after /S ({host} a usable host program).
REFUSED_OPTIONS = [
    ("a relative /HOST", r"/HOST=options\host.exe"),
    ("a relative /WORKDIR", "{host} /WORKDIR=Work"),
    ("a mistyped option", "{host} /PLUGINDR=D:\\QRVHUB"),
    ("/? (lists the options)", "/?"),
    ("a relative /D=", "{host} /D=QRVHUB"),
    ("/D= and /PLUGINDIR= that differ", "{host} /PLUGINDIR=C:\\a /D=C:\\b"),
]


def refusals():
    print("== hosts and command lines that are refused: exit code 2, nothing written")
    for name, content, what in REFUSED:
        folder = WS / "refused" / name.split(".")[0]
        folder.mkdir(parents=True)
        if content is not None:
            (folder / name).write_bytes(content)
        before = tree(folder, ())
        rc = setup(quoted("HOST", folder / name))
        check(rc == 2 and tree(folder, ()) == before and not entries,
              f"{what}: exit code {rc}, changed: {differences(before, tree(folder, ()))}")
    options = WS / "refused" / "options"
    before = tree(options.parent, ())
    for what, line in REFUSED_OPTIONS:
        rc = setup(line.format(host=quoted("HOST", host(options))))
        check(rc == 2 and not entries, f"{what}: exit code {rc}")
    check(tree(options.parent, ()).keys() - before.keys() == {"options/host.exe"}, "the options refused wrote nothing")


def lifecycle_32():
    print("== 32-bit host over a hand-installed older build: upgrade, reinstall, roll back, failures, held DLL, uninstall")
    new, old = files("i686"), files("i686", OLDER_VERSION)
    folder, work = WS / "host32", WS / "work32"
    exe = host(folder)
    lay(folder, OTHERS)
    others = tree(folder)
    lay(folder, old)
    lay(work, OPERATOR_FILES)
    # The plug-in's settings of this Windows user; a prefix without them gets one value for the check.
    made_settings = query(SETTINGS) is None
    if made_settings:
        wine_reg("add", SETTINGS, "/v", "SourcePath", "/d", r"C:\send", "/f")
    settings = query(SETTINGS)

    rc = setup(quoted("HOST", exe), quoted("WORKDIR", work))
    key, view, values = entry(folder) or (None, None, {})
    check(rc == 0 and result(folder) == 0, f"upgrade: exit code {rc}, the log says {result(folder)}")
    check(machine(folder / "QRVLNK.dll") == MACHINE["i686"] and all((folder / n).read_bytes() == new[n] for n in PAIR),
          "upgrade: the i686 pair of the new build is in place (machine type 0x14C)")
    check(tree(folder / KEPT) == old and tree(folder / ORIGINAL) == old,
          f"upgrade: the hand-installed build is kept in {KEPT} and saved in {ORIGINAL}")
    check(all((folder / n).read_bytes() == c for n, c in OTHERS.items()), "upgrade: the host's own 使用说明.html, "
          "another plug-in and QRVLNK.dll.~bak are untouched; the guide is " + GUIDE)
    expected = (VERSION, OLDER_VERSION, f'"{winpath(folder / UNINSTALLER)}" /S _?={winpath(folder)}', "32")
    got = (values.get("DisplayVersion"), values.get("PreviousVersion"), values.get("QuietUninstallString"), str(view))
    check(got == expected, f"upgrade: the entry {key} holds {got}, expected {expected}")
    check(all((work / n).read_bytes() == c for n, c in OPERATOR_FILES.items())
          and (work / "OrgMap.示例.ini").read_bytes() == (ROOT / "samples/OrgMap.ini").read_bytes()
          and (work / "TaskDefine.示例.ini").read_bytes() == (ROOT / "samples/TaskDefine.ini").read_bytes()
          and not (work / "TaskDefine.ini").exists(),
          "upgrade: the operator's files untouched, the samples beside them under names no run reads")
    check(not leftovers(folder) and not leftovers(work), "upgrade: no temporary files left")
    check((MENU / key / "恢复上一版本.lnk").exists(), f"upgrade: the Start menu has {key}\\恢复上一版本")

    rc = setup(listed=False)
    check(rc == 0 and tree(folder / KEPT) == old, f"the same version again, host from the entry: exit code {rc}, "
          "the older build still kept")

    rc = uninstall(folder, "/ROLLBACK")
    versions = (entry(folder) or (0, 0, {}))[2]
    check(rc == 0 and result(folder) == 0 and all((folder / n).read_bytes() == old[n] for n in PAIR)
          and tree(folder / KEPT) == new and (versions.get("DisplayVersion"), versions.get("PreviousVersion"))
          == (OLDER_VERSION, VERSION), f"roll back: exit code {rc}, the older build back byte for byte, the new one kept")

    # Each move that can fail, made to fail in turn on an upgrade: exit code 4, the folder as it was
    # (the log aside, which says why), the working directory and the entry unchanged.
    failing = [
        ("the DLL cannot step aside", [folder / "QRVLNK.dll"], []),
        ("qrvcheck.exe cannot step aside after the DLL did", [folder / "qrvcheck.exe"], []),
        ("the kept version cannot be replaced", [folder / KEPT], []),
        ("the working directory cannot be made (no drive Q:)", [], ["/WORKDIR=Q:\\工作目录"]),
    ]
    for what, held, options in failing:
        before, work_before, entry_before = tree(folder), tree(work), entry(folder)
        chattr("+i", *held) if held else None
        rc = setup(*options)
        chattr("-i", *held) if held else None
        check(rc == 4 and result(folder) == 4 and tree(folder) == before and tree(work) == work_before
              and entry(folder) == entry_before,
              f"{what}: exit code {rc}, the log says {result(folder)}, changed: {differences(before, tree(folder))}")

    rc = uninstall(folder, "/ROLLBACK", listed=False)
    check(rc == 0 and all((folder / n).read_bytes() == new[n] for n in PAIR) and tree(folder / KEPT) == old,
          f"a second roll back undoes the first: exit code {rc}")

    # A host that has loaded the DLL: qrvhub.exe runs its step and waits with the DLL loaded.
    before = tree(folder)
    log = WS / "holder.log"
    with open(log, "wb") as out:
        holder = subprocess.Popen(["timeout", "120", "wine", str(exe), "info", "--every", "60"],
                                  cwd=work, stdout=out, stderr=subprocess.DEVNULL)
    deadline = time.time() + 60
    while log.stat().st_size == 0 and time.time() < deadline:
        time.sleep(0.2)
    check(log.stat().st_size > 0, "a qrvhub.exe holds QRVLNK.dll")
    quiet = entry(folder)[2]["QuietUninstallString"]
    for what, command in [("install", lambda: setup(quoted("HOST", exe), listed=False)),
                          ("roll back", lambda: uninstall(folder, "/ROLLBACK", listed=False)),
                          ("the entry's quiet uninstall", lambda: run(quiet, listed=False))]:
        rc = command()
        check(rc == 3 and result(folder) == 3 and tree(folder) == before,
              f"{what} while the DLL is held: exit code {rc}, changed: {differences(before, tree(folder))}")
    holder.terminate()
    holder.wait()
    wait_for_wine()

    work_before = tree(work)
    rc = run(quiet)
    wait_for_wine()
    left = sorted(tree(folder))
    check(rc == 0 and result(folder) == 0 and tree(folder) == others and not leftovers(folder),
          f"the entry's quiet uninstall: exit code {rc}, left in the host's folder: {', '.join(left)}")
    check(tree(work) == work_before, "uninstall: the working directory is untouched")
    check(entry(folder) is None and not (MENU / key).exists(), "uninstall: the entry and the Start menu are gone")
    check(query(SETTINGS) == settings, "uninstall: the plug-in's settings are kept")
    if made_settings:
        wine_reg("delete", SETTINGS, "/f")

    # Setup again with only /HOST: the working directory comes from the log, not the host's folder.
    rc = setup(quoted("HOST", exe))
    values = (entry(folder) or (0, 0, {}))[2]
    check(rc == 0 and values.get("WorkingDir") == winpath(work) and not (folder / "OrgMap.示例.ini").exists(),
          f"setup again after uninstall: exit code {rc}, working directory {values.get('WorkingDir')}")
    uninstall(folder)


def stopped():
    print("== a setup stopped at each step: the next one puts its pair back and keeps it")
    new, old, kept = files("i686"), files("i686", OLDER_VERSION), files("i686", "0.9.0.0")
    folder = WS / "stopped"
    exe = host(folder)
    stage = {f"QRVLNK.~new/{n}": c for n, c in new.items()}
    # What a setup from the older build to the new one left when it was stopped: {path: bytes}.
    states = [
        ("after staging", {**old, **stage, **{f"{KEPT}/{n}": c for n, c in kept.items()}}),
        ("after the DLL stepped aside", {"QRVLNK.~old/QRVLNK.dll": old["QRVLNK.dll"], "qrvcheck.exe": old["qrvcheck.exe"],
                                         **stage, **{f"{KEPT}/{n}": c for n, c in kept.items()}}),
        ("after placing the new pair", {**new, **{f"QRVLNK.~old/{n}": c for n, c in old.items()},
                                        **{f"{KEPT}/{n}": c for n, c in kept.items()}}),
        ("while keeping", {**new, "QRVLNK.~old/qrvcheck.exe": old["qrvcheck.exe"], f"{KEPT}/QRVLNK.dll": old["QRVLNK.dll"],
                           **{f"QRVLNK.~drop/{n}": c for n, c in kept.items()}}),
        ("after the commit", {**new, **{f"{KEPT}/{n}": c for n, c in old.items()},
                              **{f"QRVLNK.~drop/QRVLNK.~old/{n}": c for n, c in kept.items()}}),
        ("a roll back after staging", {**old, **{f"QRVLNK.~kept/{n}": c for n, c in kept.items()}}),
        ("the earlier setup, after placing", {**new, **{f"{n}.~old": c for n, c in old.items()},
                                              **{f"{KEPT}/{n}": c for n, c in kept.items()}}),
        ("the earlier setup, after the DLL stepped aside", {"QRVLNK.dll.~old": old["QRVLNK.dll"],
                                                            "qrvcheck.exe": old["qrvcheck.exe"]}),
    ]
    for what, state in states:
        for p in list(folder.iterdir()):
            shutil.rmtree(p) if p.is_dir() else None if p == exe or p.name == LOG else p.unlink()
        lay(folder, state)
        rc = setup(quoted("HOST", exe), listed=False)
        check(rc == 0 and all((folder / n).read_bytes() == new[n] for n in PAIR) and tree(folder / KEPT) == old
              and not leftovers(folder), f"{what}: exit code {rc}, the new pair in place, the one before kept, "
              f"left: {', '.join(leftovers(folder)) or 'nothing'}")

    # A newer version in the folder: a silent setup leaves it unless told otherwise.
    newer = files("i686", "9.0.0.0")
    lay(folder, newer)
    before = tree(folder)
    rc = setup(quoted("HOST", exe), listed=False)
    check(rc == 6 and result(folder) == 6 and tree(folder) == before, f"over a newer version: exit code {rc}, "
          f"changed: {differences(before, tree(folder))}")
    rc = setup(quoted("HOST", exe), "/ALLOWDOWNGRADE", listed=False)
    check(rc == 0 and all((folder / n).read_bytes() == new[n] for n in PAIR) and tree(folder / KEPT) == newer,
          f"the same with /ALLOWDOWNGRADE: exit code {rc}, the newer version kept")
    uninstall(folder, listed=False)


# .NET hosts: the CLR header's flags, and how Windows runs such a program on 64-bit Windows.
CLR_HOSTS = [
    ("IL only (AnyCPU)", 0x1, "x86_64"),
    ("IL only, 32BITREQUIRED", 0x3, "i686"),
    ("IL only, 32BITREQUIRED and 32BITPREFERRED", 0x20003, "i686"),
    ("mixed code", 0x0, "i686"),
]


def dotnet_and_two_hosts():
    print("== .NET hosts, as Windows runs them; a second host folder with its own entry")
    folder = WS / ".NET 宿主"
    folder.mkdir()
    second = WS / "second"
    for i, (what, flags, arch) in enumerate(CLR_HOSTS):
        (folder / "host.exe").write_bytes(clr(flags))
        # A whole quoted option, and /D= for the plug-in folder.
        rc = setup(f'"/HOST={winpath(folder / "host.exe")}"', *(["/D=" + winpath(folder)] if i == 1 else []))
        key, view, _ = entry(folder) or (None, None, None)
        log = (folder / LOG).read_bytes().decode("gbk")
        check(rc == 0 and machine(folder / "QRVLNK.dll") == MACHINE[arch] and view == (64 if arch == "x86_64" else 32)
              and len([k for k in entries if entries[k][1].get("InstallLocation") == winpath(folder)]) == 1
              and ("以64位运行" in log.rsplit("====", 1)[1]) == (arch == "x86_64"),
              f"{what}: exit code {rc}, the {arch} DLL, its entry {key} in the {view}-bit view only")
    rc = setup(quoted("HOST", host(second)))
    check(rc == 0 and entry(second) and entry(folder) and entry(second)[0] != entry(folder)[0],
          f"a second host folder: exit code {rc}, an entry of its own ({entry(second) and entry(second)[0]})")
    rc = setup(listed=False)
    check(rc == 2, f"two installations and no /HOST: exit code {rc}")
    rc = uninstall(folder)
    check(rc == 0 and entry(folder) is None and entry(second) and (MENU / entry(second)[0]).exists(),
          f"uninstalling the first: exit code {rc}, the second keeps its entry and Start-menu folder")
    uninstall(second)


def restore_64():
    print("== 64-bit host in a folder with a blank and Chinese in its name, over a hand-installed build: "
          "install, uninstall putting it back")
    folder = WS / "宿主 64"
    exe = host(folder, "x86_64")
    lay(folder, files("x86_64", OLDER_VERSION))
    before = tree(folder)
    rc = setup(quoted("HOST", exe))
    check(rc == 0 and machine(folder / "QRVLNK.dll") == MACHINE["x86_64"]
          and (folder / "QRVLNK.dll").read_bytes() == (BUILD["x86_64"] / "QRVLNK.dll").read_bytes()
          and entry(folder) and entry(folder)[1] == 64, f"install: exit code {rc}, the x86_64 DLL, the entry in the 64-bit view")
    check((folder / "OrgMap.ini").read_bytes() == b"" and (folder / "OrgMap.示例.ini").exists(),
          "install: the working directory defaults to the host's folder: an empty OrgMap.ini and the samples")
    rc = uninstall(folder, "/RESTORE")
    wait_for_wine()
    after = tree(folder, (LOG, "OrgMap.ini", "OrgMap.示例.ini", "TaskDefine.示例.ini"))
    check(rc == 0 and after == before and entry(folder) is None and result(folder) == 0,
          f"uninstall /RESTORE: exit code {rc}, the hand-installed build back, changed: {differences(before, after)}")


# What an earlier run that broke off may have left.
run("cd .")
if entries:
    run("cd .", *[f'& reg delete "{UNINSTALL}\\{k}" /reg:{v} /f >nul' for k, (v, _) in entries.items()])
for menu in MENU.glob("QRVLNK*"):
    shutil.rmtree(menu)
started = time.time()
refusals()
lifecycle_32()
stopped()
dotnet_and_two_hosts()
restore_64()
print(f"setup program: {time.time() - started:.0f} s")
if failures:
    print(f"setup program: {len(failures)} check(s) failed", file=sys.stderr)
    sys.exit(1)
print("setup program: every check passed")
