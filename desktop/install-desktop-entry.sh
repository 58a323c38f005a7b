#!/bin/sh
# Adds Tessaloquin, started from this folder, to the current user's application menu.
#   ./install-desktop-entry.sh              install (or update after moving the folder)
#   ./install-desktop-entry.sh --uninstall  remove the menu entry and icons again
set -eu

here=$(cd "$(dirname "$0")" && pwd)
data="${XDG_DATA_HOME:-$HOME/.local/share}"
sizes="16 32 48 128 256"

if [ "${1:-}" = "--uninstall" ]; then
    rm -f "$data/applications/tessaloquin.desktop" "$data/icons/hicolor/scalable/apps/tessaloquin.svg"
    for size in $sizes; do
        rm -f "$data/icons/hicolor/${size}x${size}/apps/tessaloquin.png"
    done
    echo "Removed the Tessaloquin menu entry."
    exit 0
fi

for size in $sizes; do
    mkdir -p "$data/icons/hicolor/${size}x${size}/apps"
    cp "$here/share/icons/hicolor/${size}x${size}/apps/tessaloquin.png" "$data/icons/hicolor/${size}x${size}/apps/"
done
mkdir -p "$data/icons/hicolor/scalable/apps" "$data/applications"
cp "$here/share/icons/hicolor/scalable/apps/tessaloquin.svg" "$data/icons/hicolor/scalable/apps/"

# Exec= takes a quoted argument: escape what the desktop entry format reserves inside quotes, then "%" and
# the backslashes that the string value itself reads.
program=$(printf '%s' "$here/tessaloquin" | sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g' -e 's/\\/\\\\/g')
sed -e "s|^Exec=.*|Exec=\"$(printf '%s' "$program" | sed 's/[|&\\]/\\&/g')\"|" \
    "$here/share/applications/tessaloquin.desktop" >"$data/applications/tessaloquin.desktop"

command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database "$data/applications" >/dev/null 2>&1 || true
command -v gtk-update-icon-cache >/dev/null 2>&1 && gtk-update-icon-cache -q -t "$data/icons/hicolor" >/dev/null 2>&1 || true
echo "Installed the Tessaloquin menu entry for $here/tessaloquin"
