# Sourced by the scripts that run Windows programs: the 32-bit Wine loader that starts them, the
# 64-bit one that sets up the prefix (a 64-bit prefix whose 32-bit half the programs use), and
# that set-up. Needs 32-bit Wine to start: run the calling script under scripts/with-wine32.sh.
WINE=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64
export WINE WINE64
if ! "$WINE" --version >/dev/null 2>&1; then
    echo "32-bit Wine cannot start here; run this under scripts/with-wine32.sh" >&2
    return 1 2>/dev/null || exit 1
fi

# Wine's symbol font Marlett (fonts-wine) in the prefix's font folder: Wine as run here does not
# look for it where Debian installs it, and without it draws the title bar's close button as the
# letter "r". Only Marlett: Wine's Tahoma has no Chinese, and would stand in front of the Chinese
# font that the replacements in wine-fonts.reg give the captions.
CopyWineFonts() {
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    [ -d "$fonts" ] && cp -n /usr/share/wine/fonts/marlett.ttf "$fonts/" 2>/dev/null || true
}

# Creates the prefix WINEPREFIX once, then imports each registry file given.
PrepareWinePrefix() {
    if [ -f "$WINEPREFIX/.orvane-wow64-ready" ]; then
        CopyWineFonts
        return 0
    fi
    echo "Setting up the Wine prefix $WINEPREFIX (once)..." >&2
    rm -rf "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1
    local file
    for file in "$@"; do
        "$WINE64" regedit "$file" >/dev/null 2>&1
    done
    wineserver -w
    CopyWineFonts
    touch "$WINEPREFIX/.orvane-wow64-ready"
}
