#!/usr/bin/env python3
"""End-to-end scenarios: setup.exe on the sample diskette, under Wine and Xvfb.

Each scenario gets a fresh copy of a template Wine prefix whose registry holds
a simulated adapter with two PCI instances, its own Xvfb, and the diskette as
drive A:. The driver program (kelmo_drive.exe) works the wizard and answers
the message boxes; afterwards the scenario reads the prefix: installed files,
registry values, system.ini and win.ini, and the screenshots.

    scenarios.py --build BUILD_DIR --arch win64|win32 SCENARIO
"""
import argparse
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
# Wine, like Windows NT, maps the [windows] section of win.ini to this key;
# the profile functions read and write the load line there.
WIN_INI_WINDOWS_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\Windows"

FINAL_MESSAGE = (
    'Setup is complete and your system will restart.  After restart, open Control '
    'Panel-Display-Settings tab.  Click on "Change Display Type" to check the "Adapter '
    'Type"  is "{0}" or not.  If not, click "Change" and in Models box select "{0}", then '
    'press OK.   After being asked to insert Kelmo Windows 95 Disk, press OK. Then Install '
    'From Disk box will pop up, please change the copy from path to your Windows 95 system '
    'subdirectory(e.g., C:\\Windows\\System). Then press OK to finish.')
NO_SETUP_TEXT = "Not enough memory to process Setup Information file."
DISK1_PROMPT = "Please insert the diskette labeled Kelmo Windows 95 Disk 1 into A:"

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

# The simulated adapter: two PCI instances and their driver keys.
ADAPTER_REG = os.path.join(ROOT, "samples", "adapter.reg")


class Failures(list):
    def check(self, condition, what, expected=None, actual=None):
        if not condition:
            detail = what
            if expected is not None or actual is not None:
                detail += "\n    expected: %r\n    actual:   %r" % (expected, actual)
            self.append(detail)

    def equal(self, expected, actual, what):
        self.check(expected == actual, what, expected, actual)


# ---- Wine, Xvfb and the prefix ------------------------------------------

def wine_env(arch, prefix, display):
    """The Wine variables of tools/common.sh for this lane and prefix."""
    env = dict(os.environ, KELMO_WINE_ARCH=arch, WINEPREFIX=prefix)
    out = subprocess.run(["bash", "-c", 'source "$1/tools/common.sh" && env -0', "_", ROOT],
                         env=env, check=True, stdout=subprocess.PIPE).stdout
    env = dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)
    env["DISPLAY"] = display
    return env


def make_template(build, arch):
    """A prefix made once per build tree; scenarios copy it."""
    template = os.path.join(build, "e2e", "prefix-template-" + arch)
    os.makedirs(os.path.dirname(template), exist_ok=True)
    with open(template + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(template, ".kelmo-ready")):
            env = dict(os.environ, KELMO_WINE_ARCH=arch, WINEPREFIX=template)
            subprocess.run([os.path.join(ROOT, "tools", "wine-prefix.sh"), "fresh"],
                           env=env, check=True)
    return template


def windows_path(unix_path):
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def wine(env, *args, **kw):
    return subprocess.run([env["WINE_LOADER"]] + list(args), env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, timeout=kw.get("timeout", 60))


# ---- reading the prefix -------------------------------------------------

def reg_query(env, key):
    """{key path below `key`: {value name: data}}; empty when the key is absent."""
    out = wine(env, "reg", "query", key, "/s").stdout.decode("utf-8", "replace")
    tree, current = {}, None
    for line in out.splitlines():
        if line.startswith("HKEY_"):
            current = tree.setdefault(line[len(key):].lstrip("\\").lower(), {})
            continue
        match = re.match(r"^    (.*?)    (REG_\w+)(?:    (.*))?$", line)
        if match and current is not None:
            name = "" if match.group(1) == "(Default)" else match.group(1)
            current[name] = match.group(3) or ""
    return tree


def registry_state(env):
    keys = (ENUM_KEY, CLASS_KEY, SOFTWARE_KEY, CLASSES_KEY, WIN_INI_WINDOWS_KEY)
    return {key: reg_query(env, key) for key in keys}


