#!/bin/sh
# Installs a build into a temporary DESTDIR and checks what the desktop reads:
# the .desktop file, the AppStream metainfo, the shared-MIME XML and the
# manual pages; then packs a .deb and lists it.
#   scripts/check-desktop.sh BUILD_DIR
# Exits 77 (skipped) when a checker is missing, unless ORVENNA_REQUIRE_PEERS=1.
set -eu
BUILD=$1
for tool in desktop-file-validate appstreamcli xmllint man cpack dpkg-deb; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "check-desktop: $tool is missing (packages desktop-file-utils, appstream, libxml2-utils, man-db, dpkg)" >&2
        [ "${ORVENNA_REQUIRE_PEERS:-0}" = 1 ] && exit 1
        exit 77
    fi
done
DEST=$(mktemp -d)
trap 'rm -rf "$DEST"' EXIT
DESTDIR="$DEST/root" cmake --install "$BUILD" --prefix /usr >/dev/null
SHARE="$DEST/root/usr/share"
for f in usr/bin/orvenna usr/bin/orvenna-cli usr/bin/wmatowav usr/share/orvenna/help/index.html \
    usr/share/icons/hicolor/48x48/apps/com.corvatch.Orvenna.png \
    usr/share/icons/hicolor/scalable/apps/com.corvatch.Orvenna.svg; do
    [ -s "$DEST/root/$f" ] || { echo "check-desktop: $f was not installed" >&2; exit 1; }
done
desktop-file-validate "$SHARE/applications/com.corvatch.Orvenna.desktop"
grep -q '^MimeType=.*audio/' "$SHARE/applications/com.corvatch.Orvenna.desktop" ||
    { echo "check-desktop: no audio MIME types in the .desktop file" >&2; exit 1; }
appstreamcli validate --no-net --pedantic "$SHARE/metainfo/com.corvatch.Orvenna.metainfo.xml"
xmllint --noout "$SHARE/mime/packages/com.corvatch.Orvenna.xml"
for page in "$SHARE"/man/man1/orvenna.1 "$SHARE"/man/man1/orvenna-cli.1; do
    # groff's warnings are errors here; the text must come out.
    out=$(MANWIDTH=80 man --warnings -l "$page" 2>"$DEST/man.err")
    [ -n "$out" ] && [ ! -s "$DEST/man.err" ] || { cat "$DEST/man.err" >&2; exit 1; }
done
(cd "$BUILD" && cpack -G DEB -B "$DEST/deb" >/dev/null)
deb=$(ls "$DEST"/deb/*.deb)
dpkg-deb -f "$deb" Package Depends Recommends
dpkg-deb -c "$deb" | awk '{print $6}'
echo "check-desktop: ok"
