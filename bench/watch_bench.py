#!/usr/bin/env python3
"""Measures quillet-convert watch:

  latency   from a report's last write to its document on disk (settle time
            included), over several reports written one after the other
  burst     1,000 reports dropped at once: from the last write to the last
            document, against `quillet-convert all` on the same reports
  idle      CPU time the idle watcher uses per second (all its threads,
            from /proc/<pid>/task/*/schedstat)
  memory    resident memory (VmRSS, VmHWM) while N reports arrive in rounds
            of 1,000 and are removed once converted, as the temporary folder's
            cleaning would

  bench/watch_bench.py [--binary PATH] [--arrivals N] [--settle MS] [--runs N]

Without --binary it uses build-release/src/cli/quillet-convert (build it as
bench/README.md shows). Everything happens in a temporary folder.
"""
import argparse
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def report(student, extra=b""):
    body = b"".join(b"Line %d with ~BiuL12~bold~biuL12~ words and\ttabs.\r\n" % i
                    for i in range(150))
    return (b"@\r\n~biuC18~\r\nOrvella Analysis Report for student " + student +
            b"\r\n~biuL12~\r\n" + body + extra)


class Workspace:
    def __init__(self, root):
        self.root = root
        self.orvella = os.path.join(root, "orvella") + "/"
        self.fennick = os.path.join(root, "fennick") + "/"
        self.html = os.path.join(root, "html") + "/"
        for folder in (self.orvella, self.fennick, self.html, os.path.join(root, "data")):
            os.makedirs(folder, exist_ok=True)
        self.ini = os.path.join(root, "quillet.ini")
        with open(self.ini, "w") as ini:
            ini.write("[Options]\nOrvella=%s\nFennick=%s\nHTML%%20Reports=%s\n"
                      "Convert%%20Option=0\nFennick%%20Choice=0\n"
                      % (self.orvella, self.fennick, self.html))
        self.env = dict(os.environ, HOME=os.path.join(root, "data"),
                        XDG_CONFIG_HOME=os.path.join(root, "data"),
                        XDG_DATA_HOME=os.path.join(root, "data"))

    def clear_html(self):
        shutil.rmtree(self.html)
        os.makedirs(self.html)


class Watcher:
    """quillet-convert watch --json; counts its rows as they come."""

    def __init__(self, binary, ws, settle):
        self.rows = 0
        self.cond = threading.Condition()
        self.proc = subprocess.Popen(
            [binary, "watch", "--settings", ws.ini, "--json", "--settle", str(settle)],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=ws.env)
        self.ready = threading.Event()
        threading.Thread(target=self._read_out, daemon=True).start()
        threading.Thread(target=self._read_err, daemon=True).start()
        if not self.ready.wait(30):
            sys.exit("watch did not start")

    def _read_out(self):
        for line in self.proc.stdout:
            json.loads(line)
            with self.cond:
                self.rows += 1
                self.cond.notify_all()

    def _read_err(self):
        for line in self.proc.stderr:
            if b"watching the Orvella folder" in line:
                self.ready.set()

    def wait_rows(self, n, limit=600):
        with self.cond:
            if not self.cond.wait_for(lambda: self.rows >= n, limit):
                sys.exit("only %d of %d rows came" % (self.rows, n))

    def cpu_ns(self):
        total = 0
        task = "/proc/%d/task" % self.proc.pid
        for tid in os.listdir(task):
            with open(os.path.join(task, tid, "schedstat")) as f:
                total += int(f.read().split()[0])
        return total

    def memory_kb(self):
        values = {}
        with open("/proc/%d/status" % self.proc.pid) as f:
            for line in f:
                key, _, rest = line.partition(":")
                if key in ("VmRSS", "VmHWM"):
                    values[key] = int(rest.split()[0])
        return values

    def stop(self):
        self.proc.send_signal(signal.SIGTERM)
        return self.proc.wait(60)


def write_at_once(path, data):
    with open(path, "wb") as f:
        f.write(data)


def drop(folder, name, data):
    """Puts a report into folder whole, as a program renaming its output would."""
    staging = os.path.join(os.path.dirname(folder.rstrip("/")), ".staging-" + name)
    write_at_once(staging, data)
    os.rename(staging, folder + name)


