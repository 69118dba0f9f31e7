#!/usr/bin/env bash
# Measures quillet-convert against programs that do comparable work on the
# same bytes, and prints the figures side by side with their ratios:
#   engine     a 50 MB report-like file: quillet-convert on a folder holding
#              it, cmark on the same text, cat of it (the read bound)
#   batch      5,000 reports of about 8 KB: quillet-convert vs cp -r; and
#              50,000 such reports against ten times the 5,000 figure
#   catalogue  20,000 documents in 2,000 sub-folders: quillet-convert list
#              vs find -printf
#   memory     peak resident size of quillet-convert on the 50 MB report and
#              on a report that is one 100 MB line of blanks (600 MB out)
#   linearity  the pathological cases of engine_bench, pathological_bench
#              and document_text_bench: time at 10x the input over time at 1x
# (The search figures are bench/search_bench.sh's.)
# Inputs are generated deterministically (once, in build-release/compare/);
# each figure is the median of several runs. Release build in build-release/.
#   bench/compare.sh [--runs N] [--profile]
#     --profile   also record each quillet-convert figure with perf and print
#                 the functions that dominate it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/deps.sh
source "$root/scripts/deps.sh"

runs=5
profile=0
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift ;;
    --profile) profile=1 ;;
    -h|--help) sed -n '2,19p' "$0"; exit 0 ;;
    *) echo "bench/compare.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

extra=(cmark python3)
[ "$profile" = 1 ] && extra+=(linux-perf)
quillet_install_packages "${QUILLET_DEBIAN_PACKAGES[@]}" "${extra[@]}"

build="$root/build-release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_BUILD_GUI=OFF \
  -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target quillet-convert engine_bench pathological_bench document_text_bench \
  --parallel "$(nproc)" >/dev/null

exec python3 - "$build" "$runs" "$profile" <<'PY'
import json, os, shutil, statistics, subprocess, sys, time

build, runs, profile = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1"
work = os.path.join(build, "compare")
convert = os.path.join(build, "src", "cli", "quillet-convert")
GENERATOR_VERSION = "1"

# --- deterministic inputs -------------------------------------------------

class Dice:
    def __init__(self, seed=20240601):
        self.state = seed
    def next(self, below):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) % 2**64
        return (self.state >> 33) % below

WORDS = ("the student scored within average range for reading and showed strong "
         "reasoning skills but spelling was weaker than expected of a memory test "
         "results suggest extra time assessment coding speed verbal numeracy").split()
KEY = ("  SCALED SCORES      DESCRIPTOR       PERCENTILE RANKING\r\n"
       "    16 - 20            Strong              98% - 100%\r\n"
       "     8 - 12            Average             25% - 75%\r\n~biuL12~\r\n")

def prose(d):
    words = []
    for _ in range(6 + d.next(12)):
        w = WORDS[d.next(len(WORDS))]
        words.append("~BiuL12~%s~biuL12~" % w if d.next(10) == 0 else w)
    return " ".join(words) + "."

def report_text(size, student, d, title="Orvella Analysis Report"):
    parts = ["@\r\n~biuC18~\r\n%s for student %s\r\n~biuL12~\r\n" % (title, student)]
    total = len(parts[0])
    while total < size:
        r = d.next(20)
        if r == 0: s = "@\r\n"
        elif r == 1: s = "~BiuL12~\r\nAnalysis of Cognitive Tests\r\n~biuL12~\r\n"
        elif r == 2: s = "\tVerbal Reasoning\t\t12\r\n\tDescriptor\t\tAverage\r\nScore\t\t9\r\n"
        elif r == 3: s = KEY
        elif r == 4: s = "\r\n\r\n_1 internal note\r\n"
        elif r == 5: s = "   Indented    text  with   blank runs.\r\n"
        elif r == 6: s = "~V~- " + prose(d) + "\r\n"
        else: s = prose(d) + "\r\n"
        parts.append(s)
        total += len(s)
    return "".join(parts).encode("cp1252")

def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)

def settings(folder):
    path = os.path.join(folder, "quillet.ini")
    write(path, b"[Options]\nConvert%20Option=0\nFennick%20Choice=0\n")
    return path

def generate():
    stamp = os.path.join(work, "generated")
    if os.path.exists(stamp) and open(stamp).read() == GENERATOR_VERSION:
        return
    shutil.rmtree(work, ignore_errors=True)
    print("generating inputs in %s ..." % work, file=sys.stderr)
    d = Dice()
    write(os.path.join(work, "engine", "src", "~drntrpa0001.tmp"),
          report_text(50 * 1000 * 1000, "12345678", d))
    for i in range(2500):
        student = "%08d" % (20000000 + i)
        write(os.path.join(work, "batch", "src", "~drntrpa%05d.tmp" % i),
              report_text(8000, student, d))
        write(os.path.join(work, "batch", "src", "~drntrpd%05d.tmp" % i),
              report_text(8000, student, d, "Orvella Dyslexia Report"))
    doc = b"<HTML>\r\n" + b"x" * 1000 + b"\r\n</HTML>\r\n"
    for f in range(2000):
        folder = os.path.join(work, "catalogue", "html", "%08d" % (30000000 + f))
        for name in ["Analysis.htm", "Dyslexia.htm"] + ["Letter %d.htm" % k for k in range(8)]:
            write(os.path.join(folder, name), doc)
    write(stamp, GENERATOR_VERSION.encode())

