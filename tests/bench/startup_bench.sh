#!/usr/bin/env bash
# Startup time and memory of the GTK program, next to a stock GTK 3 dialog
# (zenity) started the same way. Run it on demand; it is a measurement, not a
# test, and exits 0 once it has figures.
#
#   tests/bench/startup_bench.sh [TESSEL] [--runs N] [--program "CMD ARGS..."]
#
#   TESSEL     the program to measure (default build/linux/tessel)
#   --runs N   runs of each program, alternating with zenity (default 15)
#   --program  measure this command line instead (split on spaces), e.g. to
#              try the bench before the program exists:
#              --program "zenity --info --text=x"
#
# Everything runs on a private Xvfb display with a private session bus, both
# stopped at the end. Each run times process start -> top-level window mapped,
# lets the program settle for 0.5 s, reads its VmRSS, then ends it. One
# uncounted warm-up round comes first (it starts the accessibility bus and
# warms the file cache). Prints one line per run on stderr, then on stdout a
# table of the medians (startup ms, RSS MiB) with the ratios program/zenity,
# and a machine note. Exits 2 if zenity, Xvfb, xdotool, dbus-daemon or
# /usr/bin/python3 is missing.
set -u
export LC_NUMERIC=C

root=$(cd "$(dirname "$0")/../.." && pwd)
runs=15
label=tessel
cmd=("$root/build/linux/tessel")
while (($#)); do
  case $1 in
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    --program) read -ra cmd <<<"${2:?--program needs a command}"; label=program; shift 2 ;;
    -h|--help) sed -n '2,/^set -u/{/^set -u/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
    -*) echo "startup_bench: unknown option $1" >&2; exit 2 ;;
    *) cmd=("$1"); shift ;;
  esac
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "startup_bench: --runs wants a positive number" >&2; exit 2; }

missing=()
for tool in zenity Xvfb xdotool dbus-daemon /usr/bin/python3; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
  echo "startup_bench: missing ${missing[*]} (Debian packages zenity, xvfb, xdotool, dbus, python3); tools/setup installs them" >&2
  exit 2
fi
if ! command -v "${cmd[0]}" >/dev/null; then
  echo "startup_bench: ${cmd[0]} not found; build it with: cmake --preset linux && cmake --build --preset linux" >&2
  exit 2
fi
zen=(zenity --entry --title=Bench)

tmp=$(mktemp -d)
xvfb_pid="" bus_pid="" watch_pid="" app_pid=""

