#!/usr/bin/env bash
# make-floppy.sh DIR IMAGE [DISKID [SETUP_DAT]]: writes the diskette folder
# DIR (files and subfolders) onto a new 1.44 MB FAT12 floppy image IMAGE with
# mtools, for emulators and real drives. The first diskette of a set holds
# setup.dat at its root; a later one is made with DISKID and SETUP_DAT, the
# first diskette's setup.dat, which labels it.
#
# Volume label: the description of DISKID in SETUP_DAT (default DIR/setup.dat)
# that setup.exe's diskette prompts show, as setupcheck plans the set; DISKID
# defaults to the disk of the first file setupcheck plans. A FAT label holds
# 11 characters, so the description is upper-cased, every character FAT
# forbids in a label (control and non-ASCII characters and
# " * + , . / : ; < = > ? [ \ ] |) becomes "_", and it is cut at 11 characters
# with surrounding spaces removed. No description, or no file planned on that
# disk: the image has no label.
#
# setupcheck is the native build's (build/native/setupcheck), or the one
# SETUPCHECK names.
#
# The image is written to a temporary file beside IMAGE and renamed only when
# everything is on it, so a failure leaves no image behind. An existing IMAGE
# is replaced only when it is a 1.44 MB FAT12 image (exactly 1474560 bytes,
# FAT12 boot sector); anything else is left alone.
set -euo pipefail
export MTOOLS_SKIP_CHECK=1 LC_ALL=C

source "$(dirname "$0")/common.sh"
# 2880 sectors less the boot sector, 2 FATs of 9 and a root of 14.
DATA_CLUSTERS=$(cxx_constant kDisketteClusters)
readonly FLOPPY_BYTES=1474560 DATA_CLUSTERS ROOT_ENTRIES=224
me=make-floppy.sh
setupcheck="${SETUPCHECK:-$ROOT/build/native/setupcheck}"

die() { echo "$me: $*" >&2; exit 1; }

# disk_label PLAN_JSON [DISKID]: from setupcheck's plan, two lines: the FAT
# label of the disk (see the top; empty for none) and what it was made from.
disk_label() {
  python3 - "$@" <<'EOF'
import json, sys
plan = json.load(open(sys.argv[1], encoding="utf-8"))
asked = sys.argv[2:]
files = [f for f in plan["files"] if not asked or f["disk_id"] in asked]
disk = files[0]["disk_id"] if files else (asked or ["1"])[0]
# A prompt for a disk id without a description shows the label of the list's
# previous prompt, another diskette's: no label of this one.
undescribed = any('disk id "%s" has no label' % disk in f["text"] for f in plan["findings"])
if not files or undescribed:
    why = "lists no file on" if not files else "has no description of"
    print("\nlabel: none (setup.dat %s disk %s)" % (why, disk))
else:
    text = files[0]["label"]
    allowed = " !#$%&'()@^_`{}~-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    label = "".join(c.upper() if c.isascii() and c.upper() in allowed else "_" for c in text)
    label = label.lstrip(" ")[:11].rstrip(" ")
    print('%s\nlabel: "%s" (disk %s: "%s")' % (label, label, disk, text))
EOF
}

# is_our_floppy FILE: 1474560 bytes with a FAT12 boot sector.
is_our_floppy() {
  [ -f "$1" ] && [ "$(stat -c %s "$1")" = "$FLOPPY_BYTES" ] &&
    [ "$(dd if="$1" bs=1 skip=54 count=5 2>/dev/null)" = FAT12 ]
}

