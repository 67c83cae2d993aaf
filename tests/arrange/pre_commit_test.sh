#!/usr/bin/env bash
# Debian's pre-commit, in throwaway repositories, with the hooks this
# repository publishes: a commit with an out-of-order file is refused, and
# after kalvane-arrange the same commit passes; with the fixing hook, as the
# README's example sets it up, the refused commit leaves the file arranged.
#   pre_commit_test.sh FOLDER-OF-KALVANE-ARRANGE SOURCE-TREE
set -euo pipefail
tool_folder=$1
source_tree=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH=$tool_folder:$PATH PRE_COMMIT_HOME=$work/cache HOME=$work
export GIT_AUTHOR_NAME=t GIT_AUTHOR_EMAIL=t@example.org
export GIT_COMMITTER_NAME=t GIT_COMMITTER_EMAIL=t@example.org

# The hook comes from a repository of its own, as from a published one.
git init -q "$work/hooks"
cp "$source_tree/.pre-commit-hooks.yaml" "$work/hooks/"
git -C "$work/hooks" add .pre-commit-hooks.yaml
git -C "$work/hooks" commit -qm hooks
# The README's example names the release tag of this version, which a
# released repository has; the hooks' repository is tagged the same way.
version=$(sed -n 's/^project(kalvane VERSION \([0-9.]*\).*/\1/p' "$source_tree/CMakeLists.txt")
rev=$(sed -n 's/^  rev: \([^ ]*\).*/\1/p' "$source_tree/README.md")
if [ "$rev" != "v$version" ]; then
  echo "FAIL: the README's pre-commit example names '$rev', not the release tag v$version" >&2
  exit 1
fi
git -C "$work/hooks" tag -a "$rev" -m "release $version"

git init -q "$work/project"
cd "$work/project"
printf 'repos:\n- repo: %s\n  rev: %s\n  hooks:\n  - id: kalvane-arrange\n' \
  "$work/hooks" "$rev" > .pre-commit-config.yaml
pre-commit install >/dev/null
cp "$source_tree/tests/data/shuffled.ost" Shuffled.OST
cp "$source_tree/tests/data/ordered.ost" notes.txt
git add .

if git commit -qm out-of-order > "$work/refused.log" 2>&1; then
  echo "FAIL: the commit of an out-of-order file was not refused" >&2
  exit 1
fi
grep -q '^Shuffled.OST$' "$work/refused.log" || {
  echo "FAIL: the refusal does not name the file:" >&2
  cat "$work/refused.log" >&2
  exit 1
}

kalvane-arrange --quiet Shuffled.OST
git add Shuffled.OST
git commit -qm arranged || { echo "FAIL: the arranged file was refused" >&2; exit 1; }

fail() { echo "FAIL: $*" >&2; cat "$work/fixed.log" >&2; exit 1; }
git init -q "$work/fixing"
cd "$work/fixing"
sed -n '/^```yaml$/,/^```$/p' "$source_tree/README.md" | sed '1d;$d' |
  sed "s|^- repo: .*|- repo: $work/hooks|" > .pre-commit-config.yaml
pre-commit install >/dev/null
mkdir vendor
cp "$source_tree/tests/data/shuffled.ost" Shuffled.ost
cp Shuffled.ost vendor/Kept.ost
git add .
! git commit -qm out-of-order > "$work/fixed.log" 2>&1 ||
  fail "the fixing hook passed an out-of-order file"
kalvane-arrange --check --sort Shuffled.ost >/dev/null 2>&1 &&
  cmp -s vendor/Kept.ost "$source_tree/tests/data/shuffled.ost" ||
  fail "the fixing hook did not arrange exactly the files it was given"
git add Shuffled.ost
git commit -qm arranged > "$work/fixed.log" 2>&1 || fail "the fixed file was refused"
echo "pre-commit refused out-of-order files, fixing them with the fixing hook"
