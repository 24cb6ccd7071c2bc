#!/bin/sh
# Checks a built korvane .deb as a distribution would: lintian, the AppStream
# file, the menu entry and the manual pages, each without an error or a
# warning; then the unpacked programs start and find their data.
#   dist/check_package.sh build-pkg/korvane_1.0.0_amd64.deb
set -eu
deb=${1:?usage: check_package.sh FILE.deb}
here=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() { echo "package check: $*" >&2; failed=1; }

# lintian has its own exit status for tags of these kinds; the output is
# shown either way so a failure says which tag it was.
if ! lintian --fail-on error,warning --tag-display-limit 0 "$deb" > "$tmp/lintian" 2>&1; then
    cat "$tmp/lintian" >&2
    fail "lintian reported errors or warnings"
fi

dpkg-deb -x "$deb" "$tmp/root"
root=$tmp/root

metainfo=$root/usr/share/metainfo/korvane.metainfo.xml
if ! appstreamcli validate --no-net "$metainfo" > "$tmp/appstream" 2>&1; then
    cat "$tmp/appstream" >&2
    fail "appstreamcli validate failed"
fi
grep -E '^[EW]: ' "$tmp/appstream" > /dev/null && fail "appstreamcli: $(grep -E '^[EW]: ' "$tmp/appstream")"

desktop-file-validate "$root/usr/share/applications/korvane.desktop" > "$tmp/desktop" 2>&1 ||
    fail "desktop-file-validate failed"
[ -s "$tmp/desktop" ] && fail "desktop-file-validate: $(cat "$tmp/desktop")"

for page in "$root"/usr/share/man/man6/*.6.gz; do
    zcat "$page" | LC_ALL=C.UTF-8 groff -ww -man -z > "$tmp/groff" 2>&1 || fail "groff failed on $page"
    [ -s "$tmp/groff" ] && fail "groff on $(basename "$page"): $(cat "$tmp/groff")"
done
[ -f "$root/usr/share/man/man6/korvane.6.gz" ] || fail "no manual page for korvane"

# The data is the repository's data/ and nothing else (when this is a checkout).
if git -C "$here" ls-files data > "$tmp/tracked" 2> /dev/null && [ -s "$tmp/tracked" ]; then
    sed 's|^data/||' "$tmp/tracked" | sort > "$tmp/want"
    (cd "$root/usr/share/games/korvane/data" && ls -A | sort) > "$tmp/have"
    diff "$tmp/want" "$tmp/have" > "$tmp/datadiff" || fail "packaged data differs from data/: $(cat "$tmp/datadiff")"
fi

# The unpacked programs find the data beside them, from another folder, with
# a fresh home.
mkdir -p "$tmp/home" "$tmp/elsewhere"
version=$("$root/usr/games/korvane-headless" --version) || fail "korvane-headless --version failed"
[ "$version" = "korvane-headless $(dpkg-deb -f "$deb" Version)" ] || fail "version is \"$version\""
"$root/usr/games/korvane" --help > /dev/null || fail "korvane --help failed"
(cd "$tmp/elsewhere" && printf 'tap SPACE\nframes 2\ndump\n' |
    env -u XDG_CONFIG_HOME -u XDG_STATE_HOME HOME="$tmp/home" SDL_AUDIODRIVER=dummy \
    "$root/usr/games/korvane-headless" > "$tmp/run" 2>&1) || fail "korvane-headless failed: $(cat "$tmp/run")"
grep -q '"game_state":1' "$tmp/run" || fail "korvane-headless did not reach the menu: $(head -c 300 "$tmp/run")"
[ -f "$tmp/home/.config/korvane/Settings.ini" ] || fail "the settings were not copied to the fresh home"

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "package check: $(basename "$deb") passed lintian, appstreamcli, desktop-file-validate and groff"