def read_ini(path):
    """{section (lower case): {key (lower case): value}} of an ini file."""
    sections, current = {}, None
    with open(path, "rb") as f:
        for raw in f.read().decode("latin-1").splitlines():
            line = raw.strip()
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1].lower(), {})
            elif "=" in line and current is not None and not line.startswith(";"):
                key, value = line.split("=", 1)
                current[key.strip().lower()] = value.strip()
    return sections


def file_listing(windows_dir):
    """Every file below the Windows folder with its size and times (LZCopy keeps the
    source's modification time, so the inode change time tells a rewritten file)."""
    listing = {}
    for folder, _, names in os.walk(windows_dir):
        for name in names:
            path = os.path.join(folder, name)
            if os.path.islink(path):
                continue
            st = os.stat(path)
            listing[os.path.relpath(path, windows_dir)] = (st.st_size, st.st_mtime_ns,
                                                           st.st_ctime_ns)
    return listing


def read_bmp(path):
    """(width, height, pixel(x, y) -> (r, g, b)) of a 24-bit bottom-up BMP."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3

    def pixel(x, y):
        i = offset + (height - 1 - y) * stride + x * 3
        return data[i + 2], data[i + 1], data[i]
    return width, height, pixel


# ---- one run ------------------------------------------------------------

class Run:
    """A prefix, a screen and a diskette for one scenario, then the result."""

    def __init__(self, build, arch, name):
        self.build, self.arch, self.name = build, arch, name
        self.work = os.path.join(build, "e2e", name)
        self.prefix = os.path.join(self.work, "prefix")
        self.windows = os.path.join(self.prefix, "drive_c", "windows")
        self.diskette = os.path.join(self.prefix, "drive_a")
        self.xvfb_info = os.path.join(self.work, "xvfb.info")
        self.env = None

    def __enter__(self):
        template = make_template(self.build, self.arch)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        subprocess.run(["cp", "-a", template, self.prefix], check=True)
        subprocess.run([os.path.join(ROOT, "tools", "xvfb.sh"), "start", self.xvfb_info],
                       check=True)
        with open(self.xvfb_info) as f:
            display = f.read().split()[0]
        self.env = wine_env(self.arch, self.prefix, display)
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
        result = wine(self.env, "reg", "import", windows_path(ADAPTER_REG))
        if result.returncode != 0:
            raise RuntimeError("reg import failed")
        append_ini(os.path.join(self.windows, "system.ini"),
                   "[DISPLAY]\r\nRefreshProgramming=1\r\nBusThrottle=0\r\n")
        wine(self.env, "reg", "add", WIN_INI_WINDOWS_KEY, "/v", "load", "/t", "REG_SZ",
             "/d", "clock.exe", "/f")

    def snapshot(self):
        return {"files": file_listing(self.windows), "registry": registry_state(self.env),
                "system.ini": read_ini(os.path.join(self.windows, "system.ini")),
                "win.ini": read_ini(os.path.join(self.windows, "win.ini"))}

    def drive(self, steps, answers=()):
        """Runs the driver; returns its events and the Wine process trace."""
        self.env["WINEDEBUG"] = "+process"
        exe = os.path.join(self.build, "tests", "e2e", "kelmo_drive.exe")
        args = [self.env["WINE_LOADER"], exe, "--exe", "A:\\setup.exe", "--dir", "A:\\",
                "--shots", windows_path(self.work), "--timeout", "120"]
        if answers:
            args += ["--answers", ",".join(answers)]
        trace_path = os.path.join(self.work, "trace.log")
        with open(trace_path, "wb") as trace:
            out = subprocess.run(args + list(steps), env=self.env, stdout=subprocess.PIPE,
                                 stderr=trace, timeout=200).stdout.decode("latin-1")
        self.env["WINEDEBUG"] = "-all"
        with open(os.path.join(self.work, "driver.log"), "w") as f:
            f.write(out)
        with open(trace_path, "rb") as f:
            trace = f.read().decode("latin-1")
        return Result(out, trace)


def append_ini(path, text):
    with open(path, "ab") as f:
        f.write(text.encode("ascii"))


class Result:
    def __init__(self, driver_out, trace):
        self.events = []
        for line in driver_out.splitlines():
            name, _, body = line.partition(" ")
            if body.startswith("{"):
                self.events.append((name, json.loads(body)))
        self.trace = trace

    def all(self, name):
        return [body for event, body in self.events if event == name]

    @property
    def exit_code(self):
        codes = [body["code"] for body in self.all("exit")]
        return codes[0] if codes else None

    @property
    def boxes(self):
        return [(b["caption"], b["text"], b["buttons"], b["icon"]) for b in self.all("box")]

    def restart_requested(self):
        return re.search(r"wineboot\.exe[^\n]*--end-session", self.trace) is not None


# ---- checks -------------------------------------------------------------

def check_clean_exit(fail, result):
    fail.equal([], result.all("error") + result.all("timeout"), "driver errors")
    fail.equal(0, result.exit_code, "exit code of setup.exe")


def check_unchanged(fail, before, after):
    for part in ("registry", "system.ini", "win.ini"):
        fail.equal(before[part], after[part], part + " unchanged")
    changed = sorted(k for k in set(before["files"]) | set(after["files"])
                     if before["files"].get(k) != after["files"].get(k))
    fail.equal([], changed, "files of the Windows folder unchanged")


def check_files(fail, run, expected, absent=()):
    for installed, original in expected.items():
        path = os.path.join(run.windows, installed)
        if not os.path.exists(path):
            fail.append("not installed: " + installed)
            continue
        with open(path, "rb") as a, open(os.path.join(SAMPLES, original), "rb") as b:
            fail.check(a.read() == b.read(), installed + " differs from samples/files/" + original)
    for name in absent:
        fail.check(not os.path.exists(os.path.join(run.windows, name)),
                   "must not be installed: " + name)


def check_devices(fail, registry, product):
    enum = registry[ENUM_KEY]
    for instance, driver in INSTANCES.items():
        fail.equal({"Driver": "DISPLAY\\" + driver, "HardwareID": "PCI\\" + VENDER,
                    "DeviceDesc": product, "Mfg": "Kelmo"},
                   enum.get(instance.lower()), "values of instance " + instance)


def check_driver_keys(fail, registry, applied):
    """Both driver keys got [Driver.AddReg] (applied), or no key got anything."""
    classes = registry[CLASS_KEY]
    vga = {"DriverDesc": "Standard display adapter (VGA)"}
    if not applied:
        fail.equal(["0001", "0002"], sorted(k for k in classes if k), "keys below the display class")
        for driver in INSTANCES.values():
            fail.equal(vga, classes.get(driver), "driver key " + driver + " untouched")
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


def check_ini(fail, after, product, load="clock.exe kelmotry.exe"):
    system = after["system.ini"]
    windows = after["registry"][WIN_INI_WINDOWS_KEY].get("", {})
    fail.equal(product, system.get("boot.description", {}).get("display.drv"),
               "system.ini [boot.description] display.drv")
    fail.equal({"busthrottle": "0"}, system.get("display"),
               "system.ini [DISPLAY]: RefreshProgramming removed, the rest kept")
    fail.equal(load, windows.get("load"), "win.ini [windows] load")


def check_restart(fail, result, expected):
    fail.equal(expected, result.restart_requested(), "restart requested (wineboot --end-session)")


def readme_box(product):
    return ("READ ME", FINAL_MESSAGE.format(product), ["ok"], False)


def error_box(text):
    return ("Error", text, ["ok"], True)


# ---- screenshots --------------------------------------------------------

def banner_settings():
    """FontHi, StartX and StartY of the sample setup.dat."""
    with open(os.path.join(ROOT, "samples", "setup.dat"), "rb") as f:
        text = f.read().decode("ascii")
    banner = text.split("[Banner]")[1].split("[")[0]
    values = dict(re.findall(r"^(\w+)=(\d+)", banner, re.M))
    return int(values["FontHi"]), int(values["StartX"]), int(values["StartY"])


def check_logo(fail, shot, pixel, cx, cy, height):
    """The frame's grey top and left edges and the bitmap inside, as far as the page shows them."""
    fail.equal([10, 10, 120, 210], shot["logo"], shot["name"] + ": logo window on the page")
    grey = (128, 128, 128)
    left = [pixel(cx + 10, cy + 10 + y) for y in range(1, min(209, height - 10))]
    top = [pixel(cx + 10 + x, cy + 10) for x in range(0, 120)]
    fail.check(all(p == grey for p in left + top),
               shot["name"] + ": grey frame along the logo's top and left edges")
    inside = {pixel(cx + 11 + x, cy + 11 + y)
              for x in range(0, 118, 3) for y in range(0, min(208, height - 11), 3)}
    fail.check(len(inside) > 2, shot["name"] + ": the logo bitmap is drawn inside the frame")


