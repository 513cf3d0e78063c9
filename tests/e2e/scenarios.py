#!/usr/bin/env python3
"""End-to-end scenarios: setup.exe on the sample diskette, under Wine and Xvfb, in a
fresh prefix with a simulated adapter, worked by kelmo_drive of tools/demo.

    scenarios.py --build BUILD_DIR SCENARIO
"""
import argparse
import collections
import fcntl
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLES = os.path.join(ROOT, "samples", "files")

PRODUCT = "Kelmo ProGraph 64"
LONG_PRODUCT = "Kelmo ProGraph 64 Professional Dual Head Edition for Windows 95"
VENDER = "VEN_4B4D&DEV_0095"
INSTANCES = {"BUS_00&DEV_0D&FUNC_00": "0001", "BUS_01&DEV_00&FUNC_00": "0002"}
ENUM_KEY = r"HKEY_LOCAL_MACHINE\Enum\PCI" + "\\" + VENDER
CLASS_KEY = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\Display"
SOFTWARE_KEY = r"HKEY_LOCAL_MACHINE\Software\Kelmo"
CLASSES_KEY = r"HKEY_CLASSES_ROOT\KelmoProGraph.Settings"
# Wine, like Windows NT, keeps the [windows] section of win.ini (the load line) here.
WIN_INI_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\Windows"

FINAL_MESSAGE = (
    'Setup is complete and your system will restart.  After restart, open Control '
    'Panel-Display-Settings tab.  Click on "Change Display Type" to check the "Adapter '
    'Type"  is "{0}" or not.  If not, click "Change" and in Models box select "{0}", then '
    'press OK.   After being asked to insert Kelmo Windows 95 Disk, press OK. Then Install '
    'From Disk box will pop up, please change the copy from path to your Windows 95 system '
    'subdirectory(e.g., C:\\Windows\\System). Then press OK to finish.')

# Installed file (below drive_c/windows) -> its original in samples/files.
WINDOWS_FILES = {"inf/oemkelmo.inf": "kelmo.inf", "kelmotry.exe": "kelmotry.exe",
                 "kelmo.txt": "kelmo.txt", "readme.1st": "readme.1st"}
SYSTEM_FILES = {"system32/kelmo.drv": "kelmo.drv", "system32/kelmo.vxd": "kelmo.vxd",
                "system32/kelmo32.dll": "kelmo32.dll", "system32/kelmo.inf": "kelmo.inf"}
# Names that must never appear: the INF under its expanded name, stored names.
NEVER_FILES = ["kelmo.ini", "inf/kelmo.ini", "kelmo.in_", "system32/kelmo.dr_",
               "system32/inf/oemkelmo.inf"]

# Values below each driver key after [Driver.AddReg]; None: the key exists.
DRIVER_KEY_VALUES = {
    "": {"Ver": "4.0", "DevLoader": "*vdd", "DriverDesc": "Standard display adapter (VGA)"},
    "DEFAULT": {"Mode": "8,640,480", "drv": "kelmo.drv", "vdd": "*vdd",
                "minivdd": "kelmo.vxd", "RefreshRate": "-1"},
    r"MODES\8\640,480": None, r"MODES\8\800,600": None, r"MODES\16\640,480": None,
    r"MODES\16\800,600": None, r"MODES\24\640,480": None,
    r"MODES\24\800,600": {"RefreshRate": "60,72,75"},
}


class Failures(list):
    def check(self, condition, what, *expected_actual):
        if not condition:
            self.append(what + ("\n    expected: %r\n    actual:   %r" % expected_actual
                                if expected_actual else ""))

    def equal(self, expected, actual, what):
        self.check(expected == actual, what, expected, actual)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def windows_path(unix_path):
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def wine(env, *args):
    return subprocess.run([env["WINE_LOADER"]] + list(args), env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, timeout=300)


def reg_query(env, key):
    """{key path below `key`: {value name: data}}; empty when the key is absent."""
    tree, current = {}, None
    for line in wine(env, "reg", "query", key, "/s").stdout.decode("utf-8", "replace").splitlines():
        if line.startswith("HKEY_"):
            current = tree.setdefault(line[len(key):].lstrip("\\").lower(), {})
        match = re.match(r"^    (.*?)    (REG_\w+)(?:    (.*))?$", line)
        if match and current is not None:
            current["" if match.group(1) == "(Default)" else match.group(1)] = match.group(3) or ""
    return tree


