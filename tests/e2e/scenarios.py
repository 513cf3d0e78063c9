#!/usr/bin/env python3
"""scenarios.py BUILD_DIR SCENARIO: setup.exe on the sample diskettes under Wine and Xvfb,
in a fresh prefix with a simulated adapter, worked by kelmo_drive (driver/)."""
import collections, configparser, fcntl, functools, glob, json, os, pathlib, re, shutil
import subprocess, sys, time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLES = os.path.join(ROOT, "samples", "files")

PRODUCT = "Kelmo ProGraph 64"
# The longest name the program holds, with a "%s" that must not be formatted again.
LONG_PRODUCT = "Kelmo ProGraph 64 Professional %s Dual Head Edition, Windows 95"
VENDER = "VEN_4B4D&DEV_0095"
INSTANCES = {"BUS_00&DEV_0D&FUNC_00": "0001", "BUS_01&DEV_00&FUNC_00": "0002"}
ENUM_KEY = r"HKEY_LOCAL_MACHINE\Enum\PCI" + "\\" + VENDER
CLASS_KEY = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\Display"
SOFTWARE_KEY = r"HKEY_LOCAL_MACHINE\Software\Kelmo"
CLASSES_KEY = r"HKEY_CLASSES_ROOT\KelmoProGraph.Settings"
# Wine, like Windows NT, keeps the [windows] section of win.ini (the load line) here.
WIN_INI_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\Windows"
# How reg.exe names the unnamed value, in English and Japanese.
DEFAULT_VALUE = ("(Default)", "(既定)")
RENAMES_KEY = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager"

FINAL_MESSAGE = (
    'Setup is complete and your system will restart.  After restart, open Control '
    'Panel-Display-Settings tab.  Click on "Change Display Type" to check the "Adapter '
    'Type"  is "{0}" or not.  If not, click "Change" and in Models box select "{0}", then '
    'press OK.   After being asked to insert Kelmo Windows 95 Disk, press OK. Then Install '
    'From Disk box will pop up, please change the copy from path to your Windows 95 system '
    'subdirectory(e.g., C:\\Windows\\System). Then press OK to finish.')

# Installed files below drive_c/windows, each a copy of its namesake in samples/files
# (the INF of both lists is kelmo.inf there).
WINDOWS_FILES = ["inf/oemkelmo.inf", "kelmotry.exe", "kelmo.txt", "readme.1st"]
DRV, VXD = "system32/kelmo.drv", "system32/kelmo.vxd"
SYSTEM_FILES = [DRV, VXD, "system32/kelmo32.dll", "system32/kelmo.inf"]

# A driver key as the adapter brings it, and after [Driver.AddReg]:
# {key below it, in lower case: its values}.
PLAIN_DRIVER_KEY = {"": {"DriverDesc": "Standard display adapter (VGA)"}}
DRIVER_KEY = {"": dict(PLAIN_DRIVER_KEY[""], Ver="4.0", DevLoader="*vdd"), "modes": {},
              "default": {"Mode": "8,640,480", "drv": "kelmo.drv", "vdd": "*vdd",
                          "minivdd": "kelmo.vxd", "RefreshRate": "-1"}}
for bits in ("8", "16", "24"):
    DRIVER_KEY.update({"modes\\" + bits + mode: {} for mode in ("", "\\640,480", "\\800,600")})
DRIVER_KEY["modes\\24\\800,600"] = {"RefreshRate": "60,72,75"}

OLDER_FILE = b"the driver that runs now\r\n" * 40


class Failures(list):
    """Failed checks, each naming the line of the check that failed."""

    def check(self, ok, what, *expected_actual, depth=1):
        if not ok:
            detail = "".join("\n    %-9s %r" % pair
                             for pair in zip(("expected:", "actual:"), expected_actual))
            self.append("line %d: %s%s" % (sys._getframe(depth).f_lineno, what, detail))

    def equal(self, expected, actual, what):
        self.check(expected == actual, what, expected, actual, depth=2)


def read(path):
    return pathlib.Path(path).read_bytes()


def read_ini(path, encoding="latin-1"):
    """{section (lower case): {key (lower case): value}} of an ini file."""
    ini = configparser.ConfigParser(strict=False, interpolation=None, allow_no_value=True,
                                    delimiters=("=",), comment_prefixes=(";",))
    ini.read_string(read(path).decode(encoding))
    return {name.lower(): dict(ini[name]) for name in ini.sections()}


