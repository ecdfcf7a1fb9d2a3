#!/usr/bin/env bash
# Checks what the Windows builds carry: the four dialog templates exactly as the program expects
# them, the icon group, the manifest, the version resource, the PE format (PE32 for i686, large-
# address aware, PE32+ for x86_64), the GUI subsystem and imports from system DLLs only, so that
# each .exe runs alone. The right-click verb's helper, rebootdel-menu.exe, carries only its
# manifest (no elevation asked) and its version, and is a GUI-subsystem program too, so that no
# console opens for it.
# Fails on the first problem. `make dist` runs it on the three files it puts in build/dist.
#
# Usage: resources.sh [exe ...]   (default: rebootdel.exe and rebootdel-menu.exe of build/win32
#                                  and build/win64; an exe named *-menu.exe is taken as the helper)
set -euo pipefail
cd "$(dirname "$0")/../.."

fail() {
    echo "resources: FAIL: $*" >&2
    exit 1
}

for tool in wrestool icotool python3 i686-w64-mingw32-objdump x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run make setup)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The committed icon must be the one the drawing script makes.
python3 scripts/make_icon.py "$work/drawn.ico" >/dev/null
cmp -s "$work/drawn.ico" src/resources/app.ico ||
    fail "src/resources/app.ico differs from what scripts/make_icon.py draws; rerun the script"

# Extracts one resource's raw bytes to a file; fails when the resource is missing.
extract() {
    local exe=$1 type=$2 name=$3 out=$4
    wrestool -x --raw --type="$type" --name="$name" "$exe" >"$out" 2>/dev/null || true
    [ -s "$out" ] || fail "$exe: no resource of type $type named $name"
}

check_exe() {
    local exe=$1 machine=$2 kind=program
    case "$exe" in *-menu.exe) kind=helper ;; esac
    [ -f "$exe" ] || fail "$exe does not exist; build it first"
    local dir="$work/$machine-$kind"
    mkdir -p "$dir"

    if [ "$kind" = program ]; then
        extract "$exe" 5 1000 "$dir/dialog1000.bin"
        extract "$exe" 5 1100 "$dir/dialog1100.bin"
        extract "$exe" 5 1200 "$dir/dialog1200.bin"
        extract "$exe" 5 1300 "$dir/dialog1300.bin"
        extract "$exe" 14 129 "$dir/group129.bin"
    elif wrestool -l "$exe" 2>/dev/null | grep -qE 'type=(5|14|RT_DIALOG|RT_GROUP_ICON)[ ,]'; then
        fail "$exe: the helper shows nothing, yet carries a dialog or an icon"
    fi
    extract "$exe" 24 1 "$dir/manifest.xml"
    extract "$exe" 16 1 "$dir/version.bin"
    python3 - "$exe" "$dir" "$kind" <<'PY' || fail "$exe: resources differ (see above)"
import struct
import sys
import xml.etree.ElementTree as ET

exe, folder, kind = sys.argv[1], sys.argv[2], sys.argv[3]
problems = []

