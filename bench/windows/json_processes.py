"""tarn-json.exe under Wine against the Linux tarn-json, as processes.

Usage: json_processes.py ROUNDS CORPORA WORK LINUX_PROGRAM WINDOWS_PROGRAM PROCESS_TIMER

Run inside a booted Wine prefix whose server is up (scripts/bench-windows).
Each round runs, for every corpus and for `--version` (a process's start and
end alone), the Linux program and the Windows program, the latter started by
`wine` from this shell and by a Windows parent inside Wine (process_timer),
each with its output going to the null device and to a file in WORK. Prints
the median wall times and the speed of each Windows run relative to the
Linux one to the same kind of output (Linux time / Windows time: 1 is as
fast, 0.8 the target).
"""
import statistics
import subprocess
import sys
import time

rounds = int(sys.argv[1])
corpora_dir, work, linux, windows, timer = sys.argv[2:7]
cases = {"--version": ["--version"]}
for name in ("canada", "citm_catalog", "twitter"):
    cases[name] = [f"{corpora_dir}/{name}.json"]
sinks = {"null": "/dev/null", "file": f"{work}/json-output"}
ways = ("Linux", "wine", "inside")


def windows_path(path):
    return "Z:" + path if path.startswith("/") else path


def wall_ms(command, sink):
    with open(sink, "wb") as output:
        start = time.perf_counter()
        subprocess.run(command, stdin=subprocess.DEVNULL, stdout=output, check=True)
        return (time.perf_counter() - start) * 1000


def inside_ms(arguments, sink):
    target = "NUL" if sink == "/dev/null" else windows_path(sink)
    timed = subprocess.run(["wine", timer, target, windows_path(windows), *arguments], stdin=subprocess.DEVNULL,
                           capture_output=True, text=True, check=True)
    return float(timed.stdout)


times = {}
for _ in range(rounds):
    for case, arguments in cases.items():
        wide = [windows_path(argument) for argument in arguments]
        for sink_name, sink in sinks.items():
            times.setdefault((case, sink_name, "Linux"), []).append(wall_ms([linux, *arguments], sink))
            times.setdefault((case, sink_name, "wine"), []).append(wall_ms(["wine", windows, *wide], sink))
            times.setdefault((case, sink_name, "inside"), []).append(inside_ms(wide, sink))

print(f"{'':14}{'output':>7}{'Linux':>9}{'wine':>9}{'inside':>9}   speed: wine  inside")
for case in cases:
    for sink_name in sinks:
        linux_ms, wine_ms, inside = (statistics.median(times[(case, sink_name, way)]) for way in ways)
        print(f"{case:14}{sink_name:>7}{linux_ms:9.1f}{wine_ms:9.1f}{inside:9.1f}"
              f"   {linux_ms / wine_ms:10.2f}{linux_ms / inside:8.2f}")
print("(milliseconds, medians; 'wine': the Windows program started by wine from the Linux shell; 'inside':\n"
      " started by a Windows parent inside Wine; output to the null device or to a file)")
