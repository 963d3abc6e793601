#!/usr/bin/env bash
# Several devices updated at once by the command-line flasher, and what it
# costs the flasher itself:
#   1. 16 simulated devices on paced 38462-baud lines (`flash --simulate 16`)
#      against one alone: wall time of the whole command and the flasher's
#      CPU time per device (goals: gang/alone wall <= 1.05, per-device CPU
#      <= 1.2 x alone's); PACED_ROUNDS rounds, alternating, the best of
#      each kept. The devices sit behind USB adapters with a 1 ms tick, as
#      on a bench with a hub; PACED replaces the simulator options of the
#      paced runs (e.g. "--baud 38462" for bare lines, which many paced
#      simulators on few processors do not keep gap-free: see the README);
#   2. 64 unpaced simulated devices at once: every one must succeed (and one
#      alone beside, for the CPU time per device);
#   3. the same devices (simulators started here, on ptys) flashed by one
#      `flash PORT...` process against one `flash PORT` process per device,
#      all started at once: 16 paced and 64 unpaced; wall time and the
#      flashers' CPU time in all.
# The flasher's CPU time leaves the simulators out: with --simulate they are
# its children, so its time is read from /proc/<pid>/stat while it is a
# zombie (own utime+stime; the reaped simulators are in cutime+cstime); with
# ports given the simulators are this script's children. "busy" is how much
# of the machine's processors was in use during the run, simulators and
# other work included; the load average before each part is printed too.
# The wall time of a --simulate run includes starting its simulators one
# after another and collecting their summaries; with ports given, the
# simulators are up before the clock starts.
# A device that fails ends early and leaves its CPU time out, so the ratio
# of CPU time takes the time per whole update: the flasher's time over the
# blocks written by all its devices, times 508.
# ONLY=paced or ONLY=unpaced runs half of the measurements.
# Expects BUILD_DIR (default build/release) to hold brantelmoor-flash and
# brantelmoor-sim of a release build. Per-run outputs stay in BENCH_WORK when
# given.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
BUILD_DIR=${BUILD_DIR:-build/release}
PACED_ROUNDS=${PACED_ROUNDS:-2}
PACED=${PACED:---baud 38462 --adapter-tick-ms 1}
read -r -a paced <<<"$PACED"
ONLY=${ONLY:-}
GANG=${GANG:-16}
MANY=${MANY:-64}
flasher=$BUILD_DIR/app/console/brantelmoor-flash
sim=$BUILD_DIR/tools/brantelmoor-sim
for program in "$flasher" "$sim"; do
  [ -x "$program" ] || { echo "missing $program: build the release preset into $BUILD_DIR"; exit 1; }
done
vn_bench_work
results=$work/results.txt
: >"$results"
started=$(date +%s)

# The load average lags behind (a minute for the first figure), and counts
# this script's own simulators of the part before; the machine's use over
# two seconds with nothing of ours running tells what other work takes now.
load() {
  local before after
  before=$(head -n1 /proc/stat)
  sleep 2
  after=$(head -n1 /proc/stat)
  echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) processors); busy before: $(
    awk -v a="$before" -v b="$after" 'BEGIN {
      n = split(a, x, " "); split(b, y, " ")
      for (i = 2; i <= n; i++) total += y[i] - x[i]
      idle = (y[5] - x[5]) + (y[6] - x[6])
      printf "%.0f%%", total ? 100 * (1 - idle / total) : 0 }')"
}