ATOMS = {0x80: "button", 0x81: "edit", 0x82: "static"}
BUTTON = 0x50010000  # WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON
DIALOGS = {
    1000: dict(
        # Resizable and maximizable (WS_THICKFRAME, WS_MAXIMIZEBOX).
        style=0x10CF0840, ex_style=0, help_id=0, pos=(-2, -13), size=(441, 76),
        controls=[
            (1001, "button", "添加", (389, 3, 48, 12), BUTTON, 0),
            # Report view, one row chosen at a time, cells asked of the dialog (owner data).
            (1002, "syslistview32", "", (3, 3, 383, 72), BUTTON | 0x1005, 0x200),
            (1003, "button", "删除", (389, 18, 48, 12), BUTTON, 0),
            (1004, "button", "批量添加", (389, 33, 48, 12), BUTTON, 0),
            (1005, "button", "清空列表", (389, 48, 48, 12), BUTTON, 0),
            (1006, "button", "重启删除", (389, 63, 48, 12), BUTTON, 0),
        ],
    ),
    1100: dict(
        style=0x10C80840, ex_style=0, help_id=0, pos=(10, 10), size=(286, 142),
        controls=[
            (1101, "edit", "", (3, 3, 280, 120), 0x500110C4, 0x200),
            (1102, "button", "确定", (249, 126, 33, 12), BUTTON, 0),
            (1103, "button", "粘贴", (210, 126, 33, 12), BUTTON, 0),
        ],
    ),
    # The restart's to-do list, resizable and maximizable: report view, several rows chosen, shown
    # while a button has focus, cells asked of the dialog (owner data); under the buttons, the line
    # that says a cancel waits (SS_NOPREFIX).
    1200: dict(
        style=0x10CD0840, ex_style=0, help_id=0, pos=(0, 0), size=(400, 150),
        controls=[
            (1201, "syslistview32", "", (3, 3, 342, 144), BUTTON | 0x1009, 0x200),
            (1202, "button", "取消删除", (348, 3, 48, 12), BUTTON, 0),
            (2, "button", "关闭", (348, 18, 48, 12), BUTTON, 0),
            (1203, "static", "", (348, 36, 48, 60), 0x50000080, 0),
        ],
    ),
    # The last restart's results, resizable and maximizable: a line of text over the list and one
    # under it (SS_NOPREFIX), the list in report view, one row chosen, shown while the button has
    # focus, cells asked of the dialog (owner data).
    1300: dict(
        style=0x10CD0840, ex_style=0, help_id=0, pos=(0, 0), size=(440, 170),
        controls=[
            (1301, "static", "", (3, 3, 382, 18), 0x50000080, 0),
            (1302, "syslistview32", "", (3, 24, 382, 130), BUTTON | 0x100D, 0x200),
            (1303, "static", "", (3, 157, 382, 10), 0x50000080, 0),
            (2, "button", "关闭", (388, 24, 48, 12), BUTTON, 0),
        ],
    ),
}


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def align(self, n):
        self.at = (self.at + n - 1) // n * n

    def sz_or_ord(self):
        """A string, or an ordinal when the field starts with 0xFFFF."""
        if self.take("H") == 0xFFFF:
            return self.take("H")
        self.at -= 2
        return self.string()

    def string(self):
        end = self.at
        while self.data[end : end + 2] != b"\0\0":
            end += 2
        text = self.data[self.at : end].decode("utf-16-le")
        self.at = end + 2
        return text


def check_dialog(dialog_id, expected):
    r = Reader(open(f"{folder}/dialog{dialog_id}.bin", "rb").read())
    where = f"dialog {dialog_id}"
    version, signature = r.take("HH")
    if (version, signature) != (1, 0xFFFF):
        problems.append(f"{where}: not an extended template")
        return
    help_id, ex_style, style, count, x, y, cx, cy = r.take("IIIHhhhh")
    menu, window_class, caption = r.sz_or_ord(), r.sz_or_ord(), r.sz_or_ord()
    got = dict(style=style, ex_style=ex_style, help_id=help_id, pos=(x, y), size=(cx, cy))
    for key, value in got.items():
        if value != expected[key]:
            show = hex if key.endswith("style") else repr
            problems.append(f"{where}: {key} is {show(value)}, expected {show(expected[key])}")
    # An empty string and the ordinal 0 both mean "none" here.
    if menu not in ("", 0) or window_class not in ("", 0) or caption != "":
        problems.append(f"{where}: menu {menu!r}, class {window_class!r}, caption {caption!r}")
    point, weight, italic, charset = r.take("HHBB")
    face = r.string()
    if (point, weight, italic, charset, face) != (8, 0, 0, 0, "MS Sans Serif"):
        problems.append(f"{where}: font {point} {weight} {italic} {charset} {face!r}")
    controls = []
    for _ in range(count):
        r.align(4)
        c_help, c_ex, c_style, cx0, cy0, cw, ch, c_id = r.take("IIIhhhhI")
        c_class, c_text = r.sz_or_ord(), r.sz_or_ord()
        # Class names are case-insensitive; the predefined classes may be stored as atoms.
        c_class = ATOMS.get(c_class, c_class) if isinstance(c_class, int) else c_class.lower()
        extra = r.take("H")
        r.at += extra
        controls.append((c_id, c_class, c_text, (cx0, cy0, cw, ch), c_style, c_ex))
    for index in range(max(len(controls), len(expected["controls"]))):
        have = controls[index] if index < len(controls) else None
        want = expected["controls"][index] if index < len(expected["controls"]) else None
        if have != want:
            problems.append(f"{where}: control {index + 1} is {have!r}, expected {want!r}")


