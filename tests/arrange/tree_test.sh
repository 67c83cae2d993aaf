#!/usr/bin/env bash
# A built or installed kalvane-arrange (kalvane-arrange.exe under Wine when
# an emulator is given) on a folder of files, one of them in a folder with a
# non-ASCII name: --check names what would change and fails, --diff names
# paths with '/' and applies, a hard link and a deep folder are handled, a
# refused file is reported and left alone while the others are arranged, and
# a second --check passes; excludes, a settings file and on Windows the
# program's own expansion of wildcards pick the files; a real tree (the test
# files, files of bodies without declarations, a binary file) passes with
# nothing said but the summary, and --verbose tells each file's fate; in a
# git work tree, what git ignores is passed over. With
# BAD_ARGUMENT (a Windows program that starts
# the given one with an argument that is no text), that argument is refused.
#   tree_test.sh PROGRAM DATA-FOLDER [EMULATOR...]
set -euo pipefail
exe=$(realpath "$1")
data=$(realpath "$2")
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tree/Größe"
cp "$data/ordered.ost" "$work/tree/"
cp "$data/shuffled.ost" "$work/tree/Größe/Ünordnung.ost"
cp "$data/second_body.ost" "$work/bad.ost"
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
run() { set +e; "$@" "$exe" "${args[@]}" > out 2> err; status=$?; set -e; }

args=(--check tree); run "$@"
[ "$status" = 1 ] || fail "--check gave $status, not 1: $(cat err)"
grep -q 'Ünordnung.ost' out || fail "--check did not name the file: $(cat out)"
grep -qx '1 file would be arranged, 1 unchanged, 0 refused' err ||
  fail "unexpected summary: $(cat err)"

# The diff names paths with '/' on every system and applies with patch.
args=(--diff tree); run "$@"
grep -qx '+++ tree/Größe/Ünordnung.ost' out || fail "--diff headers: $(head -2 out)"
patch -s -p0 --dry-run < out || fail "the diff does not apply"

# A file is one file: a hard link to it is arranged once; a folder nested
# deeper than 260 characters is walked.
ln tree/Größe/Ünordnung.ost link.ost
args=(--check tree link.ost); run "$@"
grep -qx '1 file would be arranged, 1 unchanged, 0 refused' err ||
  fail "a hard link was counted twice: $(cat err)"
