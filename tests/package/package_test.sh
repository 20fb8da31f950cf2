#!/bin/bash
# The Debian package, as root: built from a copy of the checkout, its contents listed and checked (lintian,
# the menu entry, the AppStream file), installed with apt, played as a plain user from an empty folder under
# Xvfb (installed_game_test.sh), then purged, which must leave none of its files behind.
# Usage: package_test.sh [WORKDIR] (a new folder under /tmp by default; the .deb and the logs stay there).
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=${1:-$(mktemp -d /tmp/quillmarsh-package.XXXXXX)}
mkdir -p "$work"
chmod 755 "$work"
echo "package work folder: $work"

# dpkg-buildpackage writes the .deb beside the source folder: a copy in a folder of its own keeps it (and
# the build) out of the checkout, wherever the checkout is (a git worktree too). Old build folders stay out.
rm -rf "$work/src" "$work"/quillmarsh_* "$work"/quillmarsh-dbgsym_*
mkdir "$work/src"
(cd "$repo" && tar --exclude-vcs --exclude='./build*' --exclude='./.cache' --exclude='./debian/quillmarsh' \
    --exclude='./debian/.debhelper' --exclude='./debian/tmp' -cf - .) | tar -C "$work/src" -xf -
started=$SECONDS
(cd "$work/src" && dpkg-buildpackage -b -us -uc -j2) >"$work/build.log" 2>&1 ||
    { tail -n 60 "$work/build.log"; echo "FAIL: dpkg-buildpackage"; exit 1; }
echo "package built in $((SECONDS - started)) s; its tests:"
grep -E 'tests passed|tests failed|Total Test time' "$work/build.log" || true

shopt -s nullglob
debs=("$work"/quillmarsh_*_*.deb)
[ "${#debs[@]}" -eq 1 ] || { echo "FAIL: expected one quillmarsh .deb in $work, found ${#debs[@]}"; exit 1; }
deb=${debs[0]}
echo "==== $(basename "$deb")"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb"

# lintian: no error, and every warning fixed or overridden with its reason in debian/*.lintian-overrides.
echo "==== lintian"
lintian --fail-on error,warning --display-info "$deb"
echo "lintian: no error or warning; overridden, with the reasons:"
grep -v '^$' "$repo"/debian/*.lintian-overrides

rm -rf "$work/root"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/"*.desktop
echo "desktop-file-validate: valid"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/"*.metainfo.xml

echo "==== install"
(cd "$work" && apt-get install -y --no-install-recommends "./$(basename "$deb")")
dpkg -L quillmarsh >"$work/installed.txt"

# A plain user with a fresh home plays the installed game; the scripts are copied where that user can read.
player=quillmarsh-player
id "$player" >/dev/null 2>&1 || useradd --no-create-home --shell /bin/sh "$player"
rm -rf "$work/home" "$work/logs" "$work/scripts"
mkdir -p "$work/home" "$work/logs" "$work/scripts/package" "$work/scripts/support"
cp "$repo/tests/package/installed_game_test.sh" "$work/scripts/package/"
cp "$repo/tests/support/game_driver.sh" "$work/scripts/support/"
chown "$player" "$work/home" "$work/logs"
chmod -R a+rX "$work/scripts"
status=0
(cd "$work/home" && runuser -u "$player" -- env -i HOME="$work/home" PATH=/usr/local/bin:/usr/bin:/bin:/usr/games \
    LANG=C.UTF-8 xvfb-run -a -s "-screen 0 640x480x24" sh "$work/scripts/package/installed_game_test.sh" \
    "$work/logs") || status=1

echo "==== purge"
apt-get purge -y quillmarsh
left=0
while read -r path; do
    # Folders such as /usr/share stay; a file, a link, or a folder of the package's own must be gone.
    case "$path" in /usr/share/games/quillmarsh*|/usr/share/doc/quillmarsh*) ;; *) [ -d "$path" ] && continue ;; esac
    if [ -e "$path" ] || [ -L "$path" ]; then echo "FAIL: left after the purge: $path"; left=1; fi
done <"$work/installed.txt"
[ "$left" -eq 0 ] && echo "purge: none of the $(wc -l <"$work/installed.txt") installed paths is left"
[ "$status" -eq 0 ] && [ "$left" -eq 0 ] || exit 1
echo "package: passed"
