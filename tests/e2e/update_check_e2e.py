#!/usr/bin/env python3
"""Update checks end to end: the real vel_upkeep.dll in the reference host under Wine,
talking over loopback HTTP to the real update server.

Usage: update_check_e2e.py WINE_RUN BIN_FOLDER UPDATE_SERVER WORK_FOLDER [unittest args]
"""
import os
import shutil
import socket
import stat
import struct
import subprocess
import sys
import threading
import time
import unittest
import uuid

WINE_RUN, BIN, SERVER, WORK = sys.argv[1:5]
HOST_NAME = "updates.tendwell.test"
PUBLIC_URL = "http://updates.tendwell.test/au"
KEYS = os.path.join(os.path.dirname(__file__), "..", "..", "server", "dev-keys")
PRIVATE_KEY = os.path.join(KEYS, "development-only-update-key-private.pem")
MENU = "Check for updates..."
HOUR = 36000000000

FAILED_BOX = ("[message box] Tendwell | 0x10 | Checking for updates failed.\\nCheck console "
              "(main menu > View > Console) for details. -> ok")

CATALOGUE_OUTDATED = """{"components":[
 {"fileName":"vel_upkeep.dll","name":"Tendwell","version":"2","versionDate":"2026-12-01",
  "author":"Tendwell developers","details":"<p>Faster checks.</p>","link":"http://example.invalid/u2.zip"},
 {"fileName":"VLHOST.EXE","name":"Vellora","version":"1.0.0"},
 {"fileName":"vel_porter.dll","name":"Send to Device","version":"1.2"},
 {"fileName":"shared.dll","name":"Shared helper library","version":"9","ignoreReason":"ships with the host"}]}"""
CATALOGUE_CURRENT = """{"components":[
 {"fileName":"vel_upkeep.dll","name":"Tendwell","version":"1"},
 {"fileName":"vel_porter.dll","name":"Send to Device","version":"1.1.2"}]}"""


def now_file_time():
    return int((time.time() + 11644473600) * 10_000_000)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def guid_bytes(text):
    return uuid.UUID(text).bytes_le


def record(guid, payload):
    return guid_bytes(guid) + struct.pack("<I", len(payload)) + payload


INTERVAL = "7EEE13A4-654B-4C14-AFE0-6CEC024839C1"
LAST_CHECK = "B45F74A9-A965-41E6-8E81-00B2119C095D"
HIDDEN = "1FB50F4F-1BD4-4F01-B065-D227F67FDA62"
CONSENT = "89CFC434-E4FB-4707-93EC-E868D2F1614A"


def upkeep_stream(interval=0, last_check=0, hidden=None, consent=0):
    """The notifier's stored variables (the order does not matter when reading)."""
    hidden = hidden or {}
    texts = b"".join(struct.pack("<I", len(k.encode())) + k.encode() + struct.pack("<I", len(v.encode())) + v.encode()
                     for k, v in sorted(hidden.items()))
    return (record(CONSENT, struct.pack("<i", consent)) +
            record(HIDDEN, struct.pack("<I", len(hidden)) + texts) +
            record(LAST_CHECK, struct.pack("<Q", last_check)) +
            record(INTERVAL, struct.pack("<i", interval)))


def read_upkeep_stream(data):
    """Answers {guid text: payload} of a stored stream."""
    out, pos = {}, 0
    while pos + 20 <= len(data):
        guid = str(uuid.UUID(bytes_le=data[pos:pos + 16])).upper()
        size = struct.unpack("<I", data[pos + 16:pos + 20])[0]
        out[guid] = data[pos + 20:pos + 20 + size]
        pos += 20 + size
    return out


def read_hidden(payload):
    count, pos, result = struct.unpack("<I", payload[:4])[0], 4, {}
    for _ in range(count):
        n = struct.unpack("<I", payload[pos:pos + 4])[0]
        key = payload[pos + 4:pos + 4 + n].decode()
        pos += 4 + n
        n = struct.unpack("<I", payload[pos:pos + 4])[0]
        result[key] = payload[pos + 4:pos + 4 + n].decode()
        pos += 4 + n
    return result