def latency(binary, ws, settle, count=10):
    watcher = Watcher(binary, ws, settle)
    times = []
    for i in range(count):
        document = os.path.join(ws.html, "3%07d" % i, "Analysis.htm")
        path = ws.orvella + "~drntrpa%05d.tmp" % i
        data = report(b"3%07d" % i)
        with open(path, "wb") as f:
            f.write(data[: len(data) // 2])
            f.flush()
            time.sleep(0.1)  # a writer that pauses
            f.write(data[len(data) // 2:])
        last_write = time.monotonic()
        while not os.path.exists(document):
            time.sleep(0.001)
        times.append((time.monotonic() - last_write) * 1000)
    watcher.stop()
    return times


def burst(binary, ws, settle, count=1000):
    """The reports are written aside first, then all renamed into the folder."""
    staging = os.path.join(ws.root, "staging") + "/"
    os.makedirs(staging)
    names = ["~drntrpa%05d.tmp" % i for i in range(count)]
    for i, name in enumerate(names):
        write_at_once(staging + name, report(b"4%07d" % i))
    watcher = Watcher(binary, ws, settle)
    start = time.monotonic()
    for name in names:
        os.rename(staging + name, ws.orvella + name)
    dropped = time.monotonic() - start
    watcher.wait_rows(count)
    watched = time.monotonic() - start
    watcher.stop()

    ws.clear_html()
    start = time.monotonic()
    subprocess.run([binary, "all", "--settings", ws.ini], env=ws.env, check=True,
                   stdout=subprocess.DEVNULL)
    batch = time.monotonic() - start
    for name in names:
        os.remove(ws.orvella + name)
    os.rmdir(staging)
    return dropped, watched, batch


def idle(binary, ws, settle, seconds=10):
    watcher = Watcher(binary, ws, settle)
    time.sleep(1)
    before = watcher.cpu_ns()
    time.sleep(seconds)
    used = watcher.cpu_ns() - before
    watcher.stop()
    return used / 1e6 / seconds


def memory(binary, ws, settle, arrivals, round_size=1000):
    watcher = Watcher(binary, ws, settle)
    samples = []
    done = 0
    while done < arrivals:
        names = []
        for i in range(done, min(done + round_size, arrivals)):
            name = "~drntrpa%06d.tmp" % i
            drop(ws.orvella, name, report(b"5%07d" % (i % 1000)))
            names.append(name)
        done += len(names)
        watcher.wait_rows(done)
        for name in names:
            os.remove(ws.orvella + name)
        if done % (arrivals // 10 or 1) == 0 or done == arrivals:
            samples.append((done, watcher.memory_kb()))
    watcher.stop()
    return samples


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--binary",
                        default=os.path.join(ROOT, "build-release", "src", "cli",
                                             "quillet-convert"))
    parser.add_argument("--arrivals", type=int, default=100000)
    parser.add_argument("--settle", type=int, default=1000)
    parser.add_argument("--runs", type=int, default=5, help="runs of the burst")
    args = parser.parse_args()
    if not os.access(args.binary, os.X_OK):
        sys.exit("no quillet-convert at %s (see bench/README.md)" % args.binary)

    with tempfile.TemporaryDirectory(prefix="watch-bench-") as root:
        ws = Workspace(root)
        times = latency(args.binary, ws, args.settle)
        print("latency, last write to document (settle %d ms): median %.0f ms, max %.0f ms"
              % (args.settle, statistics.median(times), max(times)))
        ws.clear_html()
        runs = []
        for _ in range(args.runs):
            runs.append(burst(args.binary, ws, args.settle))
            ws.clear_html()
        watched = statistics.median(r[1] for r in runs)
        batch = statistics.median(r[2] for r in runs)
        print("1,000 reports renamed in at once (medians of %d): all converted %.2f s after the "
              "first, %.2f s beyond the settle time; all on the same reports %.2f s"
              % (args.runs, watched, watched - args.settle / 1000, batch))
        ws.clear_html()
        print("idle CPU: %.3f ms per second" % idle(args.binary, ws, args.settle))
        ws.clear_html()
        samples = memory(args.binary, ws, 100, args.arrivals)
        for done, kb in samples:
            print("after %6d arrivals: VmRSS %5.1f MB, VmHWM %5.1f MB"
                  % (done, kb["VmRSS"] / 1024, kb["VmHWM"] / 1024))


if __name__ == "__main__":
    main()
