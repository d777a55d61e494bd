#!/usr/bin/env bash
# Installs the Debian package built in build/, checks the installed system as a user's
# desktop would find it, removes the package and checks that nothing of it is left.
# Needs root (apt-get); run by ./build.sh package.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls build/velmorant_*.deb)
fail() { echo "check-package: $*" >&2; exit 1; }

echo "== lintian"
lintian --fail-on error "$deb"
echo "== size: $(du -k "$deb" | cut -f1) KiB"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb"
trap 'DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq velmorant >/dev/null 2>&1 || true' EXIT
files=$(dpkg -L velmorant)

echo "== programs"
[ "$(command -v velmorant-cli)" = /usr/bin/velmorant-cli ] || fail "velmorant-cli not in /usr/bin"
/usr/bin/velmorant-cli --version | grep -q '^Velmorant ' || fail "velmorant-cli --version"
/usr/bin/velmorant-cli --rpm 9500 | grep -q '^L1 ' || fail "velmorant-cli does not size"
man -w velmorant-cli >/dev/null || fail "man -w velmorant-cli"
man -w velmorant-officina >/dev/null && man -w velmorant >/dev/null || fail "manual pages"

echo "== desktop entries and metadata"
desktop-file-validate /usr/share/applications/example.velmorant.Velmorant.desktop
desktop-file-validate /usr/share/applications/example.velmorant.Velmorant.Officina.desktop
appstreamcli validate --no-net /usr/share/metainfo/example.velmorant.Velmorant.metainfo.xml

echo "== file type"
update-mime-database /usr/share/mime
probe=$(mktemp -d)
printf '100\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n800\r\n4\r\n' > "$probe/progetto.vlr"
type=$(xdg-mime query filetype "$probe/progetto.vlr")
[ "$type" = application/x-velmorant-design ] || fail "xdg-mime says $type"
[ "$(xdg-mime query default application/x-velmorant-design)" = example.velmorant.Velmorant.Officina.desktop ] ||
    echo "(no default handler registered by this desktop: fine without one)"
/usr/bin/velmorant-cli --version >/dev/null
printf '{\n  "format": "velmorant-officina",\n  "version": 1\n}\n' > "$probe/officina.vlo"
type=$(xdg-mime query filetype "$probe/officina.vlo")
[ "$type" = application/x-velmorant-project ] || fail "xdg-mime says $type for a project"
/usr/bin/velmorant-cli "$probe/officina.vlo" | grep -q '^L1 ' || fail "velmorant-cli does not read a project"
grep -q 'application/x-velmorant-project' /usr/share/applications/example.velmorant.Velmorant.Officina.desktop ||
    fail "the workshop window does not open projects"

echo "== icons"
for size in 16 32 48 64 128 256; do
    [ -f /usr/share/icons/hicolor/${size}x${size}/apps/example.velmorant.Velmorant.png ] ||
        fail "icon $size"
    [ -f /usr/share/icons/hicolor/${size}x${size}/mimetypes/application-x-velmorant-design.png ] ||
        fail "file icon $size"
    [ -f /usr/share/icons/hicolor/${size}x${size}/mimetypes/application-x-velmorant-project.png ] ||
        fail "project icon $size"
done
[ -f /usr/share/icons/hicolor/scalable/apps/example.velmorant.Velmorant.svg ] || fail "svg icon"

echo "== completion"
# bash-completion loads a command's completion the first time it is needed; load it as Tab would.
bash -ic 'source /usr/share/bash-completion/bash_completion; __load_completion velmorant-cli;
          complete -p velmorant-cli' | grep -q _velmorant_cli || fail "completion not found"

echo "== the main window starts and quits"
export XDG_CONFIG_HOME="$probe/config" QT_QPA_PLATFORM=offscreen
/usr/bin/velmorant >"$probe/out.txt" 2>&1 &
pid=$!
sleep 6 # past the splash
kill -0 $pid || fail "velmorant ended early: $(cat "$probe/out.txt")"
kill -TERM $pid
wait $pid || true
velmorant-officina --version | grep -q 'Velmorant' || fail "velmorant-officina --version"

echo "== removal"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq velmorant
trap - EXIT
dpkg -s velmorant >/dev/null 2>&1 && fail "still installed"
left=0
for f in $files; do
    if [ -f "$f" ]; then
        echo "left behind: $f" >&2
        left=1
    fi
done
[ $left -eq 0 ] || fail "files left"
rm -rf "$probe"
echo "== package checked"