class Run:
    """A prefix copied from a template made once per build, a screen and a diskette."""

    def __init__(self, build, name):
        self.build, self.work = build, os.path.join(build, "e2e", name)
        self.prefix = os.path.join(self.work, "prefix")
        self.windows = os.path.join(self.prefix, "drive_c", "windows")
        self.xvfb_info, self.env = os.path.join(self.work, "xvfb.info"), None
        self.encoding = "latin-1"  # of the system's ANSI code page

    def __enter__(self):
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        template = os.path.join(self.build, "e2e", "prefix-template")
        env = dict(os.environ, WINEPREFIX=template)
        with open(template + ".lock", "w") as lock:  # made once, by whoever comes first
            fcntl.flock(lock, fcntl.LOCK_EX)
            subprocess.run([ROOT + "/tools/wine-prefix.sh"], env=env, check=True)
        subprocess.run(["cp", "-a", template, self.prefix], check=True)
        subprocess.run([ROOT + "/tools/xvfb.sh", "start", self.xvfb_info], check=True)
        # The Wine variables of tools/common.sh for this prefix.
        env["WINEPREFIX"] = self.prefix
        out = subprocess.run(["bash", "-c", 'source "$1/tools/common.sh" && env -0', "_", ROOT],
                             env=env, check=True, stdout=subprocess.PIPE).stdout
        self.env = dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)
        self.env["DISPLAY"] = read(self.xvfb_info).decode().split()[0]
        # One server for the whole run: a server that is still saving the registry
        # as it exits could otherwise meet a new one that loads the old files.
        subprocess.run([self.env["WINESERVER_BIN"], "-p"], env=self.env, check=True)
        return self

    def __exit__(self, *exc):  # ends every Wine process of the run, a holder left too
        if self.env:
            subprocess.run([self.env["WINESERVER_BIN"], "-k"], env=self.env)
        subprocess.run([ROOT + "/tools/xvfb.sh", "stop", self.xvfb_info])

    def use_code_page(self, code_page):
        """The locale whose ANSI code page is code_page, and one CJK font that has Latin
        glyphs too: a fallback font without them would draw even the English text as boxes."""
        self.env["LC_ALL"] = CJK_LOCALES[code_page]
        self.encoding = "cp%d" % code_page
        fonts = os.path.join(self.work, "fonts.conf")
        pathlib.Path(fonts).write_text(
            '<?xml version="1.0"?><fontconfig><dir>/usr/share/fonts/opentype/ipafont-gothic'
            '</dir><cachedir>%s</cachedir></fontconfig>' % os.path.join(self.work, "fc-cache"))
        self.env["FONTCONFIG_FILE"] = fonts

    def file(self, path):
        """The prefix's file for a path on A: or C:."""
        return os.path.join(self.prefix, "drive_" + path[0].lower(), *path[3:].split("\\"))

    def diskette(self, number):
        """A folder outside the prefix that holds a diskette of the set, and its Wine path."""
        path = os.path.join(self.work, "disk%d" % number)
        return path, "Z:" + path.replace("/", "\\")

    def wine(self, *args):
        return subprocess.run([self.env["WINE_LOADER"], *args], env=self.env, timeout=300,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def reg_query(self, key):
        """{key path below `key`, in lower case: {value name: data}}; empty when it is absent."""
        tree, current = {}, None
        # reg.exe prints in the ANSI code page.
        for line in self.wine("reg", "query", key, "/s").stdout.decode(self.encoding).splitlines():
            if line.startswith("HKEY_"):
                current = tree.setdefault(line[len(key):].lstrip("\\").lower(), {})
            match = re.match(r"^    (.*?)    (REG_\w+)(?:    (.*))?$", line)
            if match and current is not None:
                current["" if match[1] in DEFAULT_VALUE else match[1]] = match[3] or ""
        return tree

    def preset_system(self, version=None):
        """The adapter, ini lines to keep or remove, and the Windows version to report."""
        if version:
            self.wine("reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f")
        adapter = "Z:" + os.path.join(ROOT, "samples", "adapter.reg").replace("/", "\\")
        self.wine("reg", "import", adapter).check_returncode()
        with open(os.path.join(self.windows, "system.ini"), "ab") as f:
            f.write(b"[DISPLAY]\r\nRefreshProgramming=1\r\nBusThrottle=0\r\n")
        self.wine("reg", "add", WIN_INI_KEY, "/v", "load", "/d", "clock.exe", "/f")

    def hold(self, name, program=None):
        """An older file at `name`, held open as a running system holds its driver, by
        kelmo_hold; or, given a `program` name, by an older build of that program running
        from the Windows folder (kelmo_hold under that name), as a tray program runs."""
        pathlib.Path(self.windows, name).write_bytes(OLDER_FILE)
        exe = self.build + "/tests/e2e/kelmo_hold.exe"
        if program:
            exe = os.path.join(self.windows, program)
            shutil.copy(self.build + "/tests/e2e/kelmo_hold.exe", exe)
        holder = subprocess.Popen(
            [self.env["WINE_LOADER"], exe, "C:\\windows\\" + name.replace("/", "\\")],
            env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if holder.stdout.readline().strip() != b"held":
            raise RuntimeError("kelmo_hold could not hold " + name)
        return holder

    def snapshot(self):
        """What the install may change; a file by its size and times (see check_files)."""
        keys = (ENUM_KEY, CLASS_KEY, SOFTWARE_KEY, CLASSES_KEY, WIN_INI_KEY)
        paths = [os.path.join(d, name) for d, _, names in os.walk(self.windows) for name in names]
        return {"files": {os.path.relpath(path, self.windows):
                          ((st := os.stat(path)).st_size, st.st_mtime_ns, st.st_ctime_ns)
                          for path in paths if not os.path.islink(path)},
                "registry": {key: self.reg_query(key) for key in keys},
                "system.ini": read_ini(os.path.join(self.windows, "system.ini"), self.encoding),
                "win.ini": read_ini(os.path.join(self.windows, "win.ini"), self.encoding)}

    def drive(self, answers):
        """Runs the driver: {event: [bodies]} and the Wine +process trace."""
        trace_path = os.path.join(self.work, "trace.log")
        with open(trace_path, "wb") as trace:
            out = subprocess.run(
                [self.env["WINE_LOADER"], self.build + "/tests/e2e/kelmo_drive.exe",
                 "--exe", "A:\\setup.exe", "--dir", "A:\\", "--answers", ",".join(answers)],
                env=dict(self.env, WINEDEBUG="+process,+security"), stdout=subprocess.PIPE,
                stderr=trace, timeout=400).stdout.decode("latin-1")
        sys.stdout.write(out)
        events = collections.defaultdict(list)
        for name, _, body in (line.partition(" ") for line in out.splitlines()):
            if body.startswith("{"):  # window texts come a byte a character
                events[name].append(json.loads(body, object_hook=lambda o: {
                    k: v.encode("latin-1").decode(self.encoding) if isinstance(v, str) else v
                    for k, v in o.items()}))
        return events, read(trace_path).decode("latin-1")


def check_setupcheck(fail, run, s):
    """setupcheck --json on the set, under Wine from A:: its exit code and plan."""
    later = [run.diskette(n)[1] for n in range(2, 10) if os.path.isdir(run.diskette(n)[0])]
    code_page = ["--codepage", str(s["code_page"])] if "code_page" in s else []
    result = run.wine(run.build + "/setupcheck.exe", *code_page, "--json", "A:\\", *later)
    plan = json.loads(result.stdout.strip() or b"null")
    expected = (2, False) if s.get("remove") == "setup.dat" else (s.get("check_code", 0), True)
    fail.equal(expected, (result.returncode, plan is not None), "setupcheck exit code, a plan")
    return plan


def check_plan_outcome(fail, run, plan, boxes):
    """The files setupcheck planned, with their sizes, and its diskette prompts, against what
    setup.exe did. A prompt for a missing file is cancelled, which ends its list."""
    prompts, cancelled = [], set()
    for f in plan["files"]:
        reached = f["list"] not in cancelled
        if f["prompt"] and reached:
            prompts.append(f["prompt"])
            if not f["present"]:
                cancelled.add(f["list"])
        path = run.file(f["target"])
        fail.equal(f["size"] if f["present"] and reached else "not copied",
                   os.path.getsize(path) if os.path.exists(path) else "not copied",
                   "planned %s (line %d)" % (f["target"], f["line"]))
    fail.equal(prompts, [b["text"] for b in boxes if b["buttons"] == ["ok", "cancel"]],
               "diskette prompts planned and shown")


def check_files(fail, run, s, before, after):
    """Exactly the listed files made or rewritten in the Windows folder (a rewritten one shows
    in its inode change time), each a copy of its namesake in samples/files (or on A:)."""
    changed = {k for k in set(before) | set(after) if before.get(k) != after.get(k)}
    changed -= {"system.ini", "wininit.bak"}
    fail.equal(sorted(s.get("files", [])), sorted(changed), "files made or rewritten")
    for name in changed & set(s.get("files", [])):
        original = s.get("renamed", {}).get(name) or os.path.basename(name).replace("oem", "")
        # A file the scenario put on A: itself (the large file), else the sample.
        source = next(p for p in (run.file("A:\\" + original), SAMPLES + "/" + original) if os.path.exists(p))
        fail.check(read(run.windows + "/" + name) == read(source), name + " installed as " + source)


def check_restart(fail, run, s, holder, tray):
    """A file in use keeps its old bytes until the restart (Wine's restart request runs what
    a boot runs), which puts the new file in its place. Nothing is left for a later restart,
    and no temporary file: not of a file scheduled twice, nor a running program's old build."""
    if tray:
        tray.communicate(timeout=300)
    if holder:
        released = [line.strip() for line in holder.communicate(timeout=300)[0].splitlines()]
        fail.check(b"released " + OLDER_FILE.hex().encode() in released,
                   "the file in use keeps its old bytes until the restart", "old bytes", released)
        new, deadline = read(SAMPLES + "/" + os.path.basename(s["hold"])), time.monotonic() + 120
        while read(run.windows + "/" + s["hold"]) != new and time.monotonic() < deadline:
            time.sleep(0.2)  # the boot's renames may still be on their way
    renames = run.reg_query(RENAMES_KEY).get("", {}).get("PendingFileRenameOperations")
    fail.equal((None, "hold" in s and s.get("version") == "win95", s.get("others", [])),
               (renames, os.path.exists(run.windows + "/wininit.bak"),
                sorted(os.path.relpath(p, run.windows) for p in glob.glob(
                    run.windows + "/**/ke[lo]*.tmp", recursive=True))),
               "renames left for a restart, wininit.ini carried out (Windows 95 only), "
               "temporary files left")


def check_config(fail, s, before, after):
    """The ini lines; both instances' values, the display class whole, and HKLM and HKCR
    changed only when [Driver.AddReg] was applied; no registry change without setup.dat."""
    registry = after["registry"]
    fail.equal((s["product"], {"busthrottle": "0"}, s.get("load", "clock.exe kelmotry.exe")),
               (after["system.ini"].get("boot.description", {}).get("display.drv"),
                after["system.ini"].get("display"), registry[WIN_INI_KEY].get("", {}).get("load")),
               "system.ini display.drv, [DISPLAY] without RefreshProgramming; win.ini load")
    if s["registry"] is None:
        return fail.equal(before["registry"], registry, "registry unchanged")
    for instance, driver in INSTANCES.items():
        fail.equal({"Driver": "DISPLAY\\" + driver, "HardwareID": "PCI\\" + VENDER,
                    "DeviceDesc": s["product"], "Mfg": "Kelmo"},
                   registry[ENUM_KEY].get(instance.lower()), "values of instance " + instance)
    fail.equal({(driver + "\\" + key).rstrip("\\"): values for driver in INSTANCES.values()
                for key, values in s["registry"].items()}, registry[CLASS_KEY], "the display class")
    applied = (dict({"prograph64": {"Version": "1.00"}}, **s.get("software", {})),
               {"": {"": PRODUCT + " display settings"}})
    fail.equal(applied if s["registry"] != PLAIN_DRIVER_KEY else ({}, {}),
               (registry[SOFTWARE_KEY], registry[CLASSES_KEY]), "HKLM and HKCR lines")


def readme_box(product):
    return ("READ ME", FINAL_MESSAGE.format(product), ["ok"], False)


def error_box(text):
    return ("Error", text, ["ok"], True)


def insert_prompt(disk, label="Kelmo Windows 95 Disk %d"):
    return ("Error", "Please insert the diskette labeled %s into A:" % (label % disk),
            ["ok", "cancel"], False)


def replacing(pairs):
    """An edit of setup.dat's text that makes each replacement in turn."""
    return lambda text: functools.reduce(lambda t, pair: t.replace(*pair), pairs.items(), text)


# The sample set as it is laid out on its two diskettes: each name and its diskette.
TWO_DISKETTES = {"setup.exe": 1, "setup.dat": 1, "kelmo.in_": 1, "kelmotry.ex_": 1,
                 "readme.1st": 1, "kelmo.tx_": 1, "kelmo.dr_": 1, "kelmo.vx_": 1,
                 "kelmo32.dl_": 2, "kelmo.inf": 2}
# The same on three diskettes, the driver (kelmo.vx_) listed twice. The prompts come for
# disks 2, 1, 3 and 2, in this order: the second diskette is in the drive when [SystemDir]
# starts.
THREE_DISKETTES = dict(TWO_DISKETTES, **{"readme.1st": 2, "kelmo.tx_": 2, "kelmo.vx_": 3})
ON_THREE_DISKETTES = replacing({
    "1,kelmo.tx_": "2,kelmo.tx_", "1,readme.1st": "2,readme.1st",
    "1,kelmo.vx_": "3,kelmo.vx_\r\n3,kelmo.vx_",
    "2=Kelmo Windows 95 Disk 2\r\n": "2=Kelmo Windows 95 Disk 2\r\n3=Kelmo Windows 95 Disk 3\r\n"})
DISK_CHANGES = [2, 1, 3, 2]
# Another product's setup.dat, on the second diskette: nothing of it may be used.
FOREIGN_SETUP_DAT = ("[Product]\r\nProductName=Other Vision 3D\r\n[Enum PCI]\r\nVender=VEN_4F54&DEV_0001"
                     "\r\nMfg=Other\r\n[Source Media Descriptions]\r\n1=Other 1\r\n2=Other 2\r\n3=Other 3\r\n")


def list_driver_twice(text):
    return text.replace("2,kelmo.inf\r\n", "2,kelmo.inf\r\n1,kelmo.dr_\r\n")


# Japanese Windows 95 (code page 932), where the second byte of ー and ソ is "[" and "\\": the
# sample set with a product, labels, two listed files, registry values and a key in Japanese,
# each followed by more lines. The listed files are the samples renamed.
CJK_LOCALES = {932: "ja_JP.UTF-8"}
JA_PRODUCT, JA_LABEL = "ケルモ スーパーVGA", "ケルモ ドライバー・ソフト ディスク %d"
JA_FILES = {"kelmo.tx_": "スーパー.tx_", "kelmo32.dl_": "ドライバーソフト.dl_"}
IN_JAPANESE = replacing({
    "ProductName=" + PRODUCT: "ProductName=" + JA_PRODUCT, "FontHi=32": "FontHi=28",
    "Kelmo Windows 95 Disk 1": JA_LABEL % 1, "Kelmo Windows 95 Disk 2": JA_LABEL % 2,
    "HKR,,DevLoader,,*vdd\r\n": "HKR,,DevLoader,,*vdd\r\nHKR,,ドライバー,,スーパー\r\n",
    "HKCR,": "HKLM,Software\\\\Kelmo\\\\表示,モード,,スーパーVGA\r\nHKCR,",
    **{"," + stored: "," + JA_FILES[stored] for stored in JA_FILES}})

MISSING = "Can't find section: [%s]"
# A large file, first on the System list, during which the power fails.
BIG = "system32/kelmo.big"
FULL_INSTALL = dict(boxes=[readme_box(PRODUCT)], product=PRODUCT, registry=DRIVER_KEY,
                    files=WINDOWS_FILES + SYSTEM_FILES)

# Each scenario presses Next, then Finish, and checks the boxes, files, ini lines and the
# restart; "registry" is what each driver key holds then (None: no registry change at all).
SCENARIOS = {
    # The set on three diskettes, each prompt answered by changing the diskette: labels,
    # product, adapter and registry lines all come from the first diskette's setup.dat,
    # also when another diskette carries a setup.dat of its own; on a system that answers
    # as Windows 95 does, with a driver held open as a
    # running system holds it and listed twice, and an older tray program running: wininit.ini
    # replaces the driver at the restart, by its second copy, and deletes the tray program's
    # old build; the restart is requested without the NT family's shutdown privilege.
    "diskettes_win95": dict(
        FULL_INSTALL, layout=THREE_DISKETTES, edit=ON_THREE_DISKETTES, changes=DISK_CHANGES,
        version="win95", foreign=True, hold=VXD, check_code=1,
        boxes=[insert_prompt(d) for d in DISK_CHANGES] + [readme_box(PRODUCT)]),
    # The same on the NT family, through MoveFileEx, on one diskette.
    "in_use": dict(FULL_INSTALL, hold=DRV, edit=list_driver_twice, check_code=1),
    # The power fails while a large file is written: every process ends at once when a
    # temporary file of ours is in System. The next run installs and restarts; it leaves no
    # temporary file of ours, and another program's stays.
    "power_cut": dict(FULL_INSTALL, files=FULL_INSTALL["files"] + [BIG], cut=True, check_code=1,
                      others=["system32/kelvin.tmp"],
                      edit=lambda t: t.replace("[SystemDir]\r\n", "[SystemDir]\r\n1,kelmo.big\r\n")),
    # A missing file of the Windows list, the prompt cancelled; the longest product name.
    "diskette_cancel": dict(
        remove="kelmotry.ex_",
        edit=lambda t: t.replace("ProductName=" + PRODUCT, "ProductName=" + LONG_PRODUCT),
        answers=["cancel"], product=LONG_PRODUCT, registry=DRIVER_KEY, check_code=2,
        boxes=[("Error", "Please insert the diskette labeled Kelmo Windows 95 Disk 1 into A:",
                ["ok", "cancel"], False), readme_box(LONG_PRODUCT)],
        files=["inf/oemkelmo.inf"] + SYSTEM_FILES),
    "no_setup_dat": dict(
        remove="setup.dat", product="", registry=None, load="clock.exe",
        boxes=[error_box("Not enough memory to process Setup Information file."), readme_box("")]),
    # No [SystemDir]: the Windows list is copied, the registry lines are not applied.
    "missing_section": dict(
        edit=lambda t: re.sub(r"\[SystemDir\]\r\n(.+\r\n)*\r\n", "", t), check_code=2,
        product=PRODUCT, registry=PLAIN_DRIVER_KEY,
        boxes=[error_box(MISSING % "SystemDir"), error_box(MISSING % "Driver.AddReg"),
               error_box(MISSING % "Driver.AddReg"), readme_box(PRODUCT)],
        files=WINDOWS_FILES),
    "japanese": dict(
        FULL_INSTALL, layout=TWO_DISKETTES, stored=JA_FILES, edit=IN_JAPANESE, changes=[2],
        code_page=932, version="win95", product=JA_PRODUCT,
        registry=dict(DRIVER_KEY, **{"": dict(DRIVER_KEY[""], **{"ドライバー": "スーパー"})}),
        software={"表示": {"モード": "スーパーVGA"}},
        boxes=[insert_prompt(2, JA_LABEL), readme_box(JA_PRODUCT)],
        files=["inf/oemkelmo.inf", "kelmotry.exe", "スーパー.txt", "readme.1st", DRV, VXD,
               "system32/ドライバーソフト.dll", "system32/kelmo.inf"],
        renamed={"スーパー.txt": "kelmo.txt", "system32/ドライバーソフト.dll": "kelmo32.dll"}),
}


def laid_out_set(run, s):
    """The sample's files on the scenario's diskettes (stored under their names in "stored"),
    its setup.dat on the first, edited and written in the system's code page; the first in
    A:. Returns the answers that change the diskette at each prompt."""
    sample = {name: os.path.join(d, name) for d in glob.glob(run.build + "/diskette/disk*")
              for name in os.listdir(d)}
    for name, disk in s["layout"].items():
        folder = run.diskette(disk)[0]
        os.makedirs(folder, exist_ok=True)
        shutil.copy(sample[name], os.path.join(folder, s.get("stored", {}).get(name, name)))
    setup_dat = pathlib.Path(run.diskette(1)[0], "setup.dat")
    setup_dat.write_bytes(s["edit"](setup_dat.read_bytes().decode("ascii")).encode(run.encoding))
    if s.get("foreign"):
        pathlib.Path(run.diskette(2)[0], "setup.dat").write_bytes(FOREIGN_SETUP_DAT.encode("ascii"))
    shutil.copytree(run.diskette(1)[0], run.file("A:\\"), dirs_exist_ok=True)
    return ["disk:" + run.diskette(disk)[1] for disk in s["changes"]]


def prepare_diskette(run, s):
    """The sample set in A:, both its diskettes in one, unless the scenario changes
    diskettes; returns the answers to the message boxes."""
    if "layout" in s:
        return laid_out_set(run, s)
    for disk in sorted(glob.glob(run.build + "/diskette/disk*")):
        shutil.copytree(disk, run.file("A:\\"), dirs_exist_ok=True)
    if "remove" in s:
        os.remove(run.file("A:\\" + s["remove"]))
    if s.get("cut"):  # the large file, and another program's file in System
        pathlib.Path(run.file("A:\\kelmo.big")).write_bytes(os.urandom(32 << 20))
        pathlib.Path(run.windows, "system32", "kelvin.tmp").write_bytes(b"another program's")
    if "edit" in s:
        setup_dat = pathlib.Path(run.file("A:\\setup.dat"))
        setup_dat.write_bytes(s["edit"](setup_dat.read_bytes().decode("ascii")).encode("ascii"))
    return s.get("answers", [])


def cut_power(fail, run, answers):
    """Runs the install until a temporary file of ours in System holds data, then ends every
    process of the prefix at once, as a power failure would."""
    driver = subprocess.Popen(
        [run.env["WINE_LOADER"], run.build + "/tests/e2e/kelmo_drive.exe", "--exe",
         "A:\\setup.exe", "--dir", "A:\\", "--answers", ",".join(answers)],
        env=run.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline, ours = time.monotonic() + 300, []
    while not ours and driver.poll() is None and time.monotonic() < deadline:
        ours = [p for p in glob.glob(run.windows + "/system32/kel*.tmp")
                if re.search(r"kel[0-9a-f]{1,4}\.tmp$", p) and os.path.getsize(p) > 0]
        time.sleep(0.01)
    subprocess.run([run.env["WINESERVER_BIN"], "-k"], env=run.env)
    driver.wait()
    subprocess.run([run.env["WINESERVER_BIN"], "-p"], env=run.env, check=True)
    fail.check(ours and 0 < os.path.getsize(ours[0]) < 32 << 20,
               "the power failed in the middle of the large file", "part of it", ours)


def run_scenario(run, fail, s):
    if "code_page" in s:
        run.use_code_page(s["code_page"])
    answers = prepare_diskette(run, s)
    run.preset_system(s.get("version"))
    plan = check_setupcheck(fail, run, s)
    holder = run.hold(s["hold"]) if "hold" in s else None
    tray = run.hold("kelmotry.lck", program="kelmotry.exe") if "hold" in s else None
    before = run.snapshot()
    if s.get("cut"):
        cut_power(fail, run, answers)
    events, trace = run.drive(answers)
    check_restart(fail, run, s, holder, tray)
    after = run.snapshot()
    fail.equal(([], [0], True),
               (events["error"] + events["timeout"], [e["code"] for e in events["exit"]],
                re.search(r'wineboot\.exe --end-session"', trace) is not None),
               "driver errors, exit code of setup.exe, a restart (not a log-off) requested")
    fail.equal(s.get("boxes", []), [(b["caption"], b["text"], b["buttons"], b["icon"])
                                    for b in events["box"]], "message boxes")
    check_files(fail, run, s, before["files"], after["files"])
    fail.equal(s.get("version") != "win95", "AdjustTokenPrivileges" in trace,
               "the shutdown privilege enabled on the NT family only")
    if plan:
        check_plan_outcome(fail, run, plan, events["box"])
    check_config(fail, s, before, after)


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in SCENARIOS:
        sys.exit("usage: scenarios.py BUILD_DIR SCENARIO\nscenarios: " + " ".join(SCENARIOS))
    fail, name = Failures(), sys.argv[2]
    with Run(os.path.abspath(sys.argv[1]), name) as run:
        run_scenario(run, fail, SCENARIOS[name])
    for failure in fail:
        print("FAILED: scenarios.py " + failure)
    print("%s: %s" % (name, "%d failures" % len(fail) if fail else "passed"))
    if not fail:
        shutil.rmtree(run.prefix, ignore_errors=True)
    return 1 if fail else 0


if __name__ == "__main__":
    sys.exit(main())
