#!/usr/bin/env python3
"""A voice note played, then the program closed, under a private sound server.

Starts a PulseAudio server of its own (a null sink and a native socket in a
private XDG_RUNTIME_DIR, never the machine's server), then starts each
program RUNS times, JOBS at a time: the program's voice exit probe
(platform/voice_probe.h) asks the player for the output, plays a short
note and quits the program after a delay drawn from 0 to 600 ms, so the
program closes before, during and after the note. Every run must exit 0
having found the output and played the note; a run ended by a signal
(an abort inside the sound server's client library, say), a sanitizer's
report, another exit code or a hang is counted and its output kept.

The CI test runs a few of these per program (ctest); the stress run is
tools/voice-exit-stress, 2,000 per program. With --command, the arguments
are one command (the voice player's own tests) run once under the server,
with VOICE_TEST_SOUND_SERVER=1; it must exit 0 with at least one note
having reached the server. Exit 0 when every run was clean, 1 otherwise,
77 (a skip for ctest) only when the sound server cannot start.
"""

import argparse
import concurrent.futures
import math
import os
import random
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77


class ServerUnavailable(Exception):
    pass


PIPEWIRE_NULL_SINK = """context.objects = [
    { factory = adapter
        args = {
            factory.name = support.null-audio-sink
            node.name = "voice_test"
            node.description = "Null Output"
            media.class = Audio/Sink
            audio.position = [ FL FR ]
        }
    }
]
"""


class PrivateSoundServer:
    """A sound server for PulseAudio clients with one null sink, in a
    temporary folder of its own: PulseAudio itself, or ("pipewire")
    PipeWire with its session manager and its PulseAudio server on a
    private D-Bus session bus."""

    def __init__(self, kind="pulseaudio"):
        self.kind = kind
        needed = ["pulseaudio"] if kind == "pulseaudio" else ["pipewire", "wireplumber", "pipewire-pulse",
                                                              "dbus-run-session"]
        self.missing = [p for p in needed if shutil.which(p) is None]
        self.program = shutil.which(needed[0])
        self.root = None
        self.process = None
        self.log_path = None

    def __enter__(self):
        if self.missing:
            raise ServerUnavailable("%s not installed (Debian package %s)" % (
                ", ".join(self.missing), "pulseaudio" if self.kind == "pulseaudio" else "pipewire-pulse, wireplumber"))
        self.root = tempfile.mkdtemp(prefix="voice-sound-server-")
        if len(self.root) > 60:
            # A socket's path has room for 107 bytes.
            os.rmdir(self.root)
            self.root = tempfile.mkdtemp(prefix="voice-sound-server-", dir="/tmp")
        runtime = os.path.join(self.root, "runtime")
        home = os.path.join(self.root, "home")
        os.makedirs(runtime, mode=0o700)
        os.makedirs(home)
        self.socket_path = os.path.join(runtime, "pulse", "native")
        self.client_config = os.path.join(self.root, "client.conf")
        with open(self.client_config, "w") as f:
            f.write("autospawn = no\n")
        env = dict(os.environ)
        # Nothing of the session: no X display to publish on, no D-Bus to
        # register with, no user configuration.
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "PULSE_SERVER"):
            env.pop(name, None)
        env.update(HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_STATE_HOME=os.path.join(home, ".state"), PULSE_CLIENTCONFIG=self.client_config)
        self.log_path = os.path.join(self.root, "server.log")
        if self.kind == "pulseaudio":
            command = [self.program, "-n", "--daemonize=no", "--use-pid-file=no", "--exit-idle-time=-1",
                       "--disallow-exit=no", "--log-target=stderr", "--log-level=info",
                       "-L", "module-null-sink sink_name=voice_test",
                       "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + self.socket_path]
        else:
            conf = os.path.join(env["XDG_CONFIG_HOME"], "pipewire", "pipewire.conf.d")
            os.makedirs(conf)
            with open(os.path.join(conf, "voice-test-null-sink.conf"), "w") as f:
                f.write(PIPEWIRE_NULL_SINK)
            command = ["dbus-run-session", "--", "sh", "-c",
                       "pipewire & sleep 0.3; wireplumber & sleep 0.3; pipewire-pulse & wait"]
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=log,
                                            stderr=subprocess.STDOUT, start_new_session=True)
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                log = self.Log()
                self.__exit__(None, None, None)
                raise ServerUnavailable("pulseaudio exited with %s at start:\n%s" % (self.process.returncode, log))
            if self._accepts() and self._hasSink():
                return self
            time.sleep(0.05)
        self.__exit__(None, None, None)
        raise ServerUnavailable("pulseaudio did not open its socket within 15 s")

    def _accepts(self):
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
            try:
                s.connect(self.socket_path)
                return True
            except OSError:
                return False

    def _hasSink(self):
        # PipeWire's session manager makes the sink known a moment after the
        # socket opens.
        if self.kind == "pulseaudio" or shutil.which("pactl") is None:
            return True
        env = dict(os.environ, **self.ClientEnvironment())
        done = subprocess.run(["pactl", "list", "short", "sinks"], env=env, capture_output=True, text=True)
        return "voice_test" in done.stdout

    def ClientEnvironment(self):
        """What a client needs to find this server and no other."""
        return {"XDG_RUNTIME_DIR": os.path.dirname(os.path.dirname(self.socket_path)),
                "PULSE_SERVER": "unix:" + self.socket_path, "PULSE_CLIENTCONFIG": self.client_config}

    def Log(self):
        try:
            with open(self.log_path, "rb") as f:
                return f.read().decode("utf-8", "replace")
        except OSError:
            return ""

    def StreamsCreated(self):
        """Playback streams the server has seen so far (PulseAudio's info
        log); None when the server does not say."""
        if self.kind != "pulseaudio":
            return None
        return len(re.findall(r"Created input \d+", self.Log()))

    def __exit__(self, *exc):
        if self.process is not None and self.process.poll() is None:
            # The server's own process group (PipeWire's are several).
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        if self.root is not None:
            shutil.rmtree(self.root, ignore_errors=True)
            self.root = None
        return False


