#!/usr/bin/env python3
"""Tavrin's Windows programs end to end under Wine.

  wine_e2e.py cli SESSION --bed BED --linux-cli CLI --work DIR [--prefix P --bin DIR --stand-in DIR]
      Runs one session of tavrin-cli.exe commands inside the emulator BED (tavrin-wine-bed, under
      umockdev-wrapper) with the session's modules, then the same commands with the Linux
      tavrin-cli against the same modules, and checks what the modules received and what the
      programs said. DIR (--bin) holds tavrin-cli.exe and what it finds beside it; --stand-in holds
      the session's cfgmgr32.dll and tavrin-wine-probe.exe. Without them, the Linux program alone
      goes through the session's checks.
  wine_e2e.py window --prefix P --demo EXE --title TITLE --work DIR
      Starts tavrin-demo.exe on a virtual X server of its own and waits for its window.
  wine_e2e.py run-session PLAN
      Inside the emulator: runs the commands PLAN names, one after the other, and writes down how
      each went.

Only Debian's python3, Wine, umockdev, xvfb and x11-utils are needed.
"""
import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from framebuffer import framebuffer_rows, framebuffer_size, write_png  # noqa: E402

COMMAND_TIMEOUT = 40  # seconds: longer than any command's own wait, so a hang shows as one
SESSION_TIMEOUT = 150
MAP = "KEY-1 = CTRL+ALT+DEL\nKEY-2 = MRKey+Wheel BackWard = 3 \nKEY-3 = GameKey4\nlong-press = yes\ndebounce = 25\n"
# The map's key records at memory address 28, as the Linux end-to-end test expects them.
MAP_RECORDS = bytes([0x00, 0x05, 0x4C, 0x41, 0x62, 0x03, 0x82, 0x04, 0x00])
KEY_RECORD_BASE = 28
REPORT_SIZE = 65
# The output reports of one apply of MAP: the query, three keys and the parameters, each a
# command and its data.
APPLY_REPORTS = 9


# --- Wine ---

def wine_environment(prefix, **extra):
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", **extra)
    # The command-line sessions need no display, and a desktop's would only slow them down.
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    return env


# --- inside the emulator ---

def run_session(plan_file):
    with open(plan_file) as f:
        plan = json.load(f)
    results = []
    for command in plan["commands"]:
        # Into files, not pipes: a pipe is read to its end, which under Wine comes seconds after
        # the program has ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            start = time.monotonic()
            try:
                status = subprocess.run(command["argv"], cwd=plan["cwd"], stdout=out, stderr=err,
                                        timeout=command.get("timeout", COMMAND_TIMEOUT)).returncode
            except subprocess.TimeoutExpired:
                status = None
            seconds = time.monotonic() - start
            out.seek(0)
            err.seek(0)
            results.append({"name": command["name"], "status": status, "seconds": seconds,
                            "stdout": out.read().decode("utf-8", errors="replace"),
                            "stderr": err.read().decode("utf-8", errors="replace")})
    with open(plan["results"], "w") as f:
        json.dump(results, f, ensure_ascii=False, indent=1)
    return 0


# --- one session on both systems ---

class Session:
    """Modules on a schedule (tavrin-wine-bed's --module values) and tavrin-cli commands; probe
    is the Windows session's warm-up: "query" lists, opens and queries, "list" only lists."""

    def __init__(self, modules, commands, probe=None, reference=True):
        self.modules = modules
        self.commands = commands
        self.probe = probe
        self.reference = reference  # also run with the Linux program, to compare


SESSIONS = {
    "one_module": Session(["EMU0001,0"], [
        ["list"], ["info"], ["info", "--json"], ["write", "KEY-1", "CTRL+ALT+DEL"], ["apply", "map.txt", "--verify"],
        ["dump", "dump.txt"], ["params", "--debounce", "20"], ["dump", "-"], ["reset", "1"],
    ], probe="query"),
    # Plugged in a few seconds after the session started, while info waits.
    "arrival": Session(["EMU0001,6"], [["info", "--wait=30"]], reference=False),
    # Module after module: each pulled out a second after its map is written, once the program
    # has let go of it, the next plugged in a second later.
    "each": Session([f"EMU0001,0,#{APPLY_REPORTS}+1", f"EMU0002,+1,#{APPLY_REPORTS}+1"],
                    [["apply", "map.txt", "--each", "--count", "2", "--log", "line.jsonl"]], probe="list"),
    # Pulled out between a key's command and its data.
    "pulled": Session(["EMU0001,0,#4"], [["apply", "map.txt"], ["info"]], probe="list", reference=False),
}