class UpdateServer:
    """The real update server on a free loopback port."""

    def __init__(self, folder, catalogue, fault=None, message=None, key=PRIVATE_KEY):
        os.makedirs(folder, exist_ok=True)
        self.db = os.path.join(folder, "catalogue.db")
        if os.path.exists(self.db):
            os.remove(self.db)
        with open(os.path.join(folder, "catalogue.json"), "w") as f:
            f.write(catalogue)
        subprocess.run([SERVER, "catalogue", "import", "--db", self.db, "--from",
                        os.path.join(folder, "catalogue.json")], check=True, capture_output=True)
        args = [SERVER, "serve", "--db", self.db, "--key", key, "--public-url", PUBLIC_URL, "--port", "0"]
        if fault:
            args += ["--test-fault", fault]
        if message:
            args += ["--message", message]
        self.process = subprocess.Popen(args, stderr=subprocess.PIPE, text=True)
        self.log = []
        line = self.process.stderr.readline()
        self.log.append(line)
        self.port = int(line.split('"detail":"127.0.0.1:')[1].split(",")[0])
        self.reader = threading.Thread(target=self._read_log, daemon=True)
        self.reader.start()

    def _read_log(self):
        for line in self.process.stderr:
            self.log.append(line)

    def requests(self):
        return sum('"path":"/au"' in line for line in self.log)

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        self.reader.join(timeout=10)
        self.process.stderr.close()


class StallingServer:
    """Accepts connections and never answers: a check against it only ends by abort."""

    def __init__(self):
        self.socket = socket.socket()
        self.socket.bind(("127.0.0.1", 0))
        self.socket.listen(5)
        self.port = self.socket.getsockname()[1]
        self.connections = []
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        while True:
            try:
                connection, _ = self.socket.accept()
            except OSError:
                return
            self.connections.append(connection)

    def stop(self):
        self.socket.close()
        for c in self.connections:
            c.close()


def run_host(profile, port, *actions, stream=None, components=None, extra=(), timeout=120):
    """Runs vlhost.exe once; answers (exit code, console lines, stored notifier stream)."""
    os.makedirs(os.path.join(profile, "configuration"), exist_ok=True)
    stored = os.path.join(profile, "configuration", "vel_upkeep.dll.cfg")
    if stream is not None:
        with open(stored, "wb") as f:
            f.write(stream)
    args = [WINE_RUN, os.path.join(BIN, "vlhost.exe"), "--profile", windows_path(profile), "--hidden", "--stdout",
            "--resolve", f"{HOST_NAME}:80=127.0.0.1:{port}", *extra]
    if components:
        args += ["--components", windows_path(components)]
    result = subprocess.run(args + list(actions) + ["--quit"], capture_output=True, text=True, timeout=timeout)
    lines = [line.rstrip("\r") for line in result.stdout.splitlines()]
    with open(stored, "rb") as f:
        after = read_upkeep_stream(f.read())
    return result.returncode, lines, after


def now_filetime():
    """The current time as a Windows file time (100 ns units since 1601)."""
    return int((time.time() + 11644473600) * 10_000_000)


