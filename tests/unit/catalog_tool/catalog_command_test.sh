#!/usr/bin/env bash
# The command as a maker uses it: the README's release (build a package,
# publish it, preview a marbo K4 on Windows 7), lint's exit status, refusals and
# command-line mistakes.
#   catalog_command_test.sh TESSEL_CATALOG MARBO_PACK SAMPLE_DIR
set -u
catalog=$1 pack=$2 sample=$3
work=$(mktemp -d /tmp/catalog-command.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_status() {  # expected-status description command...
  local want=$1 what=$2; shift 2
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" = "$want" ] || { fail "$what: exit $got, not $want"; cat "$work/out" "$work/err" >&2; }
}

printf 'MZ a stand-in for marboSetup.exe' >"$work/marboSetup.exe"
tree=$work/tree
mkdir -p "$tree"
expect_status 0 "marbo-pack build" "$pack" build "$sample/viewer-package.txt" \
  --program "$work/marboSetup.exe" --output "$work/viewer-setup.exe" --quiet
k4=(--family MID --model "marbo K4" --board 9HK4 --component marboViewer)
expect_status 0 "publish" "$catalog" publish "$tree" "$work/viewer-setup.exe" "${k4[@]}" --version 2.1
[ -f "$tree/[MID]/marbo K4/9HK4/Setup/marboViewer/2.1/viewer-setup.exe" ] || fail "published file missing"
expect_status 0 "preview" "$catalog" preview "$tree" --family MID --model "marbo K4" --suffix EX \
  --serial 9HK40001 --windows Win7
grep -q '\[x\] marboViewer  installed -, new 2.1' "$work/out" || fail "preview row: $(cat "$work/out")"
printf 'marboViewer=2.1\n' >"$work/versions.txt"
expect_status 0 "preview --json" "$catalog" preview "$tree" --family MID --model "marbo K4" \
  --serial 9HK40001 --windows win7 --installed "$work/versions.txt" --json
/usr/bin/python3 -c '
import json, sys
rows = json.load(open(sys.argv[1]))["rows"]
assert [(r["name"], r["installed"], r["new"], r["checked"]) for r in rows] == [("marboViewer", "2.1", "2.1", False)], rows
' "$work/out" || fail "preview --json rows"
expect_status 1 "publish the same version again" "$catalog" publish "$tree" "$work/viewer-setup.exe" \
  "${k4[@]}" --version 2.1
grep -q "already published" "$work/err" || fail "refusal text: $(cat "$work/err")"

# The self-update tree: a setup package passes, an empty newest version fails lint.
cp "$work/viewer-setup.exe" "$work/TesselMIDSetup 1.2.F.exe"
expect_status 0 "publish self-update" "$catalog" publish "$tree" "$work/TesselMIDSetup 1.2.F.exe" \
  --self-update --family MID
expect_status 0 "lint a sound tree" "$catalog" lint "$tree"
mkdir -p "$tree/Korea/PC/TesselMIDSetup/9.9.9"
expect_status 1 "lint an empty self-update version" "$catalog" lint "$tree" --json
grep -q '"severity": "error", "path": "/Korea/PC/TesselMIDSetup/9.9.9"' "$work/out" || fail "lint json: $(cat "$work/out")"
expect_status 1 "publish a plain program as a self-update" "$catalog" publish "$tree" \
  "$work/marboSetup.exe" --self-update --family MID --version 9.9.10

expect_status 2 "no command" "$catalog"
expect_status 2 "unknown option" "$catalog" lint "$tree" --fast
expect_status 2 "bad family" "$catalog" preview "$tree" --family PDA --model x --windows XP
expect_status 2 "bad Windows name" "$catalog" preview "$tree" --family MID --model x --windows 10
expect_status 2 "publish without a target" "$catalog" publish "$tree" "$work/viewer-setup.exe" \
  --family MID --model x --component y --version 1
expect_status 1 "preview of a missing tree" "$catalog" preview "$work/none" --family MID --model x --windows XP
[ "$failures" = 0 ] && echo "all passed"
exit "$failures"