def read_ini(path):
    """{section (lower case): {key (lower case): value}} of an ini file."""
    sections, current = {}, None
    for line in (raw.strip() for raw in read(path).decode("latin-1").splitlines()):
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1].lower(), {})
        elif "=" in line and current is not None and not line.startswith(";"):
            key, value = line.split("=", 1)
            current[key.strip().lower()] = value.strip()
    return sections


def file_listing(windows_dir):
    """Size and times of every file below the Windows folder. LZCopy keeps the
    source's modification time, so the inode change time tells a rewritten file."""
    listing = {}
    for folder, _, names in os.walk(windows_dir):
        for path in (os.path.join(folder, name) for name in names):
            if not os.path.islink(path):
                st = os.stat(path)
                listing[os.path.relpath(path, windows_dir)] = (st.st_size, st.st_mtime_ns,
                                                               st.st_ctime_ns)
    return listing


def edit_file(path, change):
    text = change(read(path).decode("ascii"))
    with open(path, "wb") as f:
        f.write(text.encode("ascii"))


class Run:
    """A prefix copied from a template made once per build, a screen and a diskette."""

    def __init__(self, build, name):
        self.build = build
        self.work = os.path.join(build, "e2e", name)
        self.prefix = os.path.join(self.work, "prefix")
        self.windows = os.path.join(self.prefix, "drive_c", "windows")
        self.diskette = os.path.join(self.prefix, "drive_a")
        self.xvfb_info = os.path.join(self.work, "xvfb.info")
        self.env = None

    def __enter__(self):
        template = os.path.join(self.build, "e2e", "prefix-template")
        os.makedirs(os.path.dirname(template), exist_ok=True)
        env = dict(os.environ, WINEPREFIX=template)
        with open(template + ".lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if not os.path.exists(os.path.join(template, ".kelmo-ready")):
                subprocess.run([os.path.join(ROOT, "tools", "wine-prefix.sh"), "fresh"],
                               env=env, check=True)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        subprocess.run(["cp", "-a", template, self.prefix], check=True)
        subprocess.run([os.path.join(ROOT, "tools", "xvfb.sh"), "start", self.xvfb_info],
                       check=True)
        # The Wine variables of tools/common.sh for this prefix.
        env["WINEPREFIX"] = self.prefix
        out = subprocess.run(["bash", "-c", 'source "$1/tools/common.sh" && env -0', "_", ROOT],
                             env=env, check=True, stdout=subprocess.PIPE).stdout
        self.env = dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)
        with open(self.xvfb_info) as f:
            self.env["DISPLAY"] = f.read().split()[0]
        shutil.rmtree(self.diskette, ignore_errors=True)
        shutil.copytree(os.path.join(self.build, "diskette"), self.diskette)
        # One server for the whole run: a server that is still saving the registry
        # as it exits could otherwise meet a new one that loads the old files.
        subprocess.run([self.env["WINESERVER_BIN"], "-p"], env=self.env, check=True)
        return self

    def __exit__(self, *exc):
        if self.env:
            subprocess.run([self.env["WINESERVER_BIN"], "-k"], env=self.env,
                           stderr=subprocess.DEVNULL)
        subprocess.run([os.path.join(ROOT, "tools", "xvfb.sh"), "stop", self.xvfb_info])

    def preset_system(self, version=None):
        """The adapter in the hardware tree, ini lines the install must keep or remove, and
        the Windows version the prefix reports, when one is given."""
        if version:
            wine(self.env, "reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/t", "REG_SZ",
                 "/d", version, "/f")
        if wine(self.env, "reg", "import",
                windows_path(os.path.join(ROOT, "samples", "adapter.reg"))).returncode:
            raise RuntimeError("reg import failed")
        with open(os.path.join(self.windows, "system.ini"), "ab") as f:
            f.write(b"[DISPLAY]\r\nRefreshProgramming=1\r\nBusThrottle=0\r\n")
        wine(self.env, "reg", "add", WIN_INI_KEY, "/v", "load", "/t", "REG_SZ",
             "/d", "clock.exe", "/f")

    def hold(self, name):
        """Puts an older file at `name` below the Windows folder and holds it open without
        sharing, as a running system holds its driver, until the holder's input ends."""
        with open(os.path.join(self.windows, name), "wb") as f:
            f.write(OLDER_FILE)
        holder = subprocess.Popen(
            [self.env["WINE_LOADER"], os.path.join(self.build, "tests", "e2e", "kelmo_hold.exe"),
             "C:\\windows\\" + name.replace("/", "\\")],
            env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if holder.stdout.readline().strip() != b"held":
            raise RuntimeError("kelmo_hold could not hold " + name)
        return holder

    def snapshot(self):
        keys = (ENUM_KEY, CLASS_KEY, SOFTWARE_KEY, CLASSES_KEY, WIN_INI_KEY)
        return {"files": file_listing(self.windows),
                "registry": {key: reg_query(self.env, key) for key in keys},
                "system.ini": read_ini(os.path.join(self.windows, "system.ini")),
                "win.ini": read_ini(os.path.join(self.windows, "win.ini"))}

    def check_set(self):
        """setupcheck --json on the diskette: the Win32 build under Wine from A:, and the
        native build on the same folder when it is built. Returns (exit code, plan, native
        exit code, native plan); a plan is None when the checker printed none."""
        out = wine(self.env, os.path.join(self.build, "setupcheck.exe"), "--json", "A:\\")
        plan = json.loads(out.stdout.decode("latin-1")) if out.stdout.strip() else None
        native = os.path.join(ROOT, "build", "native", "setupcheck")
        if not os.path.exists(native):
            print("note: %s is not built; the native plan is not compared" % native)
            return out.returncode, plan, None, None
        res = subprocess.run([native, "--json", "--source-dir", "A:", "--windows-dir",
                              "C:\\windows", "--system-dir", "C:\\windows\\system32",
                              self.diskette], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        native_plan = json.loads(res.stdout.decode("latin-1")) if res.stdout.strip() else None
        return out.returncode, plan, res.returncode, native_plan

    def drive(self, steps, answers):
        """Runs the driver: {event: [bodies]} and the Wine +process trace."""
        driver = os.path.join(self.build, "tools", "demo", "kelmo_drive.exe")
        args = [self.env["WINE_LOADER"], driver,
                "--exe", "A:\\setup.exe", "--dir", "A:\\", "--shots", windows_path(self.work)]
        if answers:
            args += ["--answers", ",".join(answers)]
        trace_path = os.path.join(self.work, "trace.log")
        with open(trace_path, "wb") as trace:
            out = subprocess.run(args + steps, env=dict(self.env, WINEDEBUG="+process,+security"),
                                 stdout=subprocess.PIPE, stderr=trace,
                                 timeout=400).stdout.decode("latin-1")
        sys.stdout.write(out)
        events = collections.defaultdict(list)
        for name, _, body in (line.partition(" ") for line in out.splitlines()):
            if body.startswith("{"):
                events[name].append(json.loads(body))
        return events, read(trace_path).decode("latin-1")


# ---- checks -------------------------------------------------------------

def check_unchanged(fail, before, after):
    for part in ("registry", "system.ini", "win.ini"):
        fail.equal(before[part], after[part], part + " unchanged")
    changed = sorted(k for k in set(before["files"]) | set(after["files"])
                     if before["files"].get(k) != after["files"].get(k))
    fail.equal([], changed, "files of the Windows folder unchanged")


OLDER_FILE = b"the driver that runs now\r\n" * 40
TEMP_NAME = re.compile(r"kel[0-9a-f]{1,4}\.tmp$", re.I)
RENAMES_KEY = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager"


def temp_files(run):
    return sorted(os.path.relpath(os.path.join(folder, name), run.windows)
                  for folder, _, names in os.walk(run.windows)
                  for name in names if TEMP_NAME.match(name))


def check_nothing_left(fail, run):
    """A successful install leaves no temporary file and schedules no rename."""
    fail.equal([], temp_files(run), "temporary files left")
    fail.check(not os.path.exists(os.path.join(run.windows, "wininit.ini")), "no wininit.ini")
    fail.equal(None, reg_query(run.env, RENAMES_KEY).get("", {}).get(
        "PendingFileRenameOperations"), "no rename scheduled for the restart")


def check_replaced_at_restart(fail, run, s, holder):
    """The held file keeps its old bytes until the restart, which puts the new file in
    its place once the system has let go of it: through wininit.ini on the Windows 95
    family, MoveFileEx on the NT family. Under Wine the restart request itself runs
    what a boot runs, and the holder lets go as the session ends."""
    name = s["hold"]
    target = os.path.join(run.windows, name)
    new = read(os.path.join(SAMPLES, os.path.basename(name)))
    try:
        out = holder.communicate(timeout=300)[0].decode("latin-1")
    except subprocess.TimeoutExpired:
        holder.kill()
        out = holder.communicate()[0].decode("latin-1")
    released = re.search(r"^released ([0-9a-f]*)\r?$", out, re.M)
    fail.check(released and bytes.fromhex(released.group(1)) == OLDER_FILE,
               name + " in use keeps its old bytes until the restart", "released " + OLDER_FILE.hex(),
               out)
    replaced = wait_until(lambda: read(target) == new and not temp_files(run))
    fail.check(replaced, name + " replaced at the restart, no temporary file left", [],
               temp_files(run))
    fail.equal(s.get("version") == "win95",
               os.path.exists(os.path.join(run.windows, "wininit.bak")),
               "wininit.ini carried the rename on the Windows 95 family only")


def wait_until(ready, seconds=120):
    """Polls ready until it holds or the limit has passed; returns its last answer."""
    deadline = time.monotonic() + seconds
    while not ready():
        if time.monotonic() > deadline:
            return ready()
        time.sleep(0.2)
    return True


def check_files(fail, run, expected, absent):
    for installed, original in expected.items():
        path = os.path.join(run.windows, installed)
        fail.check(os.path.exists(path) and read(path) == read(os.path.join(SAMPLES, original)),
                   installed + " installed as a copy of samples/files/" + original)
    for name in absent:
        fail.check(not os.path.exists(os.path.join(run.windows, name)),
                   "must not be installed: " + name)


def check_registry(fail, registry, product, applied):
    """Both instances' values, and [Driver.AddReg] on both driver keys (applied) or on none."""
    for instance, driver in INSTANCES.items():
        fail.equal({"Driver": "DISPLAY\\" + driver, "HardwareID": "PCI\\" + VENDER,
                    "DeviceDesc": product, "Mfg": "Kelmo"},
                   registry[ENUM_KEY].get(instance.lower()), "values of instance " + instance)
    classes = registry[CLASS_KEY]
    if not applied:
        fail.equal(["0001", "0002"], sorted(k for k in classes if k),
                   "keys below the display class")
        for driver in INSTANCES.values():
            fail.equal({"DriverDesc": "Standard display adapter (VGA)"}, classes.get(driver),
                       "driver key " + driver + " untouched")
        fail.equal({}, registry[SOFTWARE_KEY], "no HKLM\\Software\\Kelmo")
        fail.equal({}, registry[CLASSES_KEY], "no HKCR\\KelmoProGraph.Settings")
        return
    fail.equal([], [k for k in classes if k.split("\\")[0] not in ("", "0001", "0002")],
               "keys below the display class other than the two driver keys")
    for driver in INSTANCES.values():
        for sub, values in DRIVER_KEY_VALUES.items():
            key = (driver + ("\\" + sub if sub else "")).lower()
            fail.check(key in classes, "driver key " + key + " created")
            if values is not None:
                fail.equal(values, classes.get(key), "values of driver key " + key)
    fail.equal({"Version": "1.00"}, registry[SOFTWARE_KEY].get("prograph64"),
               "HKLM\\Software\\Kelmo\\ProGraph64")
    fail.equal({"": "Kelmo ProGraph 64 display settings"}, registry[CLASSES_KEY].get(""),
               "default value of HKCR\\KelmoProGraph.Settings")


def check_ini(fail, after, product, load):
    system = after["system.ini"]
    fail.equal(product, system.get("boot.description", {}).get("display.drv"),
               "system.ini [boot.description] display.drv")
    fail.equal({"busthrottle": "0"}, system.get("display"),
               "system.ini [DISPLAY]: RefreshProgramming removed, the rest kept")
    fail.equal(load, after["registry"][WIN_INI_KEY].get("", {}).get("load"),
               "win.ini [windows] load")


def check_shot(fail, run, shot):
    """Grey frame and bitmap of the logo; white banner text with a one-pixel blue
    shadow at StartX, StartY of the sample setup.dat, FontHi high."""
    name, (cx, cy) = shot["name"], shot["client"]
    data = read(os.path.join(run.work, name + ".bmp"))
    offset, width, height = struct.unpack_from("<I4xii", data, 10)

    def pixel(x, y):
        i = offset + (height - 1 - cy - y) * ((width * 3 + 3) & ~3) + (cx + x) * 3
        return data[i + 2], data[i + 1], data[i]
    pw, ph = min(shot["size"][0], width - cx), min(shot["size"][1], height - cy)
    fail.equal([10, 10, 120, 210], shot["logo"], name + ": logo window on the page")
    edges = [pixel(10, 10 + y) for y in range(1, min(209, ph - 10))]
    edges += [pixel(10 + x, 10) for x in range(120)]
    fail.check(all(p == (128, 128, 128) for p in edges),
               name + ": grey frame along the logo's top and left edges")
    inside = {pixel(11 + x, 11 + y)
              for x in range(0, 118, 3) for y in range(0, min(208, ph - 11), 3)}
    fail.check(len(inside) > 2, name + ": the logo bitmap is drawn inside the frame")

    banner = read_ini(os.path.join(ROOT, "samples", "setup.dat"))["banner"]
    font, sx, sy = (int(banner[key]) for key in ("fonthi", "startx", "starty"))
    blues = [(x, y) for y in range(ph) for x in range(130, pw) if pixel(x, y) == (0, 0, 255)]
    fail.check(len(blues) > 30, name + ": blue banner shadow present", ">30", len(blues))
    if not blues:
        return
    shadowed = sum(1 for x, y in blues if pixel(x - 1, y - 1) == (255, 255, 255))
    fail.check(shadowed >= 0.95 * len(blues),
               name + ": white text one pixel up and left of every blue pixel",
               len(blues), shadowed)
    left, top, bottom = min(x for x, _ in blues), min(y for _, y in blues), max(y for _, y in blues)
    fail.check(sx - 2 <= left <= sx + 6, name + ": banner starts at StartX", sx, left)
    fail.check(sy <= top <= sy + font // 2, name + ": banner starts at StartY", sy, top)
    fail.check(bottom <= sy + 2 * font, name + ": banner height fits FontHi", font, bottom - sy)


def windows_file(run, path):
    """The prefix's file for a path below C:\\ (case-insensitive, as Windows is)."""
    folder = os.path.join(run.prefix, "drive_c")
    for part in path[3:].split("\\"):
        names = {name.lower(): name for name in os.listdir(folder)} if os.path.isdir(folder) else {}
        folder = os.path.join(folder, names.get(part.lower(), part))
    return folder


def registry_key(base, key):
    full = base + ("\\" + key if key else "")
    return full.replace("HKLM", "HKEY_LOCAL_MACHINE", 1).replace("HKCR", "HKEY_CLASSES_ROOT", 1)


class RegistryReader:
    """Keys of registry lines, each read once with reg query /s: a driver key as a whole,
    other keys one by one."""

    def __init__(self, env):
        self.env, self.trees = env, {}

    def key(self, base, key):
        """The values of `key` below `base`, or None when it does not exist."""
        root, rel = (registry_key(base, ""), key) if "Display\\" in base else (
            registry_key(base, key), "")
        if root not in self.trees:
            self.trees[root] = reg_query(self.env, root)
        return self.trees[root].get(rel.lower())


def check_plan_outcome(fail, run, plan, after, boxes, unplanned=()):
    """What setupcheck planned against what setup.exe did: files with their sizes, the
    diskette prompts (a Cancel ends its list), registry keys and values on every
    adapter instance, and the ini lines."""
    prompts, cancelled = [], set()
    for f in plan["files"]:
        if f["target"].upper() in unplanned:
            continue
        path = windows_file(run, f["target"])
        copied = f["present"] and f["list"] not in cancelled
        if f["prompt"] and f["list"] not in cancelled:
            prompts.append(f["prompt"])
            if not f["present"]:
                cancelled.add(f["list"])
        if copied:
            fail.check(os.path.exists(path) and os.path.getsize(path) == f["size"],
                       "planned %s (line %d) installed with %d bytes" % (f["target"], f["line"],
                                                                      f["size"]),
                       f["size"], os.path.getsize(path) if os.path.exists(path) else None)
        else:
            fail.check(not os.path.exists(path), "not planned to be copied: " + f["target"])
    fail.equal(prompts, [b["text"] for b in boxes if b["buttons"] == ["ok", "cancel"]],
               "diskette prompts planned and shown")
    product, mfg = plan["ProductName"]["value"], plan["Mfg"]["value"]
    registry = RegistryReader(run.env)
    for instance, driver in INSTANCES.items():
        values = after["registry"][ENUM_KEY].get(instance.lower(), {})
        fail.equal((product, mfg), (values.get("DeviceDesc"), values.get("Mfg")),
                   "planned DeviceDesc and Mfg of instance " + instance)
        if not plan["registry_applied"]:
            continue
        for line in (r for r in plan["registry_lines"] if r["base"]):
            base = line["base"].replace("<instance>", driver)
            # The last key of a path stands below all the others.
            target = line["keys"][-1] if line["keys"] else ""
            if not target and "Display\\" not in base:
                continue  # a value straight in HKLM or HKCR: too big a tree to read
            values = registry.key(base, target)
            fail.check(values is not None,
                       "planned key %s (line %d)" % (registry_key(base, target), line["line"]))
            if line["stores"]:
                fail.equal(line["value"], (values or {}).get(line["value_name"]),
                           "planned value %r of %s (line %d)" % (
                               line["value_name"], registry_key(base, target), line["line"]))
    system = after["system.ini"]
    fail.equal(product, system.get("boot.description", {}).get("display.drv"),
               "planned system.ini display.drv")
    fail.check("refreshprogramming" not in system.get("display", {}),
               "planned deletion of RefreshProgramming")
    load = after["registry"][WIN_INI_KEY].get("", {}).get("load", "")
    if plan["load"]["value"]:
        fail.check(plan["load"]["value"] in load.split(" "), "planned program on the load line",
                   plan["load"]["value"], load)


def check_checker(fail, run, s, checked):
    code, plan, native_code, native_plan = checked
    if "remove" in s and s["remove"] == "setup.dat":
        fail.equal((2, None), (code, plan), "setupcheck refuses a set without setup.dat")
        return None
    fail.check(plan is not None, "setupcheck printed a plan")
    if plan is None:
        return None
    fail.equal(s.get("check_code", 0), code, "setupcheck exit code",)
    if native_plan is not None:
        for p in (plan, native_plan):
            p.pop("setup_dat", None)
        fail.equal((code, plan), (native_code, native_plan),
                   "the native and the Win32 setupcheck agree")
    for expected in s.get("findings", []):
        fail.check(any(f["line"] == expected[0] and expected[1] in f["text"]
                       for f in plan["findings"]),
                   "setupcheck reports line %d: %s" % expected, expected, plan["findings"])
    return plan


# ---- scenarios ----------------------------------------------------------

def readme_box(product):
    return ("READ ME", FINAL_MESSAGE.format(product), ["ok"], False)


def error_box(text):
    return ("Error", text, ["ok"], True)


TRAP_LINES = ('HKR,Trap\\One,Single,,x\r\n'      # 62: a single backslash drops the O
              'hkr,,Lower,,x\r\n'                # 63: ignored
              'HKR,,Semi,,"a;b"\r\n'             # 64: the comment joins line 65 to it
              'HKR,,After,,y\r\n'
              'HKR,,Bracket,,"[x]"\r\n'          # 66: ends the section
              'HKR,,Lost,,z\r\n')


def set_traps(text):
    """Traps that fail in silence, and a listed name that the LZ library finds compressed."""
    text = text.replace("[SystemDir]\r\n", "[SystemDir] ; the System folder's files\r\n")
    text = text.replace("1,kelmo.tx_\r\n", "1,kelmo.txt\r\n").replace("SizeInKB=22", "SizeInKB=50")
    return text + TRAP_LINES


def check_traps(fail, after):
    classes = after["registry"][CLASS_KEY]
    for driver in INSTANCES.values():
        values = classes.get(driver, {})
        fail.equal(("aHKR,,After,,y", None, None, None),
                   tuple(values.get(n) for n in ("Semi", "Lower", "Bracket", "Lost")),
                   "trap values of driver key " + driver)
        fail.equal(({"Single": "x"}, None), (classes.get(driver + "\\trap\\ne"),
                                             classes.get(driver + "\\trap\\one")),
                   "a single backslash drops the character after it")


def drop_system_list(text):
    start = text.index("\r\n[SystemDir]\r\n") + 2
    return text[:start] + text[text.index("\r\n\r\n", start) + 4:]


TO_FINISH = ["page:welcome", "next", "page:finish"]
WELCOME_PAGE = ("welcome", False, True, False, True)
FINISH_PAGE = ("finish", True, False, True, True)
MISSING = "Can't find section: [%s]"

FULL_INSTALL = dict(
    steps=["page:welcome", "shot:welcome", "next", "page:finish", "shot:finish", "finish"],
    boxes=[readme_box(PRODUCT)], product=PRODUCT, applied=True,
    files=dict(WINDOWS_FILES, **SYSTEM_FILES), absent=NEVER_FILES, check_code=0)

# Steps default to Next, Finish. Without "product" the wizard is left: nothing
# changes, no box, no restart. Otherwise the install ran: boxes, files, ini lines,
# restart; "applied": [Driver.AddReg] reached both driver keys, None: no registry change.
SCENARIOS = {
    "cancel_welcome": dict(steps=["page:welcome", "shot:welcome", "cancel"]),
    "cancel_finish": dict(steps=TO_FINISH + ["cancel"]),
    "close_wizard": dict(steps=TO_FINISH + ["close"]),
    "back_next": dict(steps=TO_FINISH + ["back", "page:welcome", "next", "page:finish", "cancel"],
                      pages=[WELCOME_PAGE, FINISH_PAGE, WELCOME_PAGE, FINISH_PAGE]),
    "full_install": FULL_INSTALL,
    # The running driver is held open, so it is replaced at the restart; a
    # compressed file cut short cannot be installed, which is said, and the
    # rest of the list follows.
    "in_use": dict(
        FULL_INSTALL, steps=TO_FINISH + ["finish"], hold="system32/kelmo.drv", cut="kelmo.vx_",
        boxes=[error_box("Can't install file: c:\\windows\\system32\\kelmo.vxd"),
               readme_box(PRODUCT)],
        files=dict(WINDOWS_FILES, **{k: v for k, v in SYSTEM_FILES.items()
                                     if k not in ("system32/kelmo.drv", "system32/kelmo.vxd")}),
        absent=NEVER_FILES + ["system32/kelmo.vxd"]),
    # The same on a system that answers as Windows 95 does: wininit.ini
    # replaces the driver at the restart, which is requested without the NT
    # family's shutdown privilege.
    "windows95": dict(FULL_INSTALL, version="win95", hold="system32/kelmo.drv",
                      files=dict(WINDOWS_FILES, **{k: v for k, v in SYSTEM_FILES.items()
                                                   if k != "system32/kelmo.drv"})),
    # A missing file of the Windows list, the prompt cancelled; a long product name.
    "diskette_cancel": dict(
        remove="kelmotry.ex_",
        edit=lambda t: t.replace("ProductName=" + PRODUCT, "ProductName=" + LONG_PRODUCT),
        answers=["cancel"], product=LONG_PRODUCT, applied=True, check_code=2,
        findings=[(33, "kelmotry.ex_ is not in the set")],
        boxes=[("Error", "Please insert the diskette labeled Kelmo Windows 95 Disk 1 into A:",
                ["ok", "cancel"], False), readme_box(LONG_PRODUCT)],
        files=dict({"inf/oemkelmo.inf": "kelmo.inf"}, **SYSTEM_FILES),
        absent=["kelmotry.exe", "kelmo.txt", "readme.1st"]),
    "no_setup_dat": dict(
        remove="setup.dat", product="", applied=None, load="clock.exe",
        boxes=[error_box("Not enough memory to process Setup Information file."), readme_box("")],
        files={}, absent=list(WINDOWS_FILES) + list(SYSTEM_FILES)),
    # No [SystemDir]: the Windows list is copied, the registry lines are not applied.
    "missing_section": dict(
        edit=drop_system_list, product=PRODUCT, applied=False, check_code=2,
        findings=[(0, "no section [SystemDir]")],
        boxes=[error_box(MISSING % "SystemDir"), error_box(MISSING % "Driver.AddReg"),
               error_box(MISSING % "Driver.AddReg"), readme_box(PRODUCT)],
        files=WINDOWS_FILES, absent=list(SYSTEM_FILES)),
    # Each trap as setupcheck reports it and as setup.exe then installs the set.
    "traps": dict(
        edit=set_traps, product=PRODUCT, applied="plan", outcome=check_traps, check_code=2,
        boxes=[readme_box(PRODUCT)],
        findings=[(12, "SizeInKB 50"), (38, "part of the header line of [SystemDir]"),
                  (62, "single backslash"), (63, 'is not "HKR"'), (64, "removes its line end"),
                  (66, "ends [Driver.AddReg]")],
        files={"kelmo.txt": "kelmo.txt", "system32/kelmo.vxd": "kelmo.vxd"},
        absent=["system32/kelmo.drv", "kelmo.tx_"]),
}


def run_scenario(run, fail, s):
    if "remove" in s:
        os.remove(os.path.join(run.diskette, s["remove"]))
    if "cut" in s:
        path = os.path.join(run.diskette, s["cut"])
        os.truncate(path, os.path.getsize(path) // 2)
    if "edit" in s:
        edit_file(os.path.join(run.diskette, "setup.dat"), s["edit"])
    run.preset_system(s.get("version"))
    plan = check_checker(fail, run, s, run.check_set())
    holder = run.hold(s["hold"]) if "hold" in s else None
    before = run.snapshot()
    events, trace = run.drive(s.get("steps", TO_FINISH + ["finish"]), s.get("answers"))
    after = run.snapshot()
    if holder:
        check_replaced_at_restart(fail, run, s, holder)
    elif "product" in s:
        check_nothing_left(fail, run)
    fail.equal([], events["error"] + events["timeout"], "driver errors")
    fail.equal([0], [e["code"] for e in events["exit"]], "exit code of setup.exe")
    fail.equal(s.get("boxes", []), [(b["caption"], b["text"], b["buttons"], b["icon"])
                                    for b in events["box"]], "message boxes")
    fail.equal("product" in s, re.search(r"wineboot\.exe[^\n]*--end-session", trace) is not None,
               "restart requested (wineboot --end-session)")
    if "product" in s:
        fail.equal(s.get("version") != "win95", "AdjustTokenPrivileges" in trace,
                   "the shutdown privilege enabled on the NT family only")
    if "pages" in s:
        fail.equal(s["pages"], [(p["name"], p["back"], p["next"], p["finish"], p["cancel"])
                                for p in events["page"]],
                   "pages and their enabled buttons (back, next, finish, cancel)")
    if "product" not in s:
        return check_unchanged(fail, before, after)
    if plan is not None:
        # The checker cannot know which file is in use or cut short.
        unplanned = {"C:\\WINDOWS\\" + s[k].replace("/", "\\").upper()
                     for k in ("hold",) if k in s}
        if "cut" in s:
            unplanned.add("C:\\WINDOWS\\SYSTEM32\\KELMO.VXD")
        check_plan_outcome(fail, run, plan, after, events["box"], unplanned)
    if "files" in s:
        check_files(fail, run, s["files"], s["absent"])
    check_ini(fail, after, s["product"], s.get("load", "clock.exe kelmotry.exe"))
    if s["applied"] is None:
        fail.equal(before["registry"], after["registry"], "registry unchanged")
    elif s["applied"] != "plan":
        check_registry(fail, after["registry"], s["product"], s["applied"])
    if "outcome" in s:
        s["outcome"](fail, after)
    for shot in events["shot"]:  # a shot that failed is a driver error
        check_shot(fail, run, shot)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    fail = Failures()
    with Run(os.path.abspath(args.build), args.scenario) as run:
        run_scenario(run, fail, SCENARIOS[args.scenario])
    for failure in fail:
        print("FAILED: " + failure)
    if not fail:
        shutil.rmtree(run.prefix, ignore_errors=True)
    print("%s: %s" % (args.scenario, "passed" if not fail else "%d failures" % len(fail)))
    return 1 if fail else 0


if __name__ == "__main__":
    sys.exit(main())
