#!/usr/bin/env bash
# Compiles one Delphi unit with Free Pascal in Delphi mode against the
# stand-in library units of tests/delphi (System.JSON, REST.Client, ...), and
# checks the two Delphi limits that Free Pascal does not enforce: a source line
# holds at most 1023 characters, a string literal at most 255 (counted between
# its quotes, a doubled quote counting once; quoted runs joined by #nn
# characters without a blank, as in 'a'#13#10'b', count as one literal).
#
# Free Pascal 3.2.2 knows no attributes, so the JSONName attributes of the
# fields ([JSONName('key')], unit REST.Json.Types) are checked here and left
# out of the copy that fpc compiles (as empty lines, so that fpc's line
# numbers stay those of the unit): each stands alone on its line with a
# literal as its argument (quoted pieces with inner quotes doubled, #nn
# characters, joined by "+"), on the line right above a field declaration
# ("Name : Type;"), in a unit whose uses clause names REST.Json.Types.
#
# Usage: compile_unit.sh UNIT.pas
#
# Prints the limit and attribute failures ("file(line) Error: ...") and fpc's
# errors, warnings and notes. Everything fpc writes goes to a temporary folder
# that is removed afterwards, so nothing is left beside the unit. Exit status:
# 0 when the unit compiled and kept both limits and the attribute rules, 1 when
# it did not, 2 when the arguments are wrong or fpc is missing.
set -uo pipefail

if [ "$#" -ne 1 ]; then
  echo "usage: $(basename "$0") UNIT.pas" >&2
  exit 2
fi
if ! command -v fpc >/dev/null 2>&1; then
  echo "fpc not found (Debian package fpc)" >&2
  exit 2
fi
unit_path="$1"
if [ ! -f "$unit_path" ]; then
  echo "$unit_path: no such file" >&2
  exit 2
fi

root="$(cd "$(dirname "$0")/.." && pwd)"
stubs="$root/tests/delphi"
unit_dir="$(cd "$(dirname "$unit_path")" && pwd)"
unit_file="$unit_dir/$(basename "$unit_path")"

# The limits, checked on bytes: a unit without byte-order mark is read by
# Delphi in the ANSI code page, one character per byte. A CR before the line
# end belongs to the line break. Comments ({ }, (* *), //) are skipped when
# looking for literals, so an apostrophe inside a comment starts nothing.
limits_output="$(LC_ALL=C awk -v name="$(basename "$unit_path")" '
  BEGIN { comment = "" }
  {
    line = $0
    sub(/\r$/, "", line)
    if (length(line) > 1023)
      printf "%s(%d) Error: line of %d characters, Delphi allows at most 1023\n", name, NR, length(line)
    n = length(line)
    i = 1
    while (i <= n) {
      c = substr(line, i, 1)
      if (comment == "{") {
        if (c == "}") comment = ""
        i++
      } else if (comment == "(*") {
        if (c == "*" && substr(line, i + 1, 1) == ")") { comment = ""; i += 2 } else i++
      } else if (c == "/" && substr(line, i + 1, 1) == "/") {
        break
      } else if (c == "{") {
        comment = "{"; i++
      } else if (c == "(" && substr(line, i + 1, 1) == "*") {
        comment = "(*"; i += 2
      } else if (c == "'\''" || (c == "#" && substr(line, i + 1, 1) ~ /[0-9$]/)) {
        # One literal: quoted runs and #nn characters written without a blank
        # between them; each #nn counts as one character.
        start = i
        count = 0
        while (i <= n) {
          c = substr(line, i, 1)
          if (c == "#") {
            i++
            while (i <= n && substr(line, i, 1) ~ /[0-9A-Fa-f$]/) i++
            count++
          } else if (c == "'\''") {
            i++
            while (i <= n) {
              c = substr(line, i, 1)
              if (c == "'\''") {
                if (substr(line, i + 1, 1) == "'\''") { count++; i += 2 } else break
              } else { count++; i++ }
            }
            i++
          } else {
            break
          }
        }
        if (count > 255)
          printf "%s(%d,%d) Error: string literal of %d characters, Delphi allows at most 255\n", name, NR, start, count
      } else {
        i++
      }
    }
  }
' "$unit_file")"
limits_ok=1
if [ -n "$limits_output" ]; then
  echo "$limits_output"
  limits_ok=0
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/compile_unit.XXXXXX")"
trap 'rm -rf "$work"' EXIT
stripped="$work/$(basename "$unit_path")"

# The JSONName attributes: checked, and blanked in the copy for fpc.
attributes_output="$(LC_ALL=C awk -v name="$(basename "$unit_path")" -v copy="$stripped" -v q="'" '
  function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
  BEGIN {
    piece = "(" q "([^" q "]|" q q ")*" q "|#[0-9]+|#\\$[0-9A-Fa-f]+)"
    literal = piece "(( *[+] *)?" piece ")*"
    good = "^[[]JSONName(Attribute)?[(]" literal "[)][]]$"
    field = "^&?[A-Za-z_][A-Za-z0-9_]*[ ]*:[ ]*[^ ;][^;]*;$"
    pending = 0
    uses_types = 0
  }
  {
    line = $0
    sub(/\r$/, "", line)
    text = trim(line)
    if (pending && text !~ field)
      printf "%s(%d) Error: JSONName attribute not on the line right above a field\n", name, pending
    pending = 0
    lower = tolower(text)
    if (lower ~ /^\/\//) {
      # A comment line names nothing.
    } else if (lower ~ /^[[][ \t]*jsonname/) {
      if (text !~ good)
        printf "%s(%d) Error: JSONName attribute not of the form [JSONName(%skey%s)]: %s\n", name, NR, q, q, text
      else if (!uses_types)
        printf "%s(%d) Error: JSONName attribute without REST.Json.Types in the uses clause\n", name, NR
      pending = NR
      $0 = (/\r$/ ? "\r" : "")
    } else if (lower ~ /(^|[ ,])rest[.]json[.]types([ ,;]|$)/) {
      uses_types = 1
    }
    print > copy
  }
  END {
    if (pending) printf "%s(%d) Error: JSONName attribute not on the line right above a field\n", name, pending
  }
' "$unit_file")"
attributes_ok=1
if [ -n "$attributes_output" ]; then
  echo "$attributes_output"
  attributes_ok=0
fi

# -v0 -vewn: errors, warnings and notes only, without the banner and the
# progress lines; -FU/-FE send every .ppu and .o into the temporary folder.
(cd "$work" && fpc -Mdelphi -l- -v0 -vewn -FU"$work" -FE"$work" -Fu"$stubs" "$stripped")
fpc_status=$?

if [ "$fpc_status" -eq 0 ] && [ "$limits_ok" -eq 1 ] && [ "$attributes_ok" -eq 1 ]; then
  exit 0
fi
exit 1