if kind == "program":
    for dialog_id, expected in DIALOGS.items():
        check_dialog(dialog_id, expected)

    # The icon group: 32, 48, 64 and 128 pixels, 32 bits per pixel each.
    r = Reader(open(f"{folder}/group129.bin", "rb").read())
    reserved, group_type, count = r.take("HHH")
    images = []
    for _ in range(count):
        width, height, colours, _, planes, bits, size, icon_id = r.take("BBBBHHIH")
        images.append((width or 256, height or 256, bits))
    if group_type != 1 or images != [(32, 32, 32), (48, 48, 32), (64, 64, 32), (128, 128, 32)]:
        problems.append(f"icon group 129: type {group_type}, images {images}")

# The manifest: common controls 6.0.0.0, a request for administrator rights, Windows 7 to 11, and
# UTF-8 as the code page, long paths and DPI awareness. The helper's: Windows 7 to 11 and the
# rights of the user who starts it, nothing else.
V1, V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SUPPORTED_OS = [
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # Windows 10 and 11
]
SETTINGS = {
    "{http://schemas.microsoft.com/SMI/2019/WindowsSettings}activeCodePage": "UTF-8",
    "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}longPathAware": "true",
    "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware": "true",
}
try:
    root = ET.parse(f"{folder}/manifest.xml").getroot()
    dependencies = [
        (a.get("name"), a.get("version"))
        for a in root.iter(V1 + "assemblyIdentity")
        if a.get("name") == "Microsoft.Windows.Common-Controls"
    ]
    program = kind == "program"
    if dependencies != ([("Microsoft.Windows.Common-Controls", "6.0.0.0")] if program else []):
        problems.append(f"manifest: common controls dependency {dependencies}")
    levels = [(e.get("level"), e.get("uiAccess")) for e in root.iter(V3 + "requestedExecutionLevel")]
    if levels != [("requireAdministrator" if program else "asInvoker", "false")]:
        problems.append(f"manifest: requested execution level {levels}")
    systems = [e.get("Id") for e in root.iter(COMPATIBILITY + "supportedOS")]
    if systems != SUPPORTED_OS:
        problems.append(f"manifest: supported systems {systems}")
    for setting in root.iter(V3 + "windowsSettings"):
        settings = {e.tag: (e.text or "").strip() for e in setting}
        if settings != SETTINGS:
            problems.append(f"manifest: windows settings {settings}")
    if len(list(root.iter(V3 + "windowsSettings"))) != (1 if program else 0):
        problems.append("manifest: not one windowsSettings element")
except ET.ParseError as error:
    problems.append(f"manifest: not well-formed XML ({error})")

# The version resource: VS_FIXEDFILEINFO and the string table, walked as the tree it is.
data = open(f"{folder}/version.bin", "rb").read()
strings = {}
fixed = None