# gang_run simulate <label> <devices> [-- simulator options]
# gang_run gang|apart <label> <devices> [-- simulator options]
# Runs one measurement, prints its line and appends it to the results.
gang_run() {
  python3 - "$flasher" "$sim" "$work" "$@" <<'PY' | tee -a "$results"
import json, os, re, resource, signal, subprocess, sys, time

flasher, sim, work, mode, label, devices = sys.argv[1:7]
devices = int(devices)
sim_options = sys.argv[8:] if len(sys.argv) > 7 and sys.argv[7] == "--" else []
limit = 150  # seconds: far longer than any update here, so that a hang shows as one
tick = os.sysconf("SC_CLK_TCK")
base = os.path.join(work, label)
problems = []

def machine():
    with open("/proc/stat") as f:
        numbers = [int(x) for x in f.readline().split()[1:]]
    return sum(numbers), numbers[3] + numbers[4]

def own_and_children(pid):
    # Fields after the command name: state is 3, utime 14 .. cstime 17.
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    utime, stime, cutime, cstime = (int(x) / tick for x in fields[11:15])
    return utime + stime, cutime + cstime

class Hang(Exception):
    pass

def alarm(*_):
    raise Hang()

signal.signal(signal.SIGALRM, alarm)

# The simulators this script starts itself (gang and apart).
sims = []
if mode != "simulate":
    for k in range(devices):
        out = open(f"{base}.sim{k + 1}.err", "w")
        p = subprocess.Popen([sim, "--timeout", str(limit), *sim_options], stdout=subprocess.PIPE,
                             stderr=out, text=True)
        first = p.stdout.readline().strip()
        if not first.startswith("PTY "):
            problems.append(f"simulator {k + 1} printed {first!r}")
        sims.append((p, first[4:]))
    # COM names through a port map, which also tells the flasher the tick
    # of the adapter a simulator plays, as --simulate does.
    adapter_tick = ""
    if "--adapter-tick-ms" in sim_options:
        adapter_tick = f" {round(float(sim_options[sim_options.index('--adapter-tick-ms') + 1]) * 1000)}"
    ports = [f"COM{101 + k}" for k in range(len(sims))]
    with open(f"{base}.ports", "w") as port_map:
        for name, (_, path) in zip(ports, sims):
            port_map.write(f"{name} {path}{adapter_tick}\n")
    os.environ["VN_PORT_MAP"] = f"{base}.ports"

if mode == "simulate":
    commands = [[flasher, "flash", "--simulate", str(devices), "--json"] + (["--", *sim_options] if sim_options else [])]
elif mode == "gang":
    commands = [[flasher, "flash", "--json", *ports]]
else:
    commands = [[flasher, "flash", "--json", port] for port in ports]

total0, idle0 = machine()
start = time.monotonic()
flashers = {}
for n, command in enumerate(commands):
    p = subprocess.Popen(command, stdout=open(f"{base}.out{n + 1}", "w"), stderr=open(f"{base}.err{n + 1}", "w"))
    flashers[p.pid] = p
codes, own, children = {}, 0.0, 0.0
signal.alarm(limit)
try:
    while len(codes) < len(flashers):
        info = os.waitid(os.P_ALL, 0, os.WEXITED | os.WNOWAIT)
        if info.si_pid in flashers:
            mine, theirs = own_and_children(info.si_pid)
            own += mine
            children += theirs
            _, status = os.waitpid(info.si_pid, 0)
            codes[info.si_pid] = os.waitstatus_to_exitcode(status)
            flashers[info.si_pid].returncode = codes[info.si_pid]
        else:  # one of the simulators started here: reaped by its Popen below
            for p, _ in sims:
                if p.pid == info.si_pid:
                    p.wait()
except Hang:
    problems.append(f"HANG: {len(flashers) - len(codes)} flasher(s) still running after {limit} s: killed")
    for pid, p in flashers.items():
        if pid not in codes:
            p.kill()
            p.wait()
            codes[pid] = "killed"
signal.alarm(0)
wall = time.monotonic() - start
total1, idle1 = machine()
busy = 100 * (1 - (idle1 - idle0) / max(1, total1 - total0))

# Every device's JSON line must say success with the whole image.
ok, transfer, blocks = 0, 0.0, 0
for n, command in enumerate(commands):
    for line in open(f"{base}.out{n + 1}"):
        try:
            record = json.loads(line)
        except ValueError:
            problems.append(f"not JSON: {line.strip()[:200]}")
            continue
        blocks += int(record.get("blocks") or 0)
        if (record.get("result") == "success" and record.get("exit_code") == 0 and record.get("blocks") == 508
                and record.get("crc") == "BD97"):
            ok += 1
            transfer = max(transfer, float(record.get("seconds", 0)))
        else:
            problems.append(f"{record.get('port')}: {record.get('result')}, exit code {record.get('exit_code')}, "
                            f"{record.get('error')}")
for pid, code in codes.items():
    if code != 0:
        problems.append(f"flasher {' '.join(flashers[pid].args[:3])}... ended with {code}")

# The devices' own word: each got the whole image and "PUSK".
pusk = 0
if mode == "simulate":
    for line in open(f"{base}.err1"):
        if re.match(r"simulated device .*received: ", line) and '"pusk":true' in line and '"crc":"BD97"' in line:
            pusk += 1
else:
    for k, (p, _) in enumerate(sims):
        try:
            p.wait(timeout=10)
        except subprocess.TimeoutExpired:
            p.terminate()
            p.wait()
        summary = p.stdout.read().strip()
        if '"pusk":true' in summary and '"crc":"BD97"' in summary:
            pusk += 1
        else:
            problems.append(f"simulator {k + 1}: {summary[:200]}")
    # Nothing but the flashers and the simulators was ever a child here.
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    children = usage.ru_utime + usage.ru_stime - own

print(f"{label} mode={mode} devices={devices} ok={ok} pusk={pusk} wall={wall:.2f} transfer_max={transfer:.2f} cpu={own:.2f} "
      f"cpu_per_device={own / devices:.4f} cpu_per_update={own * 508 / max(1, blocks):.4f} sims_cpu={children:.2f} "
      f"busy={busy:.0f}%")
for problem in problems[:20]:
    print(f"  {label}: {problem}")
sys.stdout.flush()
PY
}

