#!/usr/bin/env bash
# Installs the Linux program into a temporary prefix and checks the desktop
# integration there: the desktop entry and the AppStream metainfo pass their
# validators, and the theme holds the icon at each size it should.
#
#   install_test.sh CMAKE BUILD_DIR
set -euo pipefail

cmake=$1
build_dir=$2
app_id=app.tessel.Tessel

prefix=$(mktemp -d "${TMPDIR:-/tmp}/tessel-install.XXXXXX")
trap 'rm -rf -- "$prefix"' EXIT

"$cmake" --install "$build_dir" --prefix "$prefix" >/dev/null

status=0
fail() {
  echo "FAIL: $*" >&2
  status=1
}

[[ -x $prefix/bin/tessel ]] || fail "bin/tessel is not installed"

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml

echo "desktop-file-validate $app_id.desktop"
if [[ ! -f $desktop ]]; then
  fail "share/applications/$app_id.desktop is not installed"
elif ! desktop-file-validate "$desktop"; then
  fail "desktop-file-validate rejects $app_id.desktop"
fi

# --pedantic reports one thing we keep: the upper-case letter in the
# application ID (cid-contains-uppercase-letter), which is our ID. It is not
# a failure; any warning or error is.
echo "appstreamcli validate --no-net --pedantic $app_id.metainfo.xml"
if [[ ! -f $metainfo ]]; then
  fail "share/metainfo/$app_id.metainfo.xml is not installed"
elif ! appstreamcli validate --no-color --no-net --pedantic "$metainfo"; then
  fail "appstreamcli rejects $app_id.metainfo.xml"
fi

# Each theme icon is a PNG whose IHDR chunk gives the size of its folder.
for size in 16 24 32 48 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  if [[ ! -f $icon ]]; then
    fail "${size}x${size} icon is not installed"
    continue
  fi
  if ! /usr/bin/python3 - "$icon" "$size" <<'PY'
import struct
import sys

path, size = sys.argv[1], int(sys.argv[2])
with open(path, "rb") as f:
    head = f.read(24)
if len(head) < 24 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
    sys.exit(f"{path}: not a PNG file")
width, height = struct.unpack(">II", head[16:24])
if (width, height) != (size, size):
    sys.exit(f"{path}: {width}x{height}, not {size}x{size}")
print(f"icon {size}x{size}: {width}x{height} PNG")
PY
  then
    fail "${size}x${size} icon has the wrong size or is no PNG"
  fi
done

exit "$status"
