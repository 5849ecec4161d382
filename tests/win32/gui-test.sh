#!/usr/bin/env bash
# Drives the real Tessel.exe under Wine and Xvfb, the way a person does, and
# checks what its windows show.
#
#   gui-test.sh BUILD_DIR SCENARIO
#
# SCENARIO is one of: editing, calculate, fields, ending, system-menu, about,
# icons. Keys are real X key presses (xdotool); everything else goes through
# the test driver, which finds the windows and sends them the messages that
# a person's typing, pasting and clicking send.
export TESSEL_WIN32_BUILD=$(realpath "$1")
scenario=$2
source "$(dirname "$0")/wine-lib.sh"

RECORD=1000
CHECKSUM=1001
CALCULATE=1002
LENGTH=1004

# Typing, deleting and pasting update the length field at once.
scenario_editing() {
  start_tessel
  expect_eq "record at start" "$(field record)" ""
  expect_eq "length at start" "$(field length)" ""
  expect_eq "checksum at start" "$(field checksum)" ""
  expect_eq "focus at start" "$(field focus)" "$RECORD"

  local typed=""
  for unit in 0 3 0 0; do
    drv type $RECORD "$unit"
    typed+=$unit
    expect_eq "length after typing '$typed'" "$(field length)" "${#typed}"
  done
  drv type $RECORD '\b'
  expect_eq "length after Backspace" "$(field length)" 3
  drv paste $RECORD '0300002337A'
  expect_eq "record after paste" "$(field record)" "0300300002337A"
  expect_eq "length after paste" "$(field length)" 14
  # A surrogate pair is two code units.
  drv type $RECORD '\uD83D\uDE00'
  expect_eq "length after an emoji" "$(field length)" 16
  drv erase $RECORD
  expect_eq "length after deleting all" "$(field length)" 0
  # Real key presses into the focused field.
  xdotool type --delay 60 "ff"
  sleep 0.4
  expect_eq "record after typing keys" "$(field record)" "ff"
  expect_eq "length after typing keys" "$(field length)" 2
  expect_eq "checksum never changed by editing" "$(field checksum)" ""
}