def WriteNote(path, seconds=1.0, rate=16000):
    """A camera-like voice note: 16 kHz, 16-bit mono PCM, a 440 Hz tone."""
    frames = int(seconds * rate)
    samples = b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 440 * i / rate))) for i in range(frames))
    header = b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVEfmt " + struct.pack(
        "<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16) + b"data" + struct.pack("<I", len(samples))
    with open(path, "wb") as f:
        f.write(header + samples)


def SignalName(code):
    try:
        return signal.Signals(-code).name
    except ValueError:
        return "signal %d" % -code


def RunOnce(program, note, quit_ms, sandbox, server_env, timeout, display):
    """One start, note and close; (kind, detail) with kind "ok", "signal",
    "sanitizer", "exit", "silent" or "hang"."""
    for folder in ("home", "config", "data", "cache", "program", "tmp"):
        os.makedirs(os.path.join(sandbox, folder), exist_ok=True)
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    env.update(server_env)
    env.update(QT_QPA_PLATFORM="xcb", DISPLAY=display) if display else env.update(QT_QPA_PLATFORM="offscreen")
    env.update(HOME=os.path.join(sandbox, "home"),
               XDG_CONFIG_HOME=os.path.join(sandbox, "config"), XDG_DATA_HOME=os.path.join(sandbox, "data"),
               XDG_CACHE_HOME=os.path.join(sandbox, "cache"),
               KESTRELWORKS_PROGRAM_DIR=os.path.join(sandbox, "program"), TMPDIR=os.path.join(sandbox, "tmp"),
               KESTREL_VOICE_PROBE=note, KESTREL_VOICE_PROBE_QUIT_MS=str(quit_ms))
    try:
        done = subprocess.run([program], env=env, stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired as e:
        return "hang", "no exit within %d s\n%s" % (timeout, (e.stderr or b"").decode("utf-8", "replace"))
    out = done.stdout.decode("utf-8", "replace")
    err = done.stderr.decode("utf-8", "replace")
    detail = "exit %d, quit after %d ms\nstdout:\n%s\nstderr:\n%s" % (done.returncode, quit_ms, out, err)
    if done.returncode < 0:
        return "signal", SignalName(done.returncode) + ": " + detail
    if "Sanitizer" in err or "runtime error:" in err:
        return "sanitizer", detail
    if done.returncode != 0:
        return "exit", detail
    if "voice output 1 played 1" not in out:
        return "silent", detail
    return "ok", ""


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("programs", nargs="+", help="the programs to run (pagewright, heatshelf)")
    parser.add_argument("--command", action="store_true", help="run the arguments as one command, once")
    parser.add_argument("--runs", type=int, default=4, help="runs per program")
    parser.add_argument("--jobs", type=int, default=2, help="runs at a time")
    parser.add_argument("--max-quit-ms", type=int, default=600, help="longest delay before the program quits")
    parser.add_argument("--timeout", type=int, default=60, help="seconds one run may take")
    parser.add_argument("--keep", type=int, default=5, help="failed runs whose output is printed")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--display", help="an X display to show the programs on (offscreen without)")
    parser.add_argument("--server", choices=["pulseaudio", "pipewire"], default="pulseaudio",
                        help="the private sound server: PulseAudio, or PipeWire's server for its clients")
    args = parser.parse_args()
    rng = random.Random(args.seed)

    try:
        server = PrivateSoundServer(args.server).__enter__()
    except ServerUnavailable as e:
        print("SKIP: no private sound server could be started, so nothing was played: %s" % e)
        return SKIP
    if args.command:
        try:
            env = dict(os.environ, VOICE_TEST_SOUND_SERVER="1", **server.ClientEnvironment())
            code = subprocess.run(args.programs, env=env, stdin=subprocess.DEVNULL).returncode
            streams = server.StreamsCreated()
            print("%s: exit %d; %s playback streams reached the sound server" % (
                os.path.basename(args.programs[0]), code, "uncounted" if streams is None else streams))
            return 0 if code == 0 and streams != 0 else 1
        finally:
            server.__exit__(None, None, None)
    failed = 0
    try:
        work = tempfile.mkdtemp(prefix="voice-exit-")
        try:
            note = os.path.join(work, "note.wav")
            WriteNote(note)
            for program in args.programs:
                name = os.path.basename(program)
                counts = {}
                kept = []
                streams_before = server.StreamsCreated() or 0
                started = time.monotonic()
                with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
                    futures = [pool.submit(RunOnce, program, note, rng.randint(0, args.max_quit_ms),
                                           os.path.join(work, "%s-%d" % (name, i)), server.ClientEnvironment(),
                                           args.timeout, args.display) for i in range(args.runs)]
                    for i, future in enumerate(futures):
                        kind, detail = future.result()
                        counts[kind] = counts.get(kind, 0) + 1
                        if kind != "ok" and len(kept) < args.keep:
                            kept.append("%s run %d: %s" % (name, i, detail))
                        shutil.rmtree(os.path.join(work, "%s-%d" % (name, i)), ignore_errors=True)
                streams = server.StreamsCreated()
                streams = None if streams is None else streams - streams_before
                bad = args.runs - counts.get("ok", 0)
                print("%s (%s): %d runs in %.0f s, %d clean, %d failed (%s); %s playback streams reached the server" % (
                    name, args.server, args.runs, time.monotonic() - started, counts.get("ok", 0), bad,
                    ", ".join("%s %d" % (k, v) for k, v in sorted(counts.items()) if k != "ok") or "none",
                    "uncounted" if streams is None else streams))
                for text in kept:
                    print(text)
                if streams == 0 and counts.get("ok", 0) > 0:
                    print("%s: no note reached the sound server" % name)
                    bad += 1
                failed += bad
                sys.stdout.flush()
        finally:
            shutil.rmtree(work, ignore_errors=True)
    finally:
        if server.process.poll() is not None:
            print("the sound server died during the runs:\n" + server.Log())
            failed += 1
        server.__exit__(None, None, None)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
