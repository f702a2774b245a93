#!/usr/bin/env bash
# Every quoted #include of the sources, tools, tests, benchmarks and fuzz
# entries against the table of layer edges below: an include may reach its own
# folder or one the table lists for it, never a higher folder or a sibling.
# Headers of Qt (<Q...>) only where the table's last column says so.
# The build stops most upward includes in src/; this also covers the test
# folders, their support pieces and tools/, which see more than one layer.
set -euo pipefail
root=${1:?source folder}
cd "$root"

below_platform="platform state text"
declare -A may=(
  [state]="state"
  [text]="text"
  [platform]="$below_platform"
  [book]="book $below_platform"
  [render]="render $below_platform"
  [notes]="notes $below_platform"
  [import]="import book $below_platform"
  [screens]="screens render book $below_platform"
  [app]="app screens render book notes $below_platform"
  [qt]="qt $below_platform"
  [shell]="shell app qt screens render book notes $below_platform"
  [top]="fuzz app import qt screens render book notes $below_platform"
  [tools]="app import qt screens render book notes $below_platform"
  [bench]="shell fuzz app import qt screens render book notes $below_platform"
)
# Unit -> the layer whose edges it has, and whether it may include Qt.
# Test folders that link the Qt implementation may also include qt/.
declare -A layer_of qt_ok
for l in state text platform book render notes import screens app; do layer_of[$l]=$l; done
layer_of[qt]=qt qt_ok[qt]=1
layer_of[shell]=shell qt_ok[shell]=1
layer_of[tools]=tools qt_ok[tools]=1
layer_of[bench]=bench qt_ok[bench]=1
layer_of[fuzz]=top qt_ok[fuzz]=1
for l in state text platform book render notes import screens app qt; do layer_of[test-$l]=$l; done
for l in platform qt book import app; do layer_of[support-$l]=$l; done
qt_ok[support-qt]=1
layer_of[test-tools]=tools layer_of[test-fuzz]=top layer_of[test-shell]=shell
for u in test-qt test-screens test-app test-tools test-shell; do qt_ok[$u]=1; done
declare -A extra=([test-screens]=qt [test-app]=qt)

unit_of() { # path -> $unit
  local r
  case $1 in
  src/*) r=${1#src/} unit=${r%%/*} ;;
  tools/*) unit=tools ;;
  bench/*) unit=bench ;;
  fuzz/*) unit=fuzz ;;
  tests/support/*) r=${1#tests/support/} unit=support-${r%%/*} ;;
  tests/*) r=${1#tests/} unit=test-${r%%/*} ;;
  *) unit= ;;
  esac
}

allows() { # unit folder
  local u=$1 f=$2 l=${layer_of[$1]:-}
  [ -n "$l" ] || return 1
  [[ " $l ${may[$l]} ${extra[$u]:-} " == *" $f "* ]]
}

# Support pieces are included by bare name: name -> the layer of its piece.
declare -A support
for f in tests/support/*/*.h; do
  r=${f#tests/support/}
  support[${f##*/}]=${r%%/*}
done

status=0
fail() {
  echo "FAIL: $1" >&2
  status=1
}
count=0
while IFS= read -r file; do
  unit_of "$file"
  [ -n "${layer_of[$unit]:-}" ] || { fail "$file: no row for '$unit' in the table"; continue; }
  dir=$(dirname "$file")
  while IFS= read -r line; do
    count=$((count + 1))
    inc=${line#*#include }
    name=${inc:1:${#inc}-2}
    case $inc in
    \<Q*)
      [ -n "${qt_ok[$unit]:-}" ] || fail "$file includes $inc outside the Qt folders"
      continue ;;
    \<*) continue ;;
    esac
    if [[ $name == ../* ]]; then
      self=$unit
      unit_of "$(realpath -m --relative-to=. "$dir/$name")"
      target=$unit unit=$self
      allows "$unit" "$target" || fail "$file includes $name"
    elif [[ $name == */* ]]; then
      allows "$unit" "${name%%/*}" || fail "$file includes $name"
    elif [ -e "$dir/$name" ]; then
      : # beside it in the same folder
    else
      # A support piece: found in exactly one layer's support folder.
      piece=${support[$name]:-}
      [ -n "$piece" ] || { fail "$file includes $name, found nowhere"; continue; }
      allows "$unit" "$piece" || fail "$file includes $name, a support piece of $piece"
    fi
  done < <(grep -E '^#include ["<]' "$file" || true)
done < <(find src tools tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
[ "$count" -gt 100 ] || fail "only $count includes read"
[ "$status" -eq 0 ] && echo "layers: passed ($count includes)"
exit "$status"