echo "== $BUILD_DIR; $(load)"
if [ "$ONLY" != unpaced ]; then
  echo "== 1. $GANG paced devices at once against one alone ($PACED), $PACED_ROUNDS round(s)"
  for round in $(seq "$PACED_ROUNDS"); do
    echo "-- round $round: $(load)"
    gang_run simulate "alone-paced-$round" 1 -- "${paced[@]}"
    gang_run simulate "gang$GANG-paced-$round" "$GANG" -- "${paced[@]}"
  done
fi
if [ "$ONLY" != paced ]; then
  echo "== 2. $MANY unpaced devices at once, and one alone for its CPU per device; $(load)"
  gang_run simulate "alone-unpaced" 1
  gang_run simulate "gang$MANY-unpaced" "$MANY"
fi
echo "== 3. one process for all ports against one process per port (simulators started here)"
if [ "$ONLY" != unpaced ]; then
  echo "-- $GANG paced: $(load)"
  gang_run gang "ports$GANG-paced-one" "$GANG" -- "${paced[@]}"
  gang_run apart "ports$GANG-paced-each" "$GANG" -- "${paced[@]}"
fi
if [ "$ONLY" != paced ]; then
  echo "-- $MANY unpaced: $(load)"
  gang_run gang "ports$MANY-unpaced-one" "$MANY"
  gang_run apart "ports$MANY-unpaced-each" "$MANY"
fi

echo "== figures ($(load); the script ran $(($(date +%s) - started)) s)"
python3 - "$results" "$GANG" "$MANY" <<'PY'
import sys
path, gang, many = sys.argv[1], sys.argv[2], sys.argv[3]
runs = {}
for line in open(path):
    if line.startswith(" "):
        continue
    words = line.split()
    runs[words[0]] = dict(w.split("=", 1) for w in words[1:])

def whole(f):  # every device updated: the run's times mean something
    return f["ok"] == f["devices"] == f["pusk"]

print(f"{'run':<24} {'devs':>4} {'ok/pusk':<7} {'wall s':>7} {'xfer max':>8} {'CPU s':>6} {'ms/dev':>7} "
      f"{'ms/update':>9} {'sims CPU':>8} {'busy':>5}")
for name, f in runs.items():
    print(f"{name:<24} {f['devices']:>4} {f['ok'] + '/' + f['pusk']:<7} {float(f['wall']):>7.2f} "
          f"{float(f['transfer_max']):>8.2f} {float(f['cpu']):>6.2f} {1000 * float(f['cpu_per_device']):>7.1f} "
          f"{1000 * float(f['cpu_per_update']):>9.1f} {float(f['sims_cpu']):>8.2f} {f['busy']:>5}"
          f"{'' if whole(f) else '  FAILURES'}")

# Rounds where every device was updated count first; without one, all
# rounds, said so.
def best(prefix, key):
    rounds = [f for name, f in runs.items() if name.startswith(prefix)]
    whole_rounds = [f for f in rounds if whole(f)]
    values = [float(f[key]) for f in (whole_rounds or rounds)]
    return (min(values) if values else None), bool(rounds) and not whole_rounds

def ratio(what, a, b, unit, goal, scale=1):
    (a, a_failed), (b, b_failed) = a, b
    if a is None or b is None:
        print(f"{what}: no figure")
        return
    note = " (FROM ROUNDS WITH FAILED DEVICES)" if a_failed or b_failed else ""
    print(f"{what}: {scale * a:.2f} / {scale * b:.2f} {unit} = {a / b:.3f} (goal <= {goal}){note}")

ratio(f"{gang} paced at once / one alone, wall (best rounds)", best(f"gang{gang}-paced", "wall"),
      best("alone-paced", "wall"), "s", 1.05)
ratio(f"{gang} paced at once / one alone, flasher CPU per whole update (best rounds)",
      best(f"gang{gang}-paced", "cpu_per_update"), best("alone-paced", "cpu_per_update"), "ms", 1.2, 1000)
for n, pace in ((gang, "paced"), (many, "unpaced")):
    one, each = runs.get(f"ports{n}-{pace}-one"), runs.get(f"ports{n}-{pace}-each")
    if one and each:
        flag = "" if whole(one) and whole(each) else " (FAILURES: see above)"
        print(f"{n} {pace}, one process / one per port: wall {float(one['wall']):.2f} / {float(each['wall']):.2f} s, "
              f"flashers' CPU {float(one['cpu']):.2f} / {float(each['cpu']):.2f} s, per whole update "
              f"{1000 * float(one['cpu_per_update']):.0f} / {1000 * float(each['cpu_per_update']):.0f} ms"
              f" = {float(one['cpu_per_update']) / max(0.0001, float(each['cpu_per_update'])):.2f}{flag}")
PY
