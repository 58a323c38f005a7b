#!/usr/bin/env bash
# test_install.sh <build folder> <scratch folder>
set -euo pipefail
build=$1
scratch=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch"
prefix="$scratch/Tessa loquin's \$folder"

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in tessaloquin tessaloquin-cli install-desktop-entry.sh assets/index.html share/applications/tessaloquin.desktop \
    share/icons/hicolor/scalable/apps/tessaloquin.svg; do
    [ -e "$prefix/$file" ] || fail "missing $file"
done
for size in 16 32 48 128 256; do
    [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/tessaloquin.png" ] || fail "missing ${size}px icon"
done
[ -x "$prefix/tessaloquin" ] || fail "the program is not executable"
[ "$("$prefix/tessaloquin-cli" --version)" = "Tessaloquin 4.5" ] || fail "the terminal companion does not run"

# The user's data in res/ survives installing a newer build over the folder.
printf 'accounts' >"$prefix/res/PreferenceAccount.sqlite"
printf '[General]\nstrName=de\n' >"$prefix/res/PreferenceLanguage.ini"
printf '[General]\nintIdent=7\n' >"$prefix/res/PreferenceAccountSelected.ini"
printf '[General]\nboolUpdate%%284.0%%29=false\n' >"$prefix/res/PreferenceAccount.ini"
before=$(cd "$prefix/res" && sha256sum Preference*)
cmake --install "$build" --prefix "$prefix" >/dev/null
after=$(cd "$prefix/res" && sha256sum Preference*)
[ "$before" = "$after" ] || fail "installing again changed the user's data"

# The terminal companion works on the installed folder's res/, without a display.
rm "$prefix/res/PreferenceAccount.sqlite"
(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
    "$prefix/tessaloquin-cli" add --website example.com --mail me@example.com >/dev/null
    [ "$(printf 'master\n' | "$prefix/tessaloquin-cli" password example.com 2>/dev/null)" = "S50X3jGa0BtqkPX" ]) ||
    fail "the terminal companion does not derive on the installed folder"

# The desktop entry, installed for a user whose data folder is in the scratch folder.
export XDG_DATA_HOME="$scratch/data"
"$prefix/install-desktop-entry.sh" >/dev/null
entry="$XDG_DATA_HOME/applications/tessaloquin.desktop"
[ -f "$entry" ] || fail "no desktop entry"
grep -qx 'Exec="'"$scratch"'/Tessa loquin'"'"'s \\\\$folder/tessaloquin"' "$entry" || fail "wrong Exec line: $(grep Exec "$entry")"
grep -qx 'Icon=tessaloquin' "$entry" || fail "wrong Icon line"
[ -s "$XDG_DATA_HOME/icons/hicolor/48x48/apps/tessaloquin.png" ] || fail "no icon installed"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
fi
"$prefix/install-desktop-entry.sh" --uninstall >/dev/null
[ ! -e "$entry" ] || fail "the entry was not removed"

echo "install layout, data preservation and desktop entry: ok"