# Calculate shows the checksum of the text at that moment.
scenario_calculate() {
  start_tessel
  local cases=(
    "10010000214601360121470136007EFE09D21901=40"
    "0300300002337A=1E"
    "0300300002337A1E=00"
    "0100=FF"
    "ff=01"
    "0=Error"
    ":10000=00"
    "=00"
  )
  for entry in "${cases[@]}"; do
    local record=${entry%=*} expected=${entry##*=}
    drv erase $RECORD
    [[ -z $record ]] || drv paste $RECORD "$record"
    drv click Tessel $CALCULATE
    expect_eq "checksum of '$record'" "$(field checksum)" "$expected"
  done
  # More typing leaves the old result until the next Calculate.
  drv paste $RECORD "0100"
  drv click Tessel $CALCULATE
  drv type $RECORD "0"
  expect_eq "checksum after more typing" "$(field checksum)" "FF"
  drv click Tessel $CALCULATE
  expect_eq "checksum after Calculate again" "$(field checksum)" "Error"
  expect_eq "record untouched by Calculate" "$(field record)" "01000"
}

# The checksum field is an ordinary editable field; the length field is
# disabled and read-only; the OK and Cancel buttons are hidden.
scenario_fields() {
  start_tessel
  # Tab never lands on the hidden buttons or the disabled length field: from
  # the record field it goes to the checksum field, then Calculate, then back.
  expect_eq "focus at start" "$(field focus)" "$RECORD"
  keys Tab
  expect_eq "focus after Tab" "$(field focus)" "$CHECKSUM"
  keys Tab
  expect_eq "focus after two Tabs" "$(field focus)" "$CALCULATE"
  keys Tab
  expect_eq "focus after three Tabs" "$(field focus)" "$RECORD"

  drv type $CHECKSUM "ZZ"
  expect_eq "text typed into the checksum field" "$(field checksum)" "ZZ"
  expect_eq "checksum field enabled" "$(field checksum.enabled)" 1
  expect_eq "checksum field writable" "$(field checksum.readonly)" 0
  drv click Tessel $CALCULATE
  expect_eq "Calculate replaces typed checksum" "$(field checksum)" "00"
  drv type $LENGTH "12"
  expect_eq "typing into the length field" "$(field length)" ""
  expect_eq "length field disabled" "$(field length.enabled)" 0
  expect_eq "length field read-only" "$(field length.readonly)" 1
  expect_eq "OK button hidden" "$(field ok.visible)" 0
  expect_eq "Cancel button hidden" "$(field cancel.visible)" 0
}

# Every way of ending the main window ends the process with status 0.
scenario_ending() {
  start_tessel
  drv type $RECORD "0300"
  keys Return
  expect_exit "Enter in the record field"

  start_tessel
  keys Escape
  expect_exit "Esc"

  start_tessel
  click_close_box Tessel
  expect_exit "the close box"

  start_tessel
  keys alt+space
  keys c
  expect_exit "the system menu's Close"

  start_tessel
  keys alt+F4
  expect_exit "Alt+F4"
}

# The system menu ends with the About item, which opens the About box;
# commands 0x0010 to 0x001F open it, 0x0020 does not.
scenario_system_menu() {
  start_tessel
  # Up from the first item wraps to the last one.
  keys alt+space
  keys Up Return
  if drv wait "$ABOUT_CAPTION" 5000; then
    drv click "$ABOUT_CAPTION" 1
    drv gone "$ABOUT_CAPTION" 5000 || fail "the About box did not close"
  else
    fail "the last system-menu item did not open the About box"
  fi

  for command in 0x10 0x11 0x17 0x1F; do
    drv syscommand $command
    if drv wait "$ABOUT_CAPTION" 5000; then
      drv click "$ABOUT_CAPTION" 1
      drv gone "$ABOUT_CAPTION" 5000 || fail "About box of command $command did not close"
    else
      fail "command $command did not open the About box"
    fi
  done
  drv syscommand 0x20
  sleep 1
  if drv wait "$ABOUT_CAPTION" 0 2>/dev/null; then fail "command 0x20 opened the About box"; fi
  expect_eq "main window after command 0x20" "$(field main.enabled)" 1
}

# The About box: its texts, icon and button; the main window takes no input
# while it is open; every way of closing it leaves the main window as it was.
scenario_about() {
  start_tessel
  drv paste $RECORD "0100"
  drv click Tessel $CALCULATE
  drv type $RECORD "ab"
  local before
  before=$(drv fields | grep -v '^focus=')

  for way in ok enter esc closebox; do
    drv syscommand 0x10
    drv wait "$ABOUT_CAPTION" 5000 || { fail "$way: the About box did not open"; continue; }
    local report
    report=$(drv about)
    expect_eq "$way: caption" "$(sed -n 's/^caption=//p' <<<"$report")" "关于 Tessel"
    expect_eq "$way: icon" "$(sed -n 's/^control1.icon=//p' <<<"$report")" 1
    expect_eq "$way: name" "$(sed -n 's/^control2.text=//p' <<<"$report")" "Tessel，1.0 版"
    expect_eq "$way: button" "$(sed -n 's/^control4.text=//p' <<<"$report")" "确定"
    expect_eq "$way: main window disabled" "$(sed -n 's/^main.enabled=//p' <<<"$report")" 0
    expect_eq "$way: owned by the main window" \
      "$(sed -n 's/^owner.is.main=//p' <<<"$report")" 1
    # Keys go to the About box, not to the main window behind it.
    xdotool type --delay 60 "77"
    sleep 0.3
    case $way in
      ok) drv click "$ABOUT_CAPTION" 1 ;;
      enter) keys Return ;;
      esc) keys Escape ;;
      closebox) click_close_box "$ABOUT_CAPTION" ;;
    esac
    drv gone "$ABOUT_CAPTION" 5000 || fail "$way did not close the About box"
    expect_eq "$way: main window afterwards" "$(drv fields | grep -v '^focus=')" "$before"
  done
}

# The window's icon reaches X as _NET_WM_ICON. The program gives the same
# icon as big and small icon, so X carries one image: the 32 x 32 one.
scenario_icons() {
  export WINEPREFIX=$WINE_ROOT/plain
  start_tessel
  local window
  window=$(xdotool search --name '^Tessel$' | head -1)
  [[ -n $window ]] || { fail "no X window named Tessel"; return; }
  # _NET_WM_ICON is a list of: width, height, then width*height ARGB pixels.
  local icons
  icons=$(xprop -id "$window" -notype 32c _NET_WM_ICON | python3 -c '
import sys
values = [int(v) for v in sys.stdin.read().split("=", 1)[1].replace(",", " ").split()]
i = 0
while i + 1 < len(values):
    w, h = values[i], values[i + 1]
    pixels = values[i + 2:i + 2 + w * h]
    opaque = sum(1 for p in pixels if (p >> 24) & 0xFF >= 128)
    print(f"{w}x{h} {100 * opaque // max(1, len(pixels))}%")
    i += 2 + w * h')
  echo "window icons (size, opaque share): $icons"
  local big
  big=$(grep '^32x32 ' <<<"$icons" | head -1)
  [[ -n $big ]] || { fail "no 32x32 icon on the window: '$icons'"; return; }
  # The tile covers most of the square; an empty or wrong image would not.
  local share=${big#* }
  ((${share%\%} >= 50)) || fail "the window icon is mostly transparent: $big"
}

start_display
"scenario_${scenario//-/_}"
finish
