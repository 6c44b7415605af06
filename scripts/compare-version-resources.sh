#!/usr/bin/env bash
# Holds our version-resource reader against an independent one (python3-pefile) on real Windows
# PE files, and reports every file where the two disagree.
#
#   scripts/compare-version-resources.sh [FILE|FOLDER]...
#
# Without arguments it takes the PE files of four Debian packages, fetched with `apt-get download`
# into a temporary folder: libwine (64-bit DLLs and programs), nsis-common (32-bit plugins and
# stubs), libz-mingw-w64 and mingw-w64-i686-dev (32- and 64-bit DLLs). The 32-bit Wine DLLs
# (libwine:i386) make a larger 32-bit sample where the i386 package lists are at hand. Needs python3-pefile (apt) and builds version_dump in $QUAVIK_BUILD (default
# build-ver). Compared per file: whether a version resource is found, the fixed file and product
# versions, the translation table, and the ten strings of the string table the first
# translation names (040904E4 without one), cut to 255 bytes between characters as the record
# keeps them. Exits 1 when any file disagrees.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUAVIK_BUILD:-$root/build-ver}"
python=/usr/bin/python3

if ! "$python" -c 'import pefile' 2>/dev/null; then
  echo "compare-version-resources: needs python3-pefile (apt-get install python3-pefile)" >&2
  exit 2
fi
[[ -f "$build/CMakeCache.txt" ]] || cmake -S "$root" -B "$build" -DQUAVIK_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target version_dump >/dev/null
dump="$build/tests/platform/version_dump"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
inputs=("$@")
if [[ ${#inputs[@]} -eq 0 ]]; then
  (cd "$work" && apt-get download libwine nsis-common libz-mingw-w64 mingw-w64-i686-dev >/dev/null 2>&1) || {
    echo "compare-version-resources: apt-get download failed" >&2
    exit 2
  }
  for deb in "$work"/*.deb; do
    dpkg-deb -x "$deb" "$work/files"
  done
  inputs=("$work/files")
fi

# Every PE file among the inputs.
find "${inputs[@]}" -type f \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.sys' \
  -o -iname '*.ocx' -o -iname '*.drv' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.ax' \
  -o -iname '*.tlb' -o -iname '*.efi' \) -print0 | sort -z >"$work/list"
xargs -0 -n 200 "$dump" <"$work/list" >"$work/ours.txt"

"$python" - "$work/list" "$work/ours.txt" <<'PY'
import sys
import pefile

KEYS = ["FileVersion", "FileDescription", "InternalName", "CompanyName", "LegalCopyright",
        "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"]


def cut(text):
    """The record keeps at most 255 bytes, cut between characters."""
    data = text.encode("utf-8", "replace")
    if len(data) <= 255:
        return text
    data = data[:255]
    while data and (data[-1] & 0xC0) == 0x80:
        data = data[:-1]
    if data and data[-1] >= 0xC0:
        data = data[:-1]
    return data.decode("utf-8", "replace")


def text(value):
    if isinstance(value, bytes):
        value = value.decode("utf-8", "replace")
    return value.split("\0", 1)[0]


def theirs(path):
    try:
        pe = pefile.PE(path, fast_load=True)
        pe.parse_data_directories(
            directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    except pefile.PEFormatError:
        return {"result": "0"}
    infos = getattr(pe, "FileInfo", None)
    fixed = getattr(pe, "VS_FIXEDFILEINFO", None)
    if not fixed:
        return {"result": "0"}
    # pefile parses every version resource; take the one a Chinese system picks, as ours does:
    # resource 1 (else the first), language neutral, Chinese (PRC), US English (else the first).
    found = []
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id == 16 and hasattr(kind, "directory"):
            for name in kind.directory.entries:
                for language in getattr(getattr(name, "directory", None), "entries", []):
                    found.append((name.id, language.id))
    choice = 0
    if len(found) == len(fixed):
        names = [n for n, _ in found]
        name = 1 if 1 in names else names[0]
        languages = [l for n, l in found if n == name]
        language = next((l for l in (0x0000, 0x0804, 0x0409) if l in languages), languages[0])
        choice = found.index((name, language))
    view = {"result": "1"}
    f = fixed[choice]
    view["Fixed"] = "%d.%d.%d.%d/%d.%d.%d.%d" % (
        f.FileVersionMS >> 16, f.FileVersionMS & 0xFFFF, f.FileVersionLS >> 16,
        f.FileVersionLS & 0xFFFF, f.ProductVersionMS >> 16, f.ProductVersionMS & 0xFFFF,
        f.ProductVersionLS >> 16, f.ProductVersionLS & 0xFFFF)
    translations, tables = [], {}
    for entry in (infos[choice] if infos and choice < len(infos) else []):
        if entry.Key == b"VarFileInfo":
            for var in entry.Var:
                value = var.entry.get(b"Translation") or var.entry.get("Translation")
                if value:
                    words = value.split()
                    translations += ["%04x:%04x" % (int(words[i], 16), int(words[i + 1], 16))
                                     for i in range(0, len(words) - 1, 2)]
        if entry.Key == b"StringFileInfo":
            for table in entry.StringTable:
                tables.setdefault(text(table.LangID).lower(), table.entries)
    view["Translation"] = " ".join(translations)
    key = translations[0].replace(":", "") if translations else "040904e4"
    strings = {text(k).lower(): text(v) for k, v in tables.get(key, {}).items()}
    for name in KEYS:
        view[name] = cut(strings.get(name.lower(), ""))
    return view


def ours(dump_path):
    views, current = {}, None
    with open(dump_path, encoding="utf-8", errors="replace") as stream:
        for line in stream:
            key, _, value = line.rstrip("\n").partition("=")
            if key == "file":
                current = views.setdefault(value, {})
            elif current is not None:
                current[key] = value
    return views


paths = [p.decode() for p in open(sys.argv[1], "rb").read().split(b"\0") if p]
mine = ours(sys.argv[2])
with_version = disagree = 0
kinds = {}
for path in paths:
    a, b = mine.get(path, {}), theirs(path)
    with_version += b.get("result") == "1"
    if b.get("result") == "1":
        with open(path, "rb") as stream:
            head = stream.read(4096)
        kind = "PE32+" if b"\x0b\x02" in head[head.find(b"PE\0\0") + 24:][:2] else "PE32"
        kinds[kind] = kinds.get(kind, 0) + 1
    fields = ["result"] + ([] if b.get("result") != "1" else ["Fixed", "Translation"] + KEYS)
    diffs = [(f, a.get(f), b.get(f)) for f in fields if a.get(f) != b.get(f)]
    if diffs:
        disagree += 1
        print("DIFFERENT %s" % path)
        for field, x, y in diffs:
            print("  %s: ours=%r pefile=%r" % (field, x, y))
print("compared %d PE files, %d with a version resource (%s): %d agree, %d disagree"
      % (len(paths), with_version, ", ".join("%d %s" % (n, k) for k, n in sorted(kinds.items())),
         len(paths) - disagree, disagree))
sys.exit(1 if disagree else 0)
PY
