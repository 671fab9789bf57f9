# Sourced: sets WINE to the Wine loader to use. The 32-bit loader where this machine can run
# 32-bit code; otherwise the 64-bit one (and the tests then use the 64-bit test build).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    WINE=/usr/lib/wine/wine
    ORVANE_WINE_BITS=32
else
    WINE=/usr/lib/wine/wine64
    WINELOADER=/usr/lib/wine/wine64
    ORVANE_WINE_BITS=64
    export WINELOADER
fi
export WINE ORVANE_WINE_BITS