rm link.ost
if [ $# -gt 0 ]; then
  args=(--check tree/ordered.ost TREE/ORDERED.OST); run "$@"
  grep -qx '0 files would be arranged, 1 unchanged, 0 refused' err ||
    fail "another letter case was counted apart: $(cat err)"
fi
deep=deep/$(printf '%0100d/' 1 2 3)
mkdir -p "$deep"
cp "$data/shuffled.ost" "$deep/Deep.ost"
# Given whole: the standard library's calls stop at 260 characters of a
# full path.
deep_path=$PWD/deep
[ $# -gt 0 ] && deep_path=$(winepath -w "$deep_path")
args=(--check "$deep_path"); run "$@"
grep -q 'Deep.ost' out || fail "the deep folder was not walked: $(cat err)"
rm -rf deep

# Excludes match alike on every system; on Windows, where no shell
# expands wildcards, the program does, in name order, ignoring case.
args=(--check --extend-exclude 'Gr[!x]*' tree); run "$@"
grep -qx '0 files would be arranged, 1 unchanged, 0 refused' err ||
  fail "--extend-exclude did not pass over the folder: $(cat err)"
# So does a settings file's, found above the file; an invalid one stops
# the run, naming its line.
printf 'exclude = ["Gr*"]\n' > .kalvane-arrange.toml
args=(--check tree); run "$@"
grep -qx '0 files would be arranged, 1 unchanged, 0 refused' err ||
  fail "the settings file did not exclude the folder: $(cat err)"
printf 'sort = true\nexclude = "Gr*"\n' > .kalvane-arrange.toml
args=(tree); run "$@"
[ "$status" = 2 ] && grep -qx '.kalvane-arrange.toml:2: error: .*' err ||
  fail "an invalid settings file gave $status: $(cat err)"
rm .kalvane-arrange.toml
if [ $# -gt 0 ]; then
  cp tree/ordered.ost tree/Another.ost
  args=(--check 'tree/*.OST' 'tree/Größe/?nordnung.*' 'tree/*.none'); run "$@"
  grep -qx 'tree/Größe/Ünordnung.ost' out ||
    fail "the wildcard was not expanded: $(cat out) $(cat err)"
  grep -qx 'tree/\*.none:1: error: no such file or folder' err ||
    fail "a wildcard that matches nothing: $(cat err)"
  grep -qx '1 file would be arranged, 2 unchanged, 1 refused' err ||
    fail "the wildcards matched: $(cat err)"
  rm tree/Another.ost
fi

args=(tree bad.ost); run "$@"
[ "$status" = 3 ] || fail "a refused file gave $status, not 3"
grep -qx 'bad.ost:8: error: the function alpha has a second body.' err ||
  fail "the refused file was not reported: $(cat err)"
cmp -s bad.ost "$data/second_body.ost" || fail "the refused file was changed"
cmp -s "tree/Größe/Ünordnung.ost" "$data/shuffled.ost" &&
  fail "the out-of-order file was not arranged"

args=(--check tree); run "$@"
[ "$status" = 0 ] || fail "--check after arranging gave $status: $(cat err)"

# A real tree: the test files, less those made to be refused (kept apart,
# and refused still); bodies without declarations, as dialects that need
# no DECLARE write them; a tokenized save, binary.
mkdir real refused
cp "$data"/*.ost real/
mv real/accented_twice.ost real/long_name_twice.ost real/second_body.ost refused/
printf 'SUB Main\r\nEND SUB\r\nFUNCTION Twice (x)\r\nEND FUNCTION\r\nFUNCTION Open ()' > bodies.ost
printf '\xfc\x00\x01\x00\x00FUNCTION\n' > tokenized.ost
cp bodies.ost tokenized.ost real/
args=(real); run "$@"
[ "$status" = 0 ] && [ ! -s out ] && [ "$(wc -l < err)" = 1 ] &&
  grep -Eqx '1 file arranged, [0-9]+ unchanged, 0 refused' err ||
  fail "the real tree gave $status and more than its summary: $(cat out err)"
cmp -s bodies.ost real/bodies.ost && cmp -s tokenized.ost real/tokenized.ost ||
  fail "a file with nothing to arrange was changed"
args=(--verbose --check real); run "$@"
[ "$status" = 0 ] && [ "$(wc -l < err)" = "$(($(ls real | wc -l) + 1))" ] &&
  grep -qx 'real[/\]bodies.ost: no declarations, nothing to arrange' err &&
  grep -qx 'real[/\]tokenized.ost: binary file, skipped' err ||
  fail "--verbose did not tell each file's fate: $(cat err)"
# In a git work tree what git ignores is passed over, through libgit2 which
# the program loads only then (under Wine no git.exe answers).
if [ $# -eq 0 ]; then
  git init -q real && echo bodies.ost > real/.gitignore
  cp "$data/shuffled.ost" real/bodies.ost
  args=(--check real); run "$@"
  unchanged=$(($(ls real | wc -l) - 1))
  [ "$status" = 0 ] &&
    grep -qx "0 files would be arranged, $unchanged unchanged, 0 refused" err ||
    fail "git's ignore rules were not applied: $status $(cat out err)"
  rm -rf real/.git real/.gitignore
fi
args=(refused); run "$@"
[ "$status" = 3 ] && [ "$(grep -c '^refused[/\].*: error: ' err)" = 3 ] ||
  fail "the files made to be refused gave $status: $(cat err)"
# An argument that is no valid text is refused by name.
if [ -n "${BAD_ARGUMENT:-}" ]; then
  cp "$exe" program.exe
  set +e; "$@" "$BAD_ARGUMENT" program.exe > out 2> err; status=$?; set -e
  [ "$status" = 2 ] || fail "a bad argument gave $status: $(cat err)"
  grep -q '^kalvane-arrange: error: argument 2 (a.*\.ost) is no valid text$' err ||
    fail "the bad argument was not named: $(cat err)"
fi
args=(--version); run "$@"
grep -q '^kalvane-arrange ' out || fail "--version printed: $(cat out)"
echo "$(basename "$exe") arranged the tree"
