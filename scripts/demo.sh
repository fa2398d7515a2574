#!/usr/bin/env bash
# Sets everything up, lays a demo machine state in a Wine prefix of its own
# (build/demo) and runs the shipping 32-bit uninstaller on it. The prefix is a
# WoW64 one, as 64-bit Windows is, and the state lies as the family's 32-bit
# installers lay it there (see demo/DemoMachine.cpp). On a machine that cannot
# run 32-bit x86 code (tests/wine/x86-32.sh; UZ_NO_X86_32=1 tries it anywhere)
# it says why and runs the 64-bit build of the same sources in a 64-bit
# prefix instead, on the state laid in the 64-bit registry view and system
# folder, as that build sees the machine.
#  - With a usable X display ($DISPLAY), the uninstaller opens there: choose,
#    confirm, and the removal is real (inside the demo prefix only).
#  - Without one, it runs on a virtual display and is driven automatically:
#    the history item is ticked too, the choice confirmed, and pictures of
#    each step are saved under build/demo/pictures.
# Either way it then reports what of the demo state is gone and what stayed.
# UZ_DEMO_DPI sets the display scale in DPI: 96 (100 %, the default), 120,
# 144 (150 %), 192 (200 %).
set -euo pipefail
cd "$(dirname "$0")/.."
user_display=${DISPLAY:-}
dpi=${UZ_DEMO_DPI:-96}
case $dpi in
    '' | *[!0-9]* | 0*) echo "demo: UZ_DEMO_DPI must be a number of DPI, e.g. 144 for 150 %" >&2; exit 2 ;;
esac

bash scripts/setup.sh
answer=$(tests/wine/x86-32.sh) || true
export UZ_X86_32=$answer
targets=(uz-demo uz-warmup)
if [ "$answer" = yes ]; then
    width=32 exe=build/win32/UninstallZolt.exe
    cmake --preset win32 >/dev/null
    cmake --build --preset win32
else
    echo "demo: this machine cannot run 32-bit x86 code (${answer#no: }),"
    echo "demo: so it runs the 64-bit build of the same sources, not the shipping 32-bit exe,"
    echo "demo: on the demo machine as that build sees it (the 64-bit registry view and system folder)"
    width=64 exe=build/win64/UninstallZolt.exe targets+=(UninstallZolt)
fi
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target "${targets[@]}"

session=build/demo/wine
pictures=build/demo/pictures
mkdir -p "$session" "$pictures"
trap 'tests/wine/wine-session.sh down "$session" >/dev/null 2>&1 || true' EXIT
UZ_WARMUP_EXE=$PWD/build/win64/uz-warmup.exe tests/wine/wine-session.sh up "$session"
# The tools print GBK text, as the program holds it.
run() { tests/wine/wine-run.sh "$session" "$@" | iconv -f GBK -t UTF-8; }

run build/win64/uz-demo.exe seed "$width"
# Wine reads the scale when a program starts.
(eval "$(tests/wine/wine-session.sh env "$session")" &&
    "$WINELOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null)
echo "demo: display scale $((dpi * 100 / 96)) % ($dpi DPI)"

display_socket=/tmp/.X11-unix/X${user_display#*:}
display_socket=${display_socket%%.*}
if [ -n "$user_display" ] && [ -S "$display_socket" ]; then
    echo "demo: opening the uninstaller on $user_display; choose, press 确认 and confirm"
    eval "$(tests/wine/wine-session.sh env "$session")"
    # The 32-bit loader beside the 64-bit one, as Wine itself finds it.
    loader=$WINELOADER
    [ "$width" = 64 ] || loader=${WINELOADER%64}
    DISPLAY=$user_display "$loader" "$exe" || true
else
    echo "demo: no display; driving the uninstaller on a virtual one"
    rm -f "$pictures"/*.bmp "$pictures"/*.png
    # Wine sees the Linux root as drive Z:.
    run build/win64/uz-demo.exe drive "$exe" "Z:$(echo "$PWD/$pictures" | tr / '\\')"
    for picture in "$pictures"/*.bmp; do
        [ -e "$picture" ] || continue
        if command -v convert >/dev/null; then
            convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
        fi
    done
    echo "demo: pictures of each step are in $pictures:"
    ls -1 "$pictures"
fi

echo "demo: what of the demo machine state is left (run this script again to lay it anew):"
run build/win64/uz-demo.exe report "$width"
echo "demo: the prefix is $PWD/$session/prefix; its C: drive is $PWD/$session/prefix/drive_c"