# End one process we started: SIGTERM, up to 2 s of grace, then SIGKILL.
# Some are not our children (the bus forks away), so this polls, and treats
# an unreaped zombie child as gone.
alive() { [[ -e /proc/$1 && $(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) != Z ]]; }
stop_pid() {
  local i
  if alive "$1"; then
    kill -TERM "$1" 2>/dev/null
    for ((i = 0; i < 200; i++)); do alive "$1" || break; sleep 0.01; done
    alive "$1" && kill -KILL "$1" 2>/dev/null
  fi
  wait "$1" 2>/dev/null
  return 0
}
# Services the bus started for us (the accessibility bus and its helpers)
# are orphaned to init but stay in the session the daemon made, whose ID is
# the daemon's PID.
bus_services() { pgrep -s "$bus_pid" | grep -vx "$bus_pid"; }
cleanup() {
  local pid
  for pid in "$app_pid" "$watch_pid"; do [[ -n $pid ]] && stop_pid "$pid"; done
  if [[ -n $bus_pid ]]; then
    local bus i
    mapfile -t bus < <(bus_services)
    bus+=("$bus_pid")
    for pid in "${bus[@]}"; do stop_pid "$pid"; done
    # Ended, they stay zombies until init reaps them; wait for that (up to
    # 5 s) so that nothing of this run shows in ps afterwards.
    for ((i = 0; i < 250; i++)); do
      for pid in "${bus[@]}"; do [[ -e /proc/$pid ]] && break; done
      [[ -e /proc/$pid ]] || break
      sleep 0.02
    done
  fi
  [[ -n $xvfb_pid ]] && stop_pid "$xvfb_pid"
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for ((i = 0; i < 1000; i++)); do
  [[ -s $tmp/display ]] && break
  alive "$xvfb_pid" || break
  sleep 0.01
done
[[ -s $tmp/display ]] || { echo "startup_bench: Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
DISPLAY=:$(<"$tmp/display")
export DISPLAY

{ read -r DBUS_SESSION_BUS_ADDRESS; read -r bus_pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
[[ -n $bus_pid ]] || { echo "startup_bench: could not start a session bus" >&2; exit 1; }
export DBUS_SESSION_BUS_ADDRESS
mkdir -m 700 "$tmp/runtime"
export XDG_RUNTIME_DIR=$tmp/runtime GDK_BACKEND=x11
unset WAYLAND_DISPLAY

# How the map is timed: polling by running xdotool or xwininfo each round
# costs 17-25 ms per round on this 2-core machine, far too coarse for a
# ~100 ms startup. Instead this watcher keeps one X connection (plain X11
# protocol over the Unix socket, no Xlib), subscribes to the root window's
# SubstructureNotify and prints "epoch-seconds window-id" for every top-level
# window as its MapNotify arrives. It sleeps in recv() meanwhile, so it costs
# no CPU and its stamps are good to well under a millisecond. Which process
# owns the window is looked up afterwards (xdotool getwindowpid), off the clock.
read -r -d '' watcher <<'EOF'
import os, socket, struct, sys, time
sock = socket.socket(socket.AF_UNIX)
sock.connect("/tmp/.X11-unix/X" + os.environ["DISPLAY"].split(":")[1].split(".")[0])
def read(n):
    data = b""
    while len(data) < n:
        chunk = sock.recv(n - len(data))
        if not chunk:
            sys.exit(0)
        data += chunk
    return data
sock.sendall(struct.pack("<BxHHHHxx", 0x6C, 11, 0, 0, 0))  # little-endian, no auth
head = read(8)
if head[0] != 1:
    sys.exit("X server refused the connection")
setup = read(4 * struct.unpack_from("<H", head, 6)[0])
vendor_len, = struct.unpack_from("<H", setup, 16)
formats = setup[21]
root, = struct.unpack_from("<I", setup, 32 + (vendor_len + 3) // 4 * 4 + 8 * formats)
# ChangeWindowAttributes(root, event-mask = SubstructureNotify), then a
# GetInputFocus round trip so the selection is in force before "ready".
sock.sendall(struct.pack("<BxHIII", 2, 4, root, 1 << 11, 1 << 19) + struct.pack("<BxH", 43, 1))
while read(32)[0] != 1:
    pass
print("ready", flush=True)
while True:
    ev = read(32)
    if ev[0] & 0x7F == 19 and not ev[12]:  # MapNotify, not override-redirect
        print("%.6f %d" % (time.time(), struct.unpack_from("<I", ev, 8)[0]), flush=True)
EOF
coproc WATCH { exec /usr/bin/python3 -c "$watcher"; }
watch_pid=$WATCH_PID  # set by coproc
read -r -t 10 -u "${WATCH[0]}" ready
[[ ${ready:-} == ready ]] || { echo "startup_bench: the map watcher did not start" >&2; exit 1; }

usec() { local t=${1/[.,]/}; echo $((10#$t)); }

# One run of "$@": sets ms (process start to window mapped) and kb (VmRSS).
measure() {
  local t0 t1 win rc
  t0=$EPOCHREALTIME
  "$@" >/dev/null 2>"$tmp/stderr" &
  app_pid=$!
  while :; do
    read -r -t 0.05 -u "${WATCH[0]}" t1 win
    rc=$?
    if ((rc == 0)); then
      [[ $(xdotool getwindowpid "$win" 2>/dev/null) == "$app_pid" ]] && break
    elif ((rc <= 128)); then
      echo "startup_bench: the map watcher stopped" >&2; return 1
    elif ! alive "$app_pid"; then
      echo "startup_bench: $1 exited before showing a window:" >&2
      tail -n 20 "$tmp/stderr" >&2
      return 1
    elif (($(usec "$EPOCHREALTIME") - $(usec "$t0") > 30000000)); then
      echo "startup_bench: $1 showed no window within 30 s" >&2; return 1
    fi
  done
  sleep 0.5
  kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status")
  stop_pid "$app_pid"
  app_pid=""
  ms=$(awk -v a="$(usec "$t0")" -v b="$(usec "$t1")" 'BEGIN {printf "%.1f", (b - a) / 1000}')
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

: >"$tmp/$label.txt"
: >"$tmp/zenity.txt"
for ((run = 0; run <= runs; run++)); do
  for who in "$label" zenity; do
    if [[ $who == zenity ]]; then measure "${zen[@]}"; else measure "${cmd[@]}"; fi || exit 1
    ((run)) && echo "$ms ${kb:-0}" >>"$tmp/$who.txt"
    printf '%-9s %-8s %8.1f ms %8.1f MiB\n' "$( ((run)) && echo "run $run" || echo warm-up)" \
      "$who" "$ms" "$(awk -v k="${kb:-0}" 'BEGIN {print k / 1024}')" >&2
  done
done

echo
echo "Medians of $runs runs each ($label: ${cmd[*]}; zenity: ${zen[*]})"
awk -v l="$label" \
    -v pm="$(cut -d' ' -f1 "$tmp/$label.txt" | median)" -v pk="$(cut -d' ' -f2 "$tmp/$label.txt" | median)" \
    -v zm="$(cut -d' ' -f1 "$tmp/zenity.txt" | median)" -v zk="$(cut -d' ' -f2 "$tmp/zenity.txt" | median)" 'BEGIN {
  printf "%-16s %12s %10s\n", "", "startup ms", "RSS MiB"
  printf "%-16s %12.1f %10.1f\n", l, pm, pk / 1024
  printf "%-16s %12.1f %10.1f\n", "zenity", zm, zk / 1024
  printf "%-16s %12.2f %10.2f\n", l "/zenity", pm / zm, pk / zk
}'
echo "Machine: $(nproc) CPUs, GTK $(pkg-config --modversion gtk+-3.0 2>/dev/null || echo '(pkg-config gtk+-3.0 not found)'), Xvfb $DISPLAY without a window manager"
