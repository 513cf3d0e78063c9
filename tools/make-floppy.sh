#!/usr/bin/env bash
# make-floppy.sh DIR IMAGE [DISKID [SETUP_DAT]]: writes the distribution
# folder DIR (setup.dat at its root, files and subfolders) onto a new 1.44 MB
# FAT12 floppy image IMAGE with mtools, for emulators and real drives. A later
# diskette of a set holds no setup.dat: SETUP_DAT then names the first one's.
#
# Volume label: the description of DISKID in [Source Media Descriptions] of
# SETUP_DAT (default DIR/setup.dat); DISKID defaults to the disk id of the
# first [WindowsDir] line, else 1. A FAT label holds 11 characters, so the description is upper-cased,
# every character FAT forbids in a label (control and non-ASCII characters and
# " * + , . / : ; < = > ? [ \ ] |) becomes "_", and it is cut at 11 characters
# with surrounding spaces removed. No description: the image has no label.
#
# The image is written to a temporary file beside IMAGE and renamed only when
# everything is on it, so a failure leaves no image behind. An existing IMAGE
# is replaced only when it is a 1.44 MB FAT12 image (exactly 1474560 bytes,
# FAT12 boot sector); anything else is left alone.
set -euo pipefail
export MTOOLS_SKIP_CHECK=1 LC_ALL=C

readonly FLOPPY_BYTES=1474560
readonly DATA_CLUSTERS=2847   # 2880 sectors less boot sector, 2 FATs of 9, root of 14
readonly ROOT_ENTRIES=224
me=make-floppy.sh

die() { echo "$me: $*" >&2; exit 1; }

# ini_value FILE SECTION KEY: the value as the profile reader returns it:
# names compared without case, blanks and one pair of quotes around it removed.
ini_value() {
  tr -d '\r' <"$1" | awk -v sec="$2" -v key="$3" '
    function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
    /^[ \t]*;/ { next }
    /^[ \t]*\[/ { s = $0; sub(/^[ \t]*\[/, "", s); sub(/\].*/, "", s)
                  inside = tolower(trim(s)) == tolower(sec); next }
    inside && index($0, "=") {
      k = trim(substr($0, 1, index($0, "=") - 1))
      if (tolower(k) != tolower(key)) next
      v = trim(substr($0, index($0, "=") + 1))
      if (v ~ /^".*"$/ && length(v) >= 2) v = substr(v, 2, length(v) - 2)
      print v; found = 1; exit
    }
    END { exit found ? 0 : 1 }'
}

# first_disk_id FILE: first character of the first [WindowsDir] line, or 1.
first_disk_id() {
  local id
  id=$(tr -d '\r' <"$1" | awk '
    { sub(/;.*/, "") }
    /^[ \t]*\[/ { inside = $0 ~ /^[ \t]*\[WindowsDir\]/; next }
    inside && $0 ~ /[^ \t]/ { sub(/^[ \t]+/, ""); print substr($0, 1, 1); exit }')
  case "$id" in ''|,) echo 1 ;; *) echo "$id" ;; esac
}

# fat_label TEXT: TEXT made into a FAT volume label (see the top).
fat_label() {
  local l
  l=$(printf '%s' "$1" | tr 'a-z' 'A-Z' | tr -c ' !#$%&'\''()@^_`{}~0-9A-Z-' '_')
  l="${l#"${l%%[! ]*}"}"
  l="${l:0:11}"
  printf '%s' "${l%"${l##*[! ]}"}"
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
[ -f "$setup_dat" ] || [ $# = 4 ] ||
  die "$dir holds no setup.dat; not a distribution folder (a later diskette: give DISKID and the first diskette's setup.dat)"
[ -f "$setup_dat" ] || die "$setup_dat: no such file"
[ -d "$(dirname "$image")" ] || die "$(dirname "$image"): no such folder for $image"
[ ! -e "$image" ] || is_our_floppy "$image" ||
  die "$image exists and is not a 1.44 MB FAT12 floppy image; not overwriting it"
case "$(realpath -m "$image")/" in
  "$(realpath "$dir")"/*) die "$image lies inside $dir; it would be copied onto itself" ;;
esac
[ -z "$(find "$dir" -name $'*\n*' -print -quit)" ] || die "$dir holds a name with a line break"

disk_id="${3:-$(first_disk_id "$setup_dat")}"
label=""
if description=$(ini_value "$setup_dat" "Source Media Descriptions" "$disk_id"); then
  label=$(fat_label "$description")
  echo "label: \"$label\" (disk $disk_id: \"$description\")"
else
  echo "label: none (setup.dat has no description of disk $disk_id)"
fi

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