def walk(at, end, depth):
    global fixed
    while at + 6 <= end:
        length, value_length, text_type = struct.unpack_from("<HHH", data, at)
        if length == 0:
            break
        r = Reader(data)
        r.at = at + 6
        key = r.string()
        r.align(4)
        if depth == 0 and key == "VS_VERSION_INFO" and value_length >= 52:
            fixed = struct.unpack_from("<13I", data, r.at)
        if text_type == 1 and value_length:
            strings[key] = data[r.at : r.at + 2 * value_length].decode("utf-16-le").rstrip("\0")
            r.at += 2 * value_length
        else:
            r.at += value_length
        r.align(4)
        walk(r.at, at + length, depth + 1)
        at = (at + length + 3) // 4 * 4


walk(0, len(data), 0)
if fixed is None or fixed[0] != 0xFEEF04BD:
    problems.append("version: no VS_FIXEDFILEINFO")
elif fixed[2:6] != (0x00010000, 0, 0x00010000, 0):
    problems.append("version: file/product version is not 1.0.0.0: " + str(fixed[2:6]))
for key, value in (("FileVersion", "1.0.0.0"), ("ProductVersion", "1.0.0.0"), ("ProductName", "rebootdel")):
    if strings.get(key) != value:
        problems.append(f"version: {key} is {strings.get(key)!r}, expected {value!r}")
if not strings.get("FileDescription"):
    problems.append("version: no FileDescription")

for problem in problems:
    print(f"resources: FAIL: {exe}: {problem}", file=sys.stderr)
sys.exit(1 if problems else 0)
PY

    # The icon the program shows is the committed one, image for image.
    if [ "$kind" = program ]; then
        wrestool -x --type=14 --name=129 "$exe" >"$dir/app.ico" 2>/dev/null
        icotool -l "$dir/app.ico" >"$dir/icons.txt" || fail "$exe: icon group 129 does not extract"
        # (wrestool appends a few bytes after the last image: compare the committed file's length.)
        cmp -s -n "$(stat -c %s src/resources/app.ico)" "$dir/app.ico" src/resources/app.ico ||
            fail "$exe: icon group 129 is not src/resources/app.ico"
    fi

    # PE format, subsystem and imports.
    local objdump=$machine-w64-mingw32-objdump
    "$objdump" -p "$exe" >"$dir/pe.txt"
    grep -q 'Subsystem.*(Windows GUI)' "$dir/pe.txt" || fail "$exe: not a GUI-subsystem program"
    if [ "$machine" = i686 ]; then
        grep -qE '^Magic[[:space:]]+010b' "$dir/pe.txt" || fail "$exe: not a PE32 image"
        [ "$kind" = helper ] || grep -q 'large address aware' "$dir/pe.txt" ||
            fail "$exe: not large-address aware"
    else
        grep -qE '^Magic[[:space:]]+020b' "$dir/pe.txt" || fail "$exe: not a PE32+ image"
    fi
    local dlls
    dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' "$dir/pe.txt" | tr 'A-Z' 'a-z' | sort -u)
    [ -n "$dlls" ] || fail "$exe: no imports found"
    local dll
    for dll in $dlls; do
        case "$dll" in
            kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | shell32.dll | \
                shlwapi.dll | advapi32.dll | msvcrt.dll | ole32.dll | api-ms-win-*.dll) ;;
            *) fail "$exe imports $dll, which is not a system DLL" ;;
        esac
    done
    echo "resources: ok: $exe ($(echo $dlls | tr ' ' ','))"
}

if [ $# -gt 0 ]; then
    for exe in "$@"; do
        case "$(i686-w64-mingw32-objdump -f "$exe" 2>/dev/null | grep -o 'pei-[a-z0-9-]*')" in
            pei-i386) check_exe "$exe" i686 ;;
            *) check_exe "$exe" x86_64 ;;
        esac
    done
else
    check_exe build/win32/rebootdel.exe i686
    check_exe build/win32/rebootdel-menu.exe i686
    check_exe build/win64/rebootdel.exe x86_64
    check_exe build/win64/rebootdel-menu.exe x86_64
fi