class UpdateCheckTests(unittest.TestCase):
    counter = 0

    def profile(self):
        UpdateCheckTests.counter += 1
        path = os.path.join(WORK, f"profile-{UpdateCheckTests.counter}")
        shutil.rmtree(path, ignore_errors=True)
        return path

    def server(self, catalogue=CATALOGUE_OUTDATED, **options):
        UpdateCheckTests.counter += 1
        s = UpdateServer(os.path.join(WORK, f"server-{UpdateCheckTests.counter}"), catalogue, **options)
        self.addCleanup(s.stop)
        return s

    def manual_check(self, server_port, stream, *answers, wait_for="[Autoupdate] "):
        answer_args = [a for answer in answers for a in ("--answer", answer)]
        return run_host(self.profile(), server_port, "--menu", MENU, "--wait-console", wait_for,
                        stream=stream, extra=answer_args + ["--script-dialogs"])

    def assert_line(self, lines, line):
        self.assertIn(line, lines, "\n".join(lines))

    def checks_in(self, lines):
        return [line for line in lines if line.startswith("[Autoupdate] ")]

    def test_manual_check_summaries(self):
        server = self.server()
        cases = [
            ({}, "[Autoupdate] 2 updated component(s) found.", {}),
            ({"vel_upkeep.dll": "2"}, "[Autoupdate] 2 updated component(s) found, 1 hidden.", {"vel_upkeep.dll": "2"}),
            ({"vel_upkeep.dll": "1.9", "gone.dll": "1"},
             "[Autoupdate] 2 updated component(s) found. 2 hidden update(s) no longer offered were removed.", {}),
        ]
        for hidden, line, kept in cases:
            with self.subTest(hidden=hidden):
                started = now_filetime()
                code, lines, after = self.manual_check(server.port, upkeep_stream(hidden=hidden))
                self.assertEqual(0, code)
                self.assertEqual([line], self.checks_in(lines))
                self.assertEqual(kept, read_hidden(after[HIDDEN]))
                # A manual check opens the list in front of the user, which counts as the
                # check being seen: the time taken when the list opened is recorded.
                recorded = struct.unpack("<Q", after[LAST_CHECK])[0]
                self.assertLessEqual(started - 10_000_000, recorded)
                self.assertLessEqual(recorded, now_filetime() + 10_000_000)

    def test_nothing_to_show_asks_and_records_the_check(self):
        cases = [
            (CATALOGUE_OUTDATED, {"vel_upkeep.dll": "2", "vel_porter.dll": "1.2"},
             "[Autoupdate] 2 updated component(s) found, all hidden.",
             "[message box] Tendwell | 0x144 | All components are either up to date, not known by the server, or you "
             "have hidden the new versions previously, so there is nothing to show.\\nWould you like to see the full "
             "components list anyway? -> no"),
            (CATALOGUE_CURRENT, {}, "[Autoupdate] No updated components were found.",
             "[message box] Tendwell | 0x144 | All components are up to date or not known by the server, so there is "
             "nothing to show.\\nWould you like to see the full components list anyway? -> no"),
        ]
        for catalogue, hidden, line, question in cases:
            with self.subTest(line=line):
                server = self.server(catalogue)
                before = now_file_time()
                code, lines, after = self.manual_check(server.port, upkeep_stream(hidden=hidden), "no")
                self.assertEqual([line], self.checks_in(lines))
                self.assert_line(lines, question)
                self.assertGreaterEqual(struct.unpack("<Q", after[LAST_CHECK])[0], before - HOUR)

    def test_server_message_is_shown(self):
        server = self.server(message="Maintenance tonight.")
        code, lines, _ = self.manual_check(server.port, upkeep_stream(), wait_for="[message box]")
        self.assert_line(lines, "[message box] Tendwell | 0x30 | The server sent you an additional message:\\n\\n"
                                "Maintenance tonight. -> ok")

    def test_refused_answers(self):
        cases = [
            ("altered-body", "[Autoupdate] I/O error: Invalid content signature."),
            ("no-signature", "[Autoupdate] I/O error: Content signature not found."),
            ("short-signature", "[Autoupdate] I/O error: Invalid content signature."),
            ("key-without-url", "[Autoupdate] I/O error: Invalid content key."),
            ("version-0.9", "[Autoupdate] Invalid version - client too new?"),
            ("version-2.0", "[Autoupdate] Invalid version - client too old, update."),
            ("entry-state-4", "[Autoupdate] Data processing error: Invalid entry state."),
            ("http-500", "[Autoupdate] I/O error: HTTP error 500 Internal Server Error"),
        ]
        for fault, line in cases:
            with self.subTest(fault=fault):
                server = self.server(fault=fault)
                # The failure box follows the console line, when the main thread has the check back.
                code, lines, after = self.manual_check(server.port, upkeep_stream(), wait_for="[message box]")
                self.assertEqual([line], self.checks_in(lines))
                self.assert_line(lines, FAILED_BOX)
                self.assertEqual(0, struct.unpack("<Q", after[LAST_CHECK])[0])

    def test_answer_signed_with_another_key_is_refused(self):
        keys = os.path.join(WORK, "other-key")
        shutil.rmtree(keys, ignore_errors=True)
        os.makedirs(keys)
        subprocess.run([SERVER, "keygen", "--out", keys, "--prefix", "other"], check=True, capture_output=True)
        server = self.server(key=os.path.join(keys, "other-private.pem"))
        code, lines, _ = self.manual_check(server.port, upkeep_stream())
        self.assertEqual(["[Autoupdate] I/O error: Invalid content signature."], self.checks_in(lines))

    def test_server_down(self):
        free = socket.socket()
        free.bind(("127.0.0.1", 0))
        port = free.getsockname()[1]
        free.close()
        code, lines, _ = self.manual_check(port, upkeep_stream(), wait_for="[message box]")
        checks = self.checks_in(lines)
        self.assertEqual(1, len(checks), "\n".join(lines))
        self.assertTrue(checks[0].startswith(f"[Autoupdate] I/O error: HTTP request to {PUBLIC_URL} failed: "), checks[0])
        self.assert_line(lines, FAILED_BOX)

    def test_answer_inflating_to_ten_times_its_size_is_accepted(self):
        server = self.server(fault="inflate-padding")
        code, lines, _ = self.manual_check(server.port, upkeep_stream())
        self.assertEqual(["[Autoupdate] 2 updated component(s) found."], self.checks_in(lines))

    def test_menu_entry_while_a_check_runs(self):
        server = self.server()
        code, lines, _ = run_host(self.profile(), server.port, "--menu-state", MENU, "--menu", MENU, "--menu-state",
                                  MENU, "--menu", MENU, "--wait-console", "[Autoupdate] ", "--menu-state", MENU,
                                  stream=upkeep_stream())
        menu_lines = [line for line in lines if line.startswith("Menu: ")]
        self.assertEqual(["Menu: Check for updates... [enabled]",
                          "Menu: Check for updates... (in progress) [disabled]",
                          "Menu: Check for updates... [enabled]"], menu_lines)
        # Picking the entry again during the check started nothing.
        self.assertEqual(1, server.requests())

    def test_automatic_check_decisions(self):
        now = now_file_time()
        cases = [
            ("never", upkeep_stream(interval=0), False),
            ("no check yet", upkeep_stream(interval=24), True),
            ("due", upkeep_stream(interval=24, last_check=now - 25 * HOUR), True),
            ("not due", upkeep_stream(interval=24, last_check=now - HOUR), False),
            ("last check in the future", upkeep_stream(interval=24, last_check=now + HOUR), True),
        ]
        server = self.server(CATALOGUE_CURRENT)
        for what, stream, due in cases:
            with self.subTest(what=what):
                before = server.requests()
                wait = ["--wait-console", "[Autoupdate] "] if due else ["--wait", "2000"]
                code, lines, after = run_host(self.profile(), server.port, *wait, stream=stream,
                                              extra=["--script-dialogs"])
                self.assertEqual(0, code, "\n".join(lines))
                if due:
                    self.assertEqual(["[Autoupdate] No updated components were found."], self.checks_in(lines))
                    # An automatic check asks nothing and records itself.
                    self.assertFalse([line for line in lines if line.startswith("[message box]")])
                    self.assertGreater(struct.unpack("<Q", after[LAST_CHECK])[0], now - HOUR)
                else:
                    self.assertEqual([], self.checks_in(lines))
                self.assertEqual(before + (1 if due else 0), server.requests())

    def test_skip_flag_skips_the_start_up_work(self):
        server = self.server(CATALOGUE_CURRENT)
        code, lines, _ = run_host(self.profile(), server.port, "--wait", "2000", stream=upkeep_stream(interval=24),
                                  extra=["--skip-startup"])
        self.assertEqual([], self.checks_in(lines))
        self.assertEqual(0, server.requests())

    def test_read_only_component_file_disables_periodic_checks(self):
        components = os.path.join(WORK, "read-only-components")
        shutil.rmtree(components, ignore_errors=True)
        shutil.copytree(os.path.join(BIN, "components"), components)
        upkeep = os.path.join(components, "vel_upkeep.dll")
        os.chmod(upkeep, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        server = self.server()
        code, lines, _ = run_host(self.profile(), server.port, "--wait", "1500", "--menu", MENU, "--wait-console",
                                  "[Autoupdate] 2", stream=upkeep_stream(interval=24), components=components)
        self.assertEqual(["[Autoupdate] Component file is read-only, periodic automatic updating is disabled.",
                          "[Autoupdate] 2 updated component(s) found."], self.checks_in(lines))
        self.assertEqual(1, server.requests())

    def test_stopping_the_host_aborts_a_running_check(self):
        stalling = StallingServer()
        self.addCleanup(stalling.stop)
        started = time.monotonic()
        code, lines, after = run_host(self.profile(), stalling.port, "--menu", MENU, "--wait", "1000",
                                      stream=upkeep_stream(), extra=["--script-dialogs"])
        self.assertEqual(0, code)
        self.assertEqual(["[Autoupdate] User abort"], self.checks_in(lines))
        self.assertLess(time.monotonic() - started, 25)
        self.assertEqual(0, struct.unpack("<Q", after[LAST_CHECK])[0])


if __name__ == "__main__":
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + sys.argv[5:], verbosity=2)
