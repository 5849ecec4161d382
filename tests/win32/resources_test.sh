#!/usr/bin/env bash
# Checks the resources linked into the Windows executable with icoutils and
# python3, independently of Tessel's own resource readers: the resource list
# (nothing missing, nothing extra), the application icon's images, the
# version block and the manifest. Prints each difference; exits non-zero if
# there is any.
#
# Usage: tests/win32/resources_test.sh path/to/Tessel.exe
set -euo pipefail

if [[ $# -ne 1 ]]; then
  echo "usage: $0 path/to/Tessel.exe" >&2
  exit 2
fi
exe=$1
if [[ ! -f $exe ]]; then
  echo "no such file: $exe" >&2
  exit 2
fi
for tool in wrestool icotool python3; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is not installed (wrestool and icotool come with icoutils)" >&2
    exit 2
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Languages as wrestool prints them: 0x0804 and 0x0409 in decimal.
zh=2052
en=1033

# --- The resource list: type, name and language of every resource. ---------
{
  for id in $(seq 1 13); do echo "3 $id $zh"; done  # icon images
  echo "5 100 $zh"                                   # About dialog
  echo "5 102 $zh"                                   # main dialog
  echo "6 7 $zh"                                     # strings 96 to 111
  echo "14 128 $zh"                                  # application icon
  echo "16 1 $zh"                                    # version block
  echo "24 1 $en"                                    # manifest
} | sort >"$work/expected.list"

if ! wrestool -l "$exe" >"$work/wrestool.list" || [[ ! -s $work/wrestool.list ]]; then
  # Nothing else can be checked either.
  echo "FAIL: wrestool -l finds no resources in $exe" >&2
  exit 1
fi
# Lines that do not have this shape stay as they are, so they show as extra.
sed -E 's/^--type=([^ ]+) --name=([^ ]+) --language=([^ ]+) .*/\1 \2 \3/' \
  "$work/wrestool.list" | sort >"$work/actual.list"
if ! diff -u --label expected --label "$exe" "$work/expected.list" "$work/actual.list" >&2; then
  fail "the resource list differs (as: type name language)"
fi

# --- The icon: 13 images, as icotool sees the extracted .ico file. ----------
{
  index=1
  for depth in 4 8; do
    for size in 48 32 24 16; do
      echo "--icon --index=$index --width=$size --height=$size --bit-depth=$depth"
      index=$((index + 1))
    done
  done
  echo "--icon --index=$index --width=256 --height=256 --bit-depth=32"
  index=$((index + 1))
  for size in 48 32 24 16; do
    echo "--icon --index=$index --width=$size --height=$size --bit-depth=32"
    index=$((index + 1))
  done
} >"$work/expected.icons"

if wrestool -x -t14 -n128 "$exe" >"$work/tessel.ico" && icotool -l "$work/tessel.ico" \
  >"$work/icotool.list"; then
  # icotool works the palette size out from the images; the directory's own
  # colour count is checked below.
  sed -E 's/ --palette-size=[0-9]+$//' "$work/icotool.list" >"$work/actual.icons"
  if ! diff -u --label expected --label "icotool -l" "$work/expected.icons" \
    "$work/actual.icons" >&2; then
    fail "the icon's images differ"
  fi
else
  fail "cannot extract the group icon 128 as an .ico file"
fi

# The group directory itself: colour count, planes, image IDs and sizes.
wrestool -x --raw -t14 -n128 "$exe" >"$work/group.bin" || fail "cannot extract group icon 128"
for id in $(seq 1 13); do
  wrestool -x --raw -t3 -n"$id" "$exe" >"$work/icon$id.bin" || fail "cannot extract icon $id"
done
if ! python3 - "$work" <<'EOF' >&2; then
import os
import struct
import sys

work = sys.argv[1]
group = open(os.path.join(work, "group.bin"), "rb").read()
if len(group) < 6:
    print(f"the group icon is {len(group)} bytes, too short for its header")
    sys.exit(1)
problems = []
reserved, kind, count = struct.unpack_from("<HHH", group, 0)
if (reserved, kind, count) != (0, 1, 13):
    problems.append(f"directory header is reserved={reserved} type={kind} count={count}, "
                    "expected 0, 1, 13")
for i in range(min(count, (len(group) - 6) // 14)):
    width, height, colors, _, planes, bits, size, image_id = struct.unpack_from(
        "<BBBBHHIH", group, 6 + 14 * i)
    expected_colors = 16 if bits == 4 else 0
    if colors != expected_colors or planes != 1 or image_id != i + 1:
        problems.append(f"entry {i + 1}: colour count {colors}, planes {planes}, id {image_id}; "
                        f"expected {expected_colors}, 1, {i + 1}")
    path = os.path.join(work, f"icon{image_id}.bin")
    image = open(path, "rb").read() if os.path.exists(path) else b""
    if size != len(image):
        problems.append(f"entry {i + 1}: directory says {size} bytes, icon {image_id} has "
                        f"{len(image)}")
    is_png = image.startswith(b"\x89PNG\r\n\x1a\n")
    if (width == 0) != is_png:
        problems.append(f"entry {i + 1} ({width or 256} px): "
                        f"{'PNG' if is_png else 'not PNG'}; only the 256 px image is PNG")
for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
EOF
  fail "the icon directory differs"
fi

# --- The version block. ------------------------------------------------------
if wrestool -x --raw -t16 -n1 "$exe" >"$work/version.bin"; then
  if ! python3 - "$work/version.bin" <<'EOF' >&2; then
import struct
import sys

data = open(sys.argv[1], "rb").read()


def read_node(offset):
    """Returns (key, value bytes, children, wLength) of the node at offset."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    if length < 6 or end > len(data):
        raise ValueError(f"node at {offset} has wLength {length}")
    key_start = key_end = offset + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end + 2 > end:
            raise ValueError(f"node at {offset} has no NUL after its key")
    key = data[key_start:key_end].decode("utf-16-le")
    position = (key_end + 2 + 3) & ~3
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[position:position + value_bytes]
    position = (position + value_bytes + 3) & ~3
    children = []
    while position < end:
        child = read_node(position)
        children.append(child)
        position = (position + child[3] + 3) & ~3
    return key, value, children, length


def text(value):
    return value.decode("utf-16-le").split("\0")[0]


problems = []
try:
    key, fixed, children, _ = read_node(0)
except (ValueError, struct.error) as error:
    print(f"malformed version block: {error}")
    sys.exit(1)
if key != "VS_VERSION_INFO":
    problems.append(f"root key is {key!r}")
fields = struct.unpack("<13I", fixed) if len(fixed) == 52 else None
expected_fixed = {
    0: (0xFEEF04BD, "signature"),
    2: (0x00010000, "file version high"),
    3: (0x00000001, "file version low"),
    4: (0x00010000, "product version high"),
    5: (0x00000001, "product version low"),
    6: (0x3F, "flags mask"),
    7: (0, "flags"),
    8: (0x00040004, "OS"),
    9: (1, "type"),
    10: (0, "subtype"),
    11: (0, "date high"),
    12: (0, "date low"),
}
if fields is None:
    problems.append(f"the fixed part is {len(fixed)} bytes, not 52")
else:
    for index, (expected, name) in expected_fixed.items():
        if fields[index] != expected:
            problems.append(f"fixed {name} is {fields[index]:#x}, expected {expected:#x}")

tables = {}
translation = None
for child_key, _, grandchildren, _ in children:
    if child_key == "StringFileInfo":
        for table_key, _, strings, _ in grandchildren:
            tables[table_key] = {name: text(value) for name, value, _, _ in strings}
    elif child_key == "VarFileInfo":
        for var_key, value, _, _ in grandchildren:
            if var_key == "Translation":
                translation = value

expected_strings = {
    "CompanyName": "TODO: <公司名>",
    "FileDescription": "Tessel",
    "FileVersion": "1.0.0.1",
    "InternalName": "Tessel.exe",
    "LegalCopyright": None,  # any non-empty text
    "OriginalFilename": "Tessel.exe",
    "ProductName": "TODO: <产品名>",
    "ProductVersion": "1.0.0.1",
}
if list(tables) != ["080404b0"]:
    problems.append(f"string tables are {list(tables)}, expected ['080404b0']")
strings = tables.get("080404b0", {})
for name in sorted(set(strings) | set(expected_strings)):
    expected = expected_strings.get(name, "<absent>")
    actual = strings.get(name, "<absent>")
    if expected is None:
        if actual in ("", "<absent>"):
            problems.append(f"{name} is {actual!r}, expected some text")
    elif actual != expected:
        problems.append(f"{name} is {actual!r}, expected {expected!r}")
if translation != struct.pack("<HH", 0x0804, 0x04B0):
    problems.append(f"Translation is {translation.hex() if translation else None}, "
                    "expected 0x0804 0x04B0")
for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
EOF
    fail "the version block differs"
  fi
else
  fail "cannot extract the version block"
fi

# --- The manifest. -----------------------------------------------------------
if wrestool -x --raw -t24 -n1 "$exe" >"$work/manifest.xml"; then
  # One line, so that elements spread over several lines match as a whole.
  manifest=$(tr '\r\n\t' '   ' <"$work/manifest.xml")
  identity=$(grep -oE '<assemblyIdentity[^>]*"Microsoft\.Windows\.Common-Controls"[^>]*>' \
    <<<"$manifest" || true)
  if [[ -z $identity ]]; then
    fail "the manifest has no Microsoft.Windows.Common-Controls dependency"
  else
    for attribute in 'type="win32"' 'version="6\.0\.0\.0"' 'processorArchitecture="x86"' \
      'publicKeyToken="6595b64144ccf1df"' 'language="\*"'; do
      if ! grep -qE "[[:space:]]$attribute" <<<"$identity"; then
        fail "the common-controls dependency lacks $attribute: $identity"
      fi
    done
  fi
  if ! grep -qE '<requestedExecutionLevel[[:space:]]+level="asInvoker"[[:space:]]+uiAccess="false"' \
    <<<"$manifest"; then
    fail "the manifest does not request asInvoker without uiAccess"
  fi
  if ! grep -qE '<dpiAware[^>]*>[[:space:]]*true[[:space:]]*</dpiAware>' <<<"$manifest"; then
    fail "the manifest does not declare dpiAware true"
  fi
else
  fail "cannot extract the manifest"
fi

if ((failures > 0)); then
  echo "$failures resource check(s) failed for $exe" >&2
  exit 1
fi
echo "resources of $exe: as expected"