def check_banner(fail, shot, pixel, cx, cy, width, height):
    """White text with a one-pixel blue shadow, starting at StartX, StartY."""
    font, sx, sy = banner_settings()
    blue, white = (0, 0, 255), (255, 255, 255)
    logo_right = 10 + 120
    blues = [(x, y) for y in range(height) for x in range(logo_right, width)
             if pixel(cx + x, cy + y) == blue]
    name = shot["name"]
    fail.check(len(blues) > 30, name + ": blue banner shadow present", ">30", len(blues))
    if not blues:
        return
    shadowed = sum(1 for x, y in blues if pixel(cx + x - 1, cy + y - 1) == white)
    fail.check(shadowed >= 0.95 * len(blues),
               name + ": white text one pixel up and left of every blue pixel",
               len(blues), shadowed)
    left, top = min(x for x, _ in blues), min(y for _, y in blues)
    bottom = max(y for _, y in blues)
    fail.check(sx - 2 <= left <= sx + 6, name + ": banner starts at StartX", sx, left)
    fail.check(sy <= top <= sy + font // 2, name + ": banner starts at StartY", sy, top)
    fail.check(bottom <= sy + 2 * font, name + ": banner height fits FontHi", font, bottom - sy)


def check_shots(fail, run, result, names):
    shots = {s["name"]: s for s in result.all("shot")}
    for name in names:
        shot = shots.get(name)
        if not shot:
            fail.append("no screenshot " + name)
            continue
        bmp = os.path.join(run.work, name + ".bmp")
        subprocess.run(["/usr/bin/convert", bmp, os.path.join(run.work, name + ".png")],
                       check=True)
        width, height, pixel = read_bmp(bmp)
        cx, cy = shot["client"]
        pw, ph = shot["size"]
        pw, ph = min(pw, width - cx), min(ph, height - cy)
        check_logo(fail, shot, pixel, cx, cy, ph)
        check_banner(fail, shot, pixel, cx, cy, pw, ph)


# ---- scenarios ----------------------------------------------------------

def leave_wizard(steps):
    """Cancel or close: nothing changes, no box, exit code 0, no restart."""
    def scenario(run, fail):
        run.preset_system()
        before = run.snapshot()
        result = run.drive(steps)
        check_clean_exit(fail, result)
        fail.equal([], result.boxes, "message boxes")
        check_unchanged(fail, before, run.snapshot())
        check_restart(fail, result, False)
        return result
    return scenario


def back_and_next(run, fail):
    result = leave_wizard(["page:welcome", "next", "page:finish", "back", "page:welcome",
                           "next", "page:finish", "cancel"])(run, fail)
    buttons = [(p["name"], p["back"], p["next"], p["finish"], p["cancel"])
               for p in result.all("page")]
    welcome = ("welcome", False, True, False, True)
    finish = ("finish", True, False, True, True)
    fail.equal([welcome, finish, welcome, finish], buttons,
               "pages and their enabled buttons (back, next, finish, cancel)")


def full_install(run, fail):
    run.preset_system()
    result = run.drive(["page:welcome", "shot:welcome", "next", "page:finish", "shot:finish",
                        "finish"])
    after = run.snapshot()
    check_clean_exit(fail, result)
    fail.equal([readme_box(PRODUCT)], result.boxes, "message boxes")
    check_files(fail, run, dict(WINDOWS_FILES, **SYSTEM_FILES), NEVER_FILES)
    check_devices(fail, after["registry"], PRODUCT)
    check_driver_keys(fail, after["registry"], applied=True)
    check_ini(fail, after, PRODUCT)
    check_restart(fail, result, True)
    check_shots(fail, run, result, ["welcome", "finish"])


def diskette_cancel(run, fail):
    """A missing file of the Windows list, the prompt cancelled; a long product name."""
    os.remove(os.path.join(run.diskette, "kelmotry.ex_"))
    edit_setup_dat(run, lambda t: t.replace("ProductName=" + PRODUCT,
                                            "ProductName=" + LONG_PRODUCT))
    run.preset_system()
    result = run.drive(["page:welcome", "next", "page:finish", "finish"], ["cancel"])
    after = run.snapshot()
    check_clean_exit(fail, result)
    fail.equal([("Error", DISK1_PROMPT, ["ok", "cancel"], False), readme_box(LONG_PRODUCT)],
               result.boxes, "message boxes")
    check_files(fail, run, dict({"inf/oemkelmo.inf": "kelmo.inf"}, **SYSTEM_FILES),
                ["kelmotry.exe", "kelmo.txt", "readme.1st"])
    check_devices(fail, after["registry"], LONG_PRODUCT)
    check_driver_keys(fail, after["registry"], applied=True)
    check_ini(fail, after, LONG_PRODUCT)
    check_restart(fail, result, True)


def no_setup_dat(run, fail):
    os.remove(os.path.join(run.diskette, "setup.dat"))
    run.preset_system()
    before = run.snapshot()
    result = run.drive(["page:welcome", "next", "page:finish", "finish"])
    after = run.snapshot()
    check_clean_exit(fail, result)
    fail.equal([error_box(NO_SETUP_TEXT), readme_box("")], result.boxes, "message boxes")
    fail.equal(before["registry"], after["registry"], "registry unchanged")
    check_files(fail, run, {}, list(WINDOWS_FILES) + list(SYSTEM_FILES))
    check_ini(fail, after, "", load="clock.exe")
    check_restart(fail, result, True)


def missing_section(run, fail):
    """No [SystemDir]: the Windows list is copied, the registry lines are not applied."""
    def drop_system_list(text):
        start = text.index("\r\n[SystemDir]\r\n") + 2
        return text[:start] + text[text.index("\r\n\r\n", start) + 4:]
    edit_setup_dat(run, drop_system_list)
    run.preset_system()
    result = run.drive(["page:welcome", "next", "page:finish", "finish"])
    after = run.snapshot()
    check_clean_exit(fail, result)
    missing = "Can't find section: %s"
    fail.equal([error_box(missing % "[SystemDir]"), error_box(missing % "[Driver.AddReg]"),
                error_box(missing % "[Driver.AddReg]"), readme_box(PRODUCT)],
               result.boxes, "message boxes")
    check_files(fail, run, WINDOWS_FILES, list(SYSTEM_FILES))
    check_devices(fail, after["registry"], PRODUCT)
    check_driver_keys(fail, after["registry"], applied=False)
    check_ini(fail, after, PRODUCT)
    check_restart(fail, result, True)


def edit_setup_dat(run, change):
    path = os.path.join(run.diskette, "setup.dat")
    with open(path, "rb") as f:
        text = f.read().decode("ascii")
    with open(path, "wb") as f:
        f.write(change(text).encode("ascii"))


SCENARIOS = {
    "cancel_welcome": leave_wizard(["page:welcome", "shot:welcome", "cancel"]),
    "cancel_finish": leave_wizard(["page:welcome", "next", "page:finish", "cancel"]),
    "close_wizard": leave_wizard(["page:welcome", "next", "page:finish", "close"]),
    "back_next": back_and_next,
    "full_install": full_install,
    "diskette_cancel": diskette_cancel,
    "no_setup_dat": no_setup_dat,
    "missing_section": missing_section,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--arch", default="win64", choices=["win64", "win32"])
    parser.add_argument("--keep", action="store_true", help="keep the prefix afterwards")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    fail = Failures()
    with Run(os.path.abspath(args.build), args.arch, args.scenario) as run:
        SCENARIOS[args.scenario](run, fail)
    with open(os.path.join(run.work, "driver.log")) as f:
        sys.stdout.write(f.read())
    for failure in fail:
        print("FAILED: " + failure)
    if not fail and not args.keep:
        shutil.rmtree(run.prefix, ignore_errors=True)
    print("%s: %s" % (args.scenario, "passed" if not fail else "%d failures" % len(fail)))
    return 1 if fail else 0


if __name__ == "__main__":
    sys.exit(main())