# plan DIR: checks the names and prints "clusters root-entries files bytes"
# for the copy of DIR as mtools lays it out: 512-byte clusters, one directory
# entry per name that fits 8.3 in one case, else one more per 13 characters.
plan() {
  find -L "$1" -mindepth 1 -printf '%y %s %P\n' | awk -v dir="$1" '
    function fail(msg) { print "'"$me"': " dir "/" path ": " msg > "/dev/stderr"; bad = 1 }
    function onecase(s) { return s ~ /^[A-Z0-9$%'"'"'`_@~!(){}^#&-]+$/ ||
                                 s ~ /^[a-z0-9$%'"'"'`_@~!(){}^#&-]+$/ }
    function entries(name,   dot, base, ext) {
      dot = index(name, "."); base = name; ext = ""
      if (dot) { base = substr(name, 1, dot - 1); ext = substr(name, dot + 1) }
      if (length(base) <= 8 && length(ext) <= 3 && onecase(base) &&
          (ext == "" ? dot == 0 : onecase(ext)))
        return 1
      return 1 + int((length(name) + 12) / 13)
    }
    {
      type = $1; size = $2; path = substr($0, length($1 $2) + 3)
      parent = path; name = path
      if (sub(/\/[^\/]*$/, "", parent)) sub(/.*\//, "", name); else parent = ""
      if (type != "f" && type != "d") { fail("neither a file nor a folder"); next }
      if (name ~ /[\001-\037"*:<>?\\|]/) { fail("name not allowed on FAT"); next }
      if (seen[parent SUBSEP tolower(name)]++) { fail("name differs from another only in case"); next }
      used[parent] += entries(name)
      if (type == "d") folders[path] = 1
      else { clusters += int((size + 511) / 512); files++; bytes += size }
    }
    END {
      if (bad) exit 1
      for (f in folders) clusters += int((used[f] + 2 + 15) / 16)
      print clusters + 0, used[""] + 0, files + 0, bytes + 0
    }'
}

# too_big DIR IMAGE CLUSTERS FILES BYTES: the failure message for a full floppy.
too_big() {
  {
    echo "$me: $1 does not fit on the 1.44 MB floppy $2:"
    echo "  its $4 files hold $5 bytes and need $3 clusters of 512 bytes" \
         "($(($3 * 512)) bytes) with their folders;"
    echo "  the floppy holds $DATA_CLUSTERS clusters ($((DATA_CLUSTERS * 512)) bytes). Largest files:"
    find -L "$1" -type f -printf '%s %P\n' | sort -rn | head -n 5 |
      awk '{ s = $1; sub(/^[0-9]+ /, ""); printf "    %s  %d bytes\n", $0, s }'
  } >&2
  exit 1
}

[ $# -ge 2 ] && [ $# -le 4 ] || { echo "usage: $me DIR IMAGE [DISKID [SETUP_DAT]]" >&2; exit 2; }
dir="${1%/}"; image=$2
[ -n "$dir" ] || dir=/
setup_dat="${4:-$dir/setup.dat}"
[ -d "$dir" ] || die "$dir: no such folder"
[ -f "$setup_dat" ] || die "$setup_dat: no such file; $dir is not a first diskette, name its setup.dat"
[ -d "$(dirname "$image")" ] || die "$(dirname "$image"): no such folder for $image"
[ ! -e "$image" ] || is_our_floppy "$image" ||
  die "$image exists and is not a 1.44 MB FAT12 floppy image; not overwriting it"
case "$(realpath -m "$image")/" in
  "$(realpath "$dir")"/*) die "$image lies inside $dir; it would be copied onto itself" ;;
esac
[ -z "$(find "$dir" -name $'*\n*' -print -quit)" ] || die "$dir holds a name with a line break"

[ -x "$setupcheck" ] || die "$setupcheck: no such program; it reads setup.dat. Build it:
  cmake --preset native && cmake --build --preset native --target setupcheck
or name another in SETUPCHECK"

# setupcheck plans setup.dat alone, in a folder of its own: only the labels
# are wanted, and they do not depend on where the files are.
plan_dir=$(mktemp -d)
trap 'rm -rf "$plan_dir"' EXIT
mkdir "$plan_dir/set"
cp "$setup_dat" "$plan_dir/set/setup.dat"
"$setupcheck" --json "$plan_dir/set" >"$plan_dir/plan.json" || [ $? -le 2 ] ||
  die "setupcheck could not plan $setup_dat"
{ IFS= read -r label && IFS= read -r made_from; } < <(disk_label "$plan_dir/plan.json" "${@:3:1}") ||
  die "setupcheck gave no plan of $setup_dat"
rm -rf "$plan_dir"
echo "$made_from"

read -r need root_used files bytes < <(plan "$dir") || die "$dir cannot go on a FAT floppy as it is"
[ -n "$need" ] || die "$dir cannot go on a FAT floppy as it is"
[ "$need" -le "$DATA_CLUSTERS" ] || too_big "$dir" "$image" "$need" "$files" "$bytes"
[ $((root_used + 1)) -le $ROOT_ENTRIES ] ||
  die "$dir has too many names at its root: they need $root_used of the $((ROOT_ENTRIES - 1)) free root entries"
echo "$files files, $bytes bytes, $need of $DATA_CLUSTERS clusters"

tmp=$(mktemp "$(dirname "$image")/.$(basename "$image").XXXXXX")
trap 'rm -f "$tmp"' EXIT
truncate -s "$FLOPPY_BYTES" "$tmp"
mformat -i "$tmp" -f 1440 :: </dev/null || die "mformat could not format $tmp"
if [ -n "$label" ]; then
  mlabel -i "$tmp" "::$label" </dev/null || die "mlabel could not set the label \"$label\""
fi
while IFS= read -r -d '' entry; do
  mcopy -s -m -Q -i "$tmp" "$entry" ::/ </dev/null ||
    die "mcopy could not copy $entry onto the floppy ($files files, $bytes bytes in $dir); no image written"
done < <(find "$dir" -mindepth 1 -maxdepth 1 -print0 | sort -z)
mv -f "$tmp" "$image"
trap - EXIT
echo "wrote $image"
mdir -/ -i "$image" ::