def in_bed(args, session, work, argv_of, env, probe):
    """Runs the session's commands inside the emulator; returns (results, reports and memory by serial)."""
    records = os.path.join(work, "records")
    shutil.rmtree(records, ignore_errors=True)
    os.makedirs(records)
    commands = [{"name": " ".join(command), "argv": argv_of(command)} for command in session.commands]
    if probe:
        commands.insert(0, {"name": "probe", "argv": probe})
    plan = {"cwd": work, "results": os.path.join(work, "results.json"), "commands": commands}
    with open(os.path.join(work, "plan.json"), "w") as f:
        json.dump(plan, f)
    bed = ["umockdev-wrapper", args.bed, "--records", records]
    for module in session.modules:
        bed += ["--module", module]
    bed += ["--", sys.executable, os.path.abspath(__file__), "run-session", os.path.join(work, "plan.json")]
    # A group of its own, so that a session that hangs goes whole, Wine with it.
    process = subprocess.Popen(bed, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, start_new_session=True)
    try:
        _, errors = process.communicate(timeout=SESSION_TIMEOUT)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        if "WINEPREFIX" in env:
            subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        raise SystemExit(f"the session did not end within {SESSION_TIMEOUT} s; its files are in {work}")
    if process.returncode != 0:
        raise SystemExit(f"the emulator failed ({process.returncode}): {errors.decode(errors='replace')}")
    with open(plan["results"]) as f:
        results = json.load(f)
    modules = {}
    for name in sorted(os.listdir(records)):
        serial, kind = name.rsplit(".", 1)
        with open(os.path.join(records, name)) as f:
            lines = [bytes.fromhex(line) for line in f.read().split()]
        modules.setdefault(serial, {})[kind] = lines if kind == "reports" else lines[0]
    return results, modules


def prepare_work(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with open(os.path.join(folder, "map.txt"), "w", newline="\n") as f:
        f.write(MAP)
    return folder


def windows_programs(args, work):
    """The program with what it finds beside it (DLLs, the settings file, translations), copied into
    a folder of the session's own with the stand-in cfgmgr32.dll: Wine prefers its own copy in the
    system folder to one found on the path, and the programs' own folder stays as users get it."""
    folder = os.path.join(work, "bin")
    os.makedirs(folder)
    for name in os.listdir(args.bin):
        source = os.path.join(args.bin, name)
        if name == "translations":
            shutil.copytree(source, os.path.join(folder, name))
        elif name == "tavrin-cli.exe" or name.endswith((".dll", ".ini")):
            try:
                os.link(source, os.path.join(folder, name))
            except OSError:
                shutil.copy2(source, folder)
    for name in os.listdir(args.stand_in):
        shutil.copy2(os.path.join(args.stand_in, name), folder)
    return folder


NODE = re.compile(r"/dev/hidraw\d+|\\\\\\\\\?\\\\hid#[^\s\"]+|\\\\\?\\hid#[^\s\"（）)]+", re.IGNORECASE)


def same_text(text):
    """A program's words with the system's own parts made alike: node paths and line ends."""
    return NODE.sub("<node>", text.replace("\r\n", "\n"))


def writes(reports):
    """The memory writes a module received: (address, data) for each write command and its data."""
    found = []
    for command, data in zip(reports, reports[1:]):
        if command[1:4] == b"SBC" and command[8] == 0x03:
            length = int.from_bytes(command[4:8], "little")
            address = int.from_bytes(command[12:16], "big")
            found.append((address, data[1:length]))  # the length counts the data's report ID
    return found


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, condition, what):
        if not condition:
            self.failures.append(what)
        return condition