def generate_large_batch():
    """50,000 reports: the 5,000 of the batch, each again for nine more students."""
    folder = os.path.join(work, "batch50k", "src")
    stamp = os.path.join(work, "batch50k", "generated")
    if os.path.exists(stamp):
        return
    print("generating 50,000 reports in %s ..." % folder, file=sys.stderr)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    source = os.path.join(work, "batch", "src")
    for name in sorted(os.listdir(source)):
        data = open(os.path.join(source, name), "rb").read()
        student = data.split(b"for student ", 1)[1][:8]
        for copy in range(10):
            other = b"%08d" % (int(student) + copy * 100000)
            write(os.path.join(folder, name.replace(".tmp", "-%d.tmp" % copy)),
                  data.replace(b"for student " + student, b"for student " + other, 1))
    write(stamp, b"1")

# --- measuring ------------------------------------------------------------

env = dict(os.environ, HOME=os.path.join(work, "home"), XDG_DATA_HOME=os.path.join(work, "home"),
           XDG_CONFIG_HOME=os.path.join(work, "home"), TEMP=os.path.join(work, "home"),
           LC_ALL="C.UTF-8")

def run(cmd, stdout=subprocess.DEVNULL):
    subprocess.run(cmd, check=True, stdout=stdout, stderr=subprocess.DEVNULL, env=env)

def median_time(cmd, out=None, n=None):
    """cmd is a command, or a function giving the command of the i-th run."""
    times = []
    for i in range(n or runs):
        args = cmd(i) if callable(cmd) else cmd
        sink = open(out, "wb") if out else subprocess.DEVNULL
        start = time.perf_counter()
        run(args, stdout=sink)
        times.append(time.perf_counter() - start)
        if out:
            sink.close()
    return statistics.median(times)

# Each run of a batch writes into a folder of its own, removed only after
# every run of both sides: removing many files just before a run makes the
# file system skip their recently freed inodes when it allocates new ones,
# which would charge the removal to the next run.
scratch = []
def new_folder(name, i, create=True):
    folder = os.path.join(work, "scratch", "%s-%d" % (name, i))
    shutil.rmtree(folder, ignore_errors=True)
    if create:
        os.makedirs(folder)
    scratch.append(folder)
    return folder

generate()
os.makedirs(env["HOME"], exist_ok=True)

# Engine: one 50 MB report.
engine = os.path.join(work, "engine")
src = os.path.join(engine, "src", "~drntrpa0001.tmp")
size = os.path.getsize(src)
engine_cmd = [convert, "orvella", "--settings", settings(engine), "--orvella",
              os.path.join(engine, "src"), "--html", os.path.join(engine, "html"),
              "--existing", "overwrite"]
run(engine_cmd)  # warm: the folder and the document exist from here on
t_engine = median_time(engine_cmd)
t_cmark = median_time(["cmark", src], out=os.path.join(engine, "cmark.html"))
t_cat = median_time(["cat", src])
mb = size / 1e6

# Batch: 5,000 reports of about 8 KB.
batch = os.path.join(work, "batch")
batch_ini = settings(batch)
def batch_cmd(i):
    return [convert, "orvella", "--settings", batch_ini, "--orvella",
            os.path.join(batch, "src"), "--html", new_folder("html", i)]
shutil.rmtree(os.path.join(work, "scratch"), ignore_errors=True)
os.sync()
t_batch = median_time(batch_cmd)
t_cp = median_time(lambda i: ["cp", "-r", os.path.join(batch, "src"),
                              new_folder("copy", i, create=False)])

# Batch: 50,000 reports of about 8 KB, against ten times the 5,000 figure
# (before the folders of the runs above are removed, for the reason above).
generate_large_batch()
large = os.path.join(work, "batch50k")
large_ini = settings(large)
os.sync()
t_batch50k = median_time(lambda i: [convert, "orvella", "--settings", large_ini, "--orvella",
                                    os.path.join(large, "src"), "--html", new_folder("html50k", i)],
                         n=min(runs, 3))
for folder in scratch:
    shutil.rmtree(folder, ignore_errors=True)

# Memory: the peak resident size of one conversion (the largest of the runs).
def peak_rss_mb(cmd, n=None):
    peak = 0
    for _ in range(n or runs):
        child = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        _, _, usage = os.wait4(child.pid, 0)
        peak = max(peak, usage.ru_maxrss)
    return peak / 1024

line = os.path.join(work, "line")
line_src = os.path.join(line, "src", "~drntrpa0001.tmp")
if not os.path.exists(line_src):
    write(line_src, b"@\r\n" + b" " * (100 * 1000 * 1000) + b"\r\n")
line_cmd = [convert, "orvella", "--settings", settings(line), "--orvella",
            os.path.join(line, "src"), "--html", os.path.join(line, "html"),
            "--existing", "overwrite"]
