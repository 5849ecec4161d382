# Shared by the Windows GUI tests: a display and the Wine prefix of the
# build, the test driver, and checks that print what differs. Source it with
# TESSEL_WIN32_BUILD set to the Windows build folder.
#
# Every test starts its own Xvfb on a free display and, on exit, ends only
# what it started: its Xvfb by PID and its prefix's wineserver.
set -euo pipefail

: "${TESSEL_WIN32_BUILD:?}"
WINE_ROOT=$TESSEL_WIN32_BUILD/wine
export WINEPREFIX=$WINE_ROOT/desktop
# No Mono or Gecko installer may run; no debug chatter.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
# Arguments and output pass through Wine as UTF-8.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

TESSEL_EXE=$TESSEL_WIN32_BUILD/Tessel.exe
DRIVER_EXE=$TESSEL_WIN32_BUILD/tests/win32/tessel_driver.exe
ABOUT_CAPTION='\u5173\u4e8e Tessel'  # "关于 Tessel", escaped for the driver

XVFB_PID=
TESSEL_PID=
FAILURES=0

cleanup() {
  if [[ -n $TESSEL_PID ]] && kill -0 "$TESSEL_PID" 2>/dev/null; then
    kill "$TESSEL_PID" 2>/dev/null || true
  fi
  wineserver -k 2>/dev/null || true
  if [[ -n $XVFB_PID ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# Starts Xvfb on a display it picks itself and exports DISPLAY.
start_display() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number
  read -r -t 20 number <"$fifo"
  rm -f "$fifo"
  [[ -n $number ]] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$number
}

drv() { wine "$DRIVER_EXE" "$@"; }

fail() {
  echo "FAIL: $*" >&2
  FAILURES=$((FAILURES + 1))
}

# expect_eq WHAT ACTUAL EXPECTED
expect_eq() {
  if [[ $2 != "$3" ]]; then fail "$1: got '$2', expected '$3'"; fi
}

# field NAME: one value from the driver's report of the main window.
field() { drv fields | sed -n "s/^$1=//p"; }
about_field() { drv about | sed -n "s/^$1=//p"; }

# Starts Tessel.exe in the prefix's virtual desktop and waits for its window.
start_tessel() {
  wine "$TESSEL_EXE" &
  TESSEL_PID=$!
  # The first window in a new prefix can take a while.
  drv wait Tessel 30000 || { echo "the main window did not appear" >&2; exit 1; }
}

# expect_exit WHAT: Tessel must end within 10 s with status 0.
expect_exit() {
  local waited=0
  while kill -0 "$TESSEL_PID" 2>/dev/null && ((waited < 100)); do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$TESSEL_PID" 2>/dev/null; then
    fail "$1: the program is still running"
    return
  fi
  local status=0
  wait "$TESSEL_PID" || status=$?
  TESSEL_PID=
  expect_eq "$1: exit status" "$status" 0
}

# Presses keys on the X display, as a person at the keyboard would.
keys() { xdotool key --delay 60 "$@"; sleep 0.4; }

# Clicks the close box of the window with caption $1.
click_close_box() {
  local report x y
  report=$(drv closebox "$1")
  x=$(sed -n 's/^x=//p' <<<"$report")
  y=$(sed -n 's/^y=//p' <<<"$report")
  xdotool mousemove "$x" "$y" click 1
  sleep 0.4
}

finish() {
  if ((FAILURES)); then
    echo "$FAILURES check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
