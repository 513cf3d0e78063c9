#!/usr/bin/env python3
"""End-to-end scenarios: setup.exe on the sample diskette, under Wine and Xvfb, in a
fresh prefix with a simulated adapter, worked by kelmo_drive.exe.

    scenarios.py --build BUILD_DIR --arch win64|win32 SCENARIO
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
                          stderr=subprocess.DEVNULL, timeout=60)


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

    def __init__(self, build, arch, name):
        self.build, self.arch = build, arch
        self.work = os.path.join(build, "e2e", name)
        self.prefix = os.path.join(self.work, "prefix")
        self.windows = os.path.join(self.prefix, "drive_c", "windows")
        self.diskette = os.path.join(self.prefix, "drive_a")
        self.xvfb_info = os.path.join(self.work, "xvfb.info")
        self.env = None

    def __enter__(self):
        template = os.path.join(self.build, "e2e", "prefix-template-" + self.arch)
        os.makedirs(os.path.dirname(template), exist_ok=True)
        env = dict(os.environ, KELMO_WINE_ARCH=self.arch, WINEPREFIX=template)
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
        # The Wine variables of tools/common.sh for this lane and prefix.
        env["WINEPREFIX"] = self.prefix
        out = subprocess.run(["bash", "-c", 'source "$1/tools/common.sh" && env -0', "_", ROOT],
                             env=env, check=True, stdout=subprocess.PIPE).stdout
        self.env = dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)
        with open(self.xvfb_info) as f:
            self.env["DISPLAY"] = f.read().split()[0]
        shutil.rmtree(self.diskette, ignore_errors=True)
        shutil.copytree(os.path.join(self.build, "diskette"), self.diskette)
        return self

    def __exit__(self, *exc):
        if self.env:
            subprocess.run([self.env["WINESERVER_BIN"], "-k"], env=self.env,
                           stderr=subprocess.DEVNULL)
        subprocess.run([os.path.join(ROOT, "tools", "xvfb.sh"), "stop", self.xvfb_info])

    def preset_system(self):
        """The adapter in the hardware tree, and ini lines the install must keep or remove."""
        if wine(self.env, "reg", "import",
                windows_path(os.path.join(ROOT, "samples", "adapter.reg"))).returncode:
            raise RuntimeError("reg import failed")
        with open(os.path.join(self.windows, "system.ini"), "ab") as f:
            f.write(b"[DISPLAY]\r\nRefreshProgramming=1\r\nBusThrottle=0\r\n")
        wine(self.env, "reg", "add", WIN_INI_KEY, "/v", "load", "/t", "REG_SZ",
             "/d", "clock.exe", "/f")

    def snapshot(self):
        keys = (ENUM_KEY, CLASS_KEY, SOFTWARE_KEY, CLASSES_KEY, WIN_INI_KEY)
        return {"files": file_listing(self.windows),
                "registry": {key: reg_query(self.env, key) for key in keys},
                "system.ini": read_ini(os.path.join(self.windows, "system.ini")),
                "win.ini": read_ini(os.path.join(self.windows, "win.ini"))}

    def drive(self, steps, answers):
        """Runs the driver: {event: [bodies]} and the Wine +process trace."""
        driver = os.path.join(self.build, "tests", "e2e", "kelmo_drive.exe")
        args = [self.env["WINE_LOADER"], driver,
                "--exe", "A:\\setup.exe", "--dir", "A:\\", "--shots", windows_path(self.work)]
        if answers:
            args += ["--answers", ",".join(answers)]
        trace_path = os.path.join(self.work, "trace.log")
        with open(trace_path, "wb") as trace:
            out = subprocess.run(args + steps, env=dict(self.env, WINEDEBUG="+process"),
                                 stdout=subprocess.PIPE, stderr=trace,
                                 timeout=200).stdout.decode("latin-1")
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


# ---- scenarios ----------------------------------------------------------

def readme_box(product):
    return ("READ ME", FINAL_MESSAGE.format(product), ["ok"], False)


def error_box(text):
    return ("Error", text, ["ok"], True)


def drop_system_list(text):
    start = text.index("\r\n[SystemDir]\r\n") + 2
    return text[:start] + text[text.index("\r\n\r\n", start) + 4:]


TO_FINISH = ["page:welcome", "next", "page:finish"]
WELCOME_PAGE = ("welcome", False, True, False, True)
FINISH_PAGE = ("finish", True, False, True, True)
MISSING = "Can't find section: [%s]"

# Steps default to Next, Finish. Without "product" the wizard is left: nothing
# changes, no box, no restart. Otherwise the install ran: boxes, files, ini lines,
# restart; "applied": [Driver.AddReg] reached both driver keys, None: no registry change.
SCENARIOS = {
    "cancel_welcome": dict(steps=["page:welcome", "shot:welcome", "cancel"]),
    "cancel_finish": dict(steps=TO_FINISH + ["cancel"]),
    "close_wizard": dict(steps=TO_FINISH + ["close"]),
    "back_next": dict(steps=TO_FINISH + ["back", "page:welcome", "next", "page:finish", "cancel"],
                      pages=[WELCOME_PAGE, FINISH_PAGE, WELCOME_PAGE, FINISH_PAGE]),
    "full_install": dict(
        steps=["page:welcome", "shot:welcome", "next", "page:finish", "shot:finish", "finish"],
        boxes=[readme_box(PRODUCT)], product=PRODUCT, applied=True,
        files=dict(WINDOWS_FILES, **SYSTEM_FILES), absent=NEVER_FILES),
    # A missing file of the Windows list, the prompt cancelled; a long product name.
    "diskette_cancel": dict(
        remove="kelmotry.ex_",
        edit=lambda t: t.replace("ProductName=" + PRODUCT, "ProductName=" + LONG_PRODUCT),
        answers=["cancel"], product=LONG_PRODUCT, applied=True,
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
        edit=drop_system_list, product=PRODUCT, applied=False,
        boxes=[error_box(MISSING % "SystemDir"), error_box(MISSING % "Driver.AddReg"),
               error_box(MISSING % "Driver.AddReg"), readme_box(PRODUCT)],
        files=WINDOWS_FILES, absent=list(SYSTEM_FILES)),
}


def run_scenario(run, fail, s):
    if "remove" in s:
        os.remove(os.path.join(run.diskette, s["remove"]))
    if "edit" in s:
        edit_file(os.path.join(run.diskette, "setup.dat"), s["edit"])
    run.preset_system()
    before = run.snapshot()
    events, trace = run.drive(s.get("steps", TO_FINISH + ["finish"]), s.get("answers"))
    after = run.snapshot()
    fail.equal([], events["error"] + events["timeout"], "driver errors")
    fail.equal([0], [e["code"] for e in events["exit"]], "exit code of setup.exe")
    fail.equal(s.get("boxes", []), [(b["caption"], b["text"], b["buttons"], b["icon"])
                                    for b in events["box"]], "message boxes")
    fail.equal("product" in s, re.search(r"wineboot\.exe[^\n]*--end-session", trace) is not None,
               "restart requested (wineboot --end-session)")
    if "pages" in s:
        fail.equal(s["pages"], [(p["name"], p["back"], p["next"], p["finish"], p["cancel"])
                                for p in events["page"]],
                   "pages and their enabled buttons (back, next, finish, cancel)")
    if "product" not in s:
        return check_unchanged(fail, before, after)
    check_files(fail, run, s["files"], s["absent"])
    check_ini(fail, after, s["product"], s.get("load", "clock.exe kelmotry.exe"))
    if s["applied"] is None:
        fail.equal(before["registry"], after["registry"], "registry unchanged")
    else:
        check_registry(fail, after["registry"], s["product"], s["applied"])
    for shot in events["shot"]:  # a shot that failed is a driver error
        check_shot(fail, run, shot)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--arch", default="win64", choices=["win64", "win32"])
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    fail = Failures()
    with Run(os.path.abspath(args.build), args.arch, args.scenario) as run:
        run_scenario(run, fail, SCENARIOS[args.scenario])
    for failure in fail:
        print("FAILED: " + failure)
    if not fail:
        shutil.rmtree(run.prefix, ignore_errors=True)
    print("%s: %s" % (args.scenario, "passed" if not fail else "%d failures" % len(fail)))
    return 1 if fail else 0


if __name__ == "__main__":
    sys.exit(main())