def check_one_module(c, ran, probe, linux, modules, reference, work):
    reports = modules["EMU0001"]["reports"]
    if probe:
        c.expect(probe["status"] == 0 and "interface 2 serial EMU0001" in probe["stdout"],
                 f"the harness itself failed (probe): {probe}")
        reports = reports[1:]  # after the probe's query
    c.expect(all(len(r) == REPORT_SIZE and r[0] == 0 for r in reports),
             "every output report is report ID 0 and 64 bytes")
    first = writes(reports)[:1]
    c.expect(first == [(KEY_RECORD_BASE, MAP_RECORDS[:3])], f"write KEY-1 CTRL+ALT+DEL wrote {first}")
    if reference:
        expected = reference["EMU0001"]["reports"]
        c.expect(reports == expected, "the module received byte for byte what it receives from the Linux program:\n"
                 + "\n".join(f"  {w.hex()}\n  {l.hex()}" for w, l in zip(reports, expected) if w != l)
                 + f"\n  ({len(reports)} reports, {len(expected)} from Linux)")
        c.expect(modules["EMU0001"]["memory"] == reference["EMU0001"]["memory"],
                 "the module's memory at the end is what the Linux program leaves")
    with open(os.path.join(work, "dump.txt"), encoding="utf-8", errors="replace") as f:
        dump = f.read()
    for line in ("KEY-1 = CTRL+ALT+DEL", "KEY-3 = GameKey4", "debounce = 25"):
        c.expect(line in dump.splitlines(), f"dump.txt has {line!r}:\n{dump}")
    info = json.loads(ran[2]["stdout"] or "null")
    c.expect(info and info.get("ok") is True and info.get("serial") == "EMU0001", f"info --json: {ran[2]['stdout']}")
    # The query goes to interface 2 (the module's second node), as a search opens it.
    c.expect(info and re.search(r"&mi_02#|^/dev/hidraw1$", str(info.get("node")), re.IGNORECASE),
             f"info --json opened interface 2: {ran[2]['stdout']}")
    c.expect("debounce = 20" in same_text(ran[7]["stdout"]).splitlines(), f"params --debounce 20: {ran[7]}")
    c.expect(modules["EMU0001"]["memory"][12] == 40, "reset 1 left the factory debounce time")


def check_arrival(c, ran, probe, linux, modules, reference, work):
    result = ran[0]
    c.expect(result["status"] == 0 and re.search(r"^接口：", result["stdout"], re.MULTILINE),
             f"info --wait=30 opened the module that came: {result}")
    c.expect(result["seconds"] < 25, f"info returned {result['seconds']:.1f} s after it started: the module "
             "plugged in a few seconds after the start was not taken when it came")
    c.expect(len(modules["EMU0001"]["reports"]) >= 1, "info queried the module that came")


def check_each(c, ran, probe, linux, modules, reference, work):
    out = same_text(ran[0]["stdout"])
    for number in (1, 2):
        c.expect(f"第 {number} 个模块：写入完成" in out, f"module {number} served:\n{out}")
    c.expect("共 2 个模块：完成 2 个，失败 0 个" in out, f"the summary:\n{out}")
    for serial in ("EMU0001", "EMU0002"):
        c.expect(bytes(modules[serial]["memory"][KEY_RECORD_BASE:KEY_RECORD_BASE + 9]) == MAP_RECORDS,
                 f"{serial} holds the map's key records")
    with open(os.path.join(work, "line.jsonl"), encoding="utf-8") as f:
        lines = [json.loads(line) for line in f if line.strip()]
    c.expect([line.get("serial") for line in lines] == ["EMU0001", "EMU0002"]
             and all(line.get("ok") is True and line.get("error_code") is None for line in lines),
             f"one log line a module, both good: {lines}")


def check_pulled(c, ran, probe, linux, modules, reference, work):
    apply, info = ran
    c.expect(apply["status"] == 5, f"apply on a module pulled mid-write fails as a failed write (5): {apply}")
    c.expect("KEY-2 写入失败" in apply["stderr"], f"apply says which key failed:\n{apply['stderr']}")
    c.expect(apply["seconds"] < 15, f"apply took {apply['seconds']:.1f} s to give up")
    c.expect(info["status"] == 3, f"info afterwards finds no module (3): {info}")
    c.expect(len(modules["EMU0001"]["reports"]) == 4, "the module received the reports up to the pull")


CHECKS = {"one_module": check_one_module, "arrival": check_arrival, "each": check_each, "pulled": check_pulled}


def run_cli(args):
    """Without --bin, the Linux program alone: a check of the emulator and of these checks."""
    if args.bin and not (args.prefix and args.stand_in):
        raise SystemExit("--bin needs --prefix and --stand-in")
    session = SESSIONS[args.session]
    base = os.path.abspath(args.work)
    linux, reference = [], None
    if session.reference or not args.bin:
        linux_work = prepare_work(os.path.join(base, "linux"))
        env = dict(os.environ)
        env.pop("WINEPREFIX", None)
        linux, reference = in_bed(args, session, linux_work, lambda command: [args.linux_cli] + command, env, None)
    if args.bin:
        work = prepare_work(os.path.join(base, "windows"))
        programs = windows_programs(args, work)
        probe = None
        if session.probe:
            probe = ["wine", os.path.join(programs, "tavrin-wine-probe.exe"), "20"]
            probe += ["list"] if session.probe == "list" else []
        env = wine_environment(args.prefix, WINEDLLOVERRIDES="cfgmgr32=n,b")
        results, modules = in_bed(args, session, work,
                                  lambda command: ["wine", os.path.join(programs, "tavrin-cli.exe")] + command, env,
                                  probe)
        probe, ran = (results[0], results[1:]) if probe else (None, results)
    else:
        work, probe, ran, modules, reference = linux_work, None, linux, reference, None
    c = Checks()
    for result in ran:
        c.expect(result["status"] is not None, f"{result['name']} did not end within {COMMAND_TIMEOUT} s")
    if reference and args.session in ("one_module", "each"):
        # The same words and statuses as the Linux program, but for the node paths.
        for result, on_linux in zip(ran, linux):
            for part in ("stdout", "stderr"):
                c.expect(same_text(result[part]) == same_text(on_linux[part]),
                         f"{result['name']}: {part} differs from the Linux program's:\n--- Windows\n{result[part]}"
                         f"\n--- Linux\n{on_linux[part]}")
            c.expect(result["status"] == on_linux["status"],
                     f"{result['name']}: status {result['status']}, on Linux {on_linux['status']}")
    CHECKS[args.session](c, ran, probe, linux, modules, reference, work)
    for failure in c.failures:
        print("FAILED:", failure)
    print(f"{args.session}: {len(c.failures)} failed; the sessions' files are in {base}")
    return 1 if c.failures else 0


