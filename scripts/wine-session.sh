# Sourced by the scripts that run Windows programs: one Wine prefix inside the
# Windows build tree, and one wineserver kept alive for the whole session so that
# each program starts in a fraction of a second instead of seconds.

kelvo_wine_begin() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    # No browser or .NET installer prompts when the prefix is first made.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    wineserver -p &
    wine cmd /c exit >/dev/null 2>&1
    kelvo_wine_fonts
    kelvo_wine_windows
}

kelvo_wine_end() {
    wineserver -k >/dev/null 2>&1 || true
}

# Dialogs use "MS Shell Dlg"; map it to a font that has Cyrillic.
kelvo_wine_fonts() {
    local key='HKCU\Software\Wine\Fonts\Replacements'
    for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "MS Sans Serif"; do
        wine reg add "$key" /v "$face" /t REG_SZ /d "DejaVu Sans" /f >/dev/null 2>&1
    done
}

# A virtual display has no window manager. Wine then draws the window frames itself,
# and does not wait for a manager to acknowledge each hidden window (two seconds each).
kelvo_wine_windows() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
}