rss_engine = peak_rss_mb(engine_cmd)
rss_line = peak_rss_mb(line_cmd)
line_mb = os.path.getsize(line_src) / 1e6

# Catalogue: 20,000 documents in 2,000 sub-folders.
catalogue = os.path.join(work, "catalogue")
tree = os.path.join(catalogue, "html")
list_cmd = [convert, "list", "--settings", settings(catalogue), "--html", tree]
run(list_cmd)
t_list = median_time(list_cmd)
t_find = median_time(["find", tree, "-printf", "%P\t%TY-%Tm-%Td %TH:%TM\n"])

def show():
    print()
    print("%-44s %12s   %-24s %12s   %s" % ("figure", "quillet", "compared with", "", "ratio"))
    lines = [
        ("engine, %.0f MB report (MB/s)" % mb, mb / t_engine, "cmark", mb / t_cmark,
         "%.1fx cmark (target >= 5x), %.0f MB/s (target >= 250)" % (t_cmark / t_engine, mb / t_engine)),
        ("", None, "cat (read bound)", mb / t_cat, "%.2fx the read bound" % (t_cat / t_engine)),
        ("batch, 5,000 reports of 8 KB (s)", t_batch, "cp -r", t_cp,
         "%.2fx cp -r (target <= 1.3x)" % (t_batch / t_cp)),
        ("batch, 50,000 reports of 8 KB (s)", t_batch50k, "10x the 5,000 batch", 10 * t_batch,
         "%.1fx the 5,000 figure (target <= 11x)" % (t_batch50k / t_batch)),
        ("catalogue, 20,000 documents (s)", t_list, "find -printf", t_find,
         "%.1fx find -printf (target <= 2x)" % (t_list / t_find)),
    ]
    for figure, ours, name, other, ratio in lines:
        print("%-44s %12s   %-24s %12.3f   %s" % (
            figure, "" if ours is None else "%.3f" % ours, name, other, ratio))
    print("(medians of %d runs; MB = 10^6 bytes; times in seconds)" % runs)
    print()
    print("%-44s %12s   %s" % ("peak memory (MiB resident)", "quillet", "above the source"))
    for figure, rss, source_mb in (("engine, %.0f MB report" % mb, rss_engine, mb),
                                   ("one line of %.0f MB blanks" % line_mb, rss_line, line_mb)):
        print("%-44s %12.0f   %+.0f MiB (target <= 64)" % (
            figure, rss, rss - source_mb * 1e6 / 2**20))

show()

# Linearity of the pathological cases. With its default settings the C
# library keeps freed blocks below 32 MB for reuse but hands larger ones back
# to the system, so only the larger size would pay for fresh pages on every
# iteration; a fixed threshold makes both sizes pay alike.
def bench(program, flt):
    out = subprocess.run([os.path.join(build, "bench", program), "--benchmark_filter=" + flt,
                          "--benchmark_format=json", "--benchmark_repetitions=3",
                          "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True,
                         env=dict(os.environ, MALLOC_MMAP_THRESHOLD_="131072")).stdout
    medians = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            medians[b["run_name"]] = b["real_time"]
    return medians

print()
print("%-52s %10s %10s %7s" % ("linearity (10x the input)", "1x ms", "10x ms", "ratio"))
worst = 0.0
for program, flt in (("engine_bench", "BM_(Tildes|BoldCodes|Tabs|AlternatingTabs|Blanks|"
                      "AngleBrackets|HugeProseLine|HugeDirectiveNumber|StudentNumberPrefixes|"
                      "FailingLines|CarriageReturns)/"), ("pathological_bench", "."),
                     ("document_text_bench", ".")):
    medians = bench(program, flt)
    groups = {}
    for name, t in medians.items():
        base, _, arg = name.rpartition("/")
        groups.setdefault(base, []).append((int(arg), t))
    for base, points in sorted(groups.items()):
        points.sort()
        if len(points) != 2:
            continue
        ratio = points[1][1] / points[0][1]
        worst = max(worst, ratio)
        print("%-52s %10.2f %10.2f %6.1fx%s" % (base, points[0][1], points[1][1], ratio,
                                               "" if ratio <= 12 else "  (above 12x)"))
print("worst ratio %.1fx (target: within ~12x)" % worst)

if profile:
    def top(name, cmd):
        data = os.path.join(work, name + ".perf")
        subprocess.run(["perf", "record", "-q", "-F", "2000", "-g", "-o", data, "--"] + cmd,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        report = subprocess.run(["perf", "report", "-i", data, "--no-children", "--stdio",
                                 "-g", "none", "--percent-limit", "2", "--sort", "dso,symbol"],
                                capture_output=True, text=True).stdout
        print()
        print("profile: %s (self time, functions above 2%%)" % name)
        for line in report.splitlines():
            if "%" in line and not line.startswith("#"):
                print("  " + line.strip()[:150])
    top("engine", engine_cmd)
    top("batch", batch_cmd(runs))
    top("catalogue", list_cmd)
    shutil.rmtree(os.path.join(work, "scratch"), ignore_errors=True)
PY