# --- the window ---

def find_window(title, env):
    """The geometry (x, y, width, height) of the viewable window with this title, or None."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True, text=True).stdout
    for match in re.finditer(r"^\s*(0x[0-9a-f]+) \"(.*)\":", tree, re.MULTILINE):
        if match.group(2) != title:
            continue
        info = subprocess.run(["xwininfo", "-id", match.group(1)], env=env, capture_output=True, text=True).stdout
        if "Map State: IsViewable" not in info:
            continue
        value = {key: int(re.search(rf"{key}:\s+(-?\d+)", info).group(1))
                 for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")}
        return tuple(value.values())
    return None


def drawn(fb_file, geometry):
    """True when the window's rectangle holds more than a plain fill: its controls are drawn."""
    width, height = framebuffer_size(fb_file)
    x, y, w, h = geometry
    colours = set()
    top, bottom = max(y, 0), min(y + h, height)
    for row in framebuffer_rows(fb_file, 0, top, width, max(bottom - top, 0)):
        part = row[3 * max(x, 0):3 * min(x + w, width)]
        colours.update(part[i:i + 3] for i in range(0, len(part), 3 * 7))
        if len(colours) > 8:
            return True
    return False


def run_window(args):
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-fbdir", work,
                               "-nolisten", "tcp", "-noreset"], pass_fds=[write_end],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as displayfd:
        display = displayfd.readline().strip()
    env = wine_environment(args.prefix)
    env["DISPLAY"] = ":" + display
    env.pop("QT_QPA_PLATFORM", None)  # the tests' offscreen platform would show no window
    env.pop("WINEPATH", None)  # the program finds what it needs beside itself, as in the release
    demo = None
    try:
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        demo = subprocess.Popen(["wine", args.demo], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        deadline = time.monotonic() + args.limit
        geometry = None
        while time.monotonic() < deadline and demo.poll() is None:
            geometry = find_window(args.title, env)
            if geometry and drawn(os.path.join(work, "Xvfb_screen0"), geometry):
                print(f"window {args.title!r} shown and drawn at {geometry}")
                return 0
            time.sleep(0.5)
        shot = os.path.join(work, "window-not-found.png")
        screen = os.path.join(work, "Xvfb_screen0")
        width, height = framebuffer_size(screen)
        write_png(shot, width, height, framebuffer_rows(screen, 0, 0, width, height))
        state = f"ended with status {demo.returncode}" if demo.poll() is not None else "still running"
        found = f"shown at {geometry} but not drawn" if geometry else "not found"
        print(f"FAILED: the window {args.title!r} was {found} within {args.limit} s (the program is {state}); "
              f"the screen is in {shot}")
        return 1
    finally:
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        if demo and demo.poll() is None:
            os.killpg(demo.pid, signal.SIGKILL)
        server.terminate()
        server.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("run-session").add_argument("plan")
    cli = commands.add_parser("cli")
    cli.add_argument("session", choices=SESSIONS)
    for option in ("--bed", "--linux-cli", "--work"):
        cli.add_argument(option, required=True)
    cli.add_argument("--prefix")
    cli.add_argument("--bin")
    cli.add_argument("--stand-in")
    window = commands.add_parser("window")
    for option in ("--prefix", "--demo", "--title", "--work"):
        window.add_argument(option, required=True)
    window.add_argument("--limit", type=float, default=60)
    args = parser.parse_args()
    if args.command == "run-session":
        return run_session(args.plan)
    if args.command == "cli":
        return run_cli(args)
    return run_window(args)


if __name__ == "__main__":
    sys.exit(main())
