# Sourced by run.sh and test.d/e2e.sh once a prefix exists: the dialogs' texts drawn whole, and the
# title bars' buttons.
# Wine falls back to WenQuanYi Zen Hei for the 8-point dialog font, and draws it from the font's
# small embedded bitmaps, whose Chinese strokes are broken ("删除" reads as "删⊙"); WenQuanYi
# Micro Hei (fonts-wqy-microhei) is an outline font without them. So the dialog font and the
# Chinese fonts Wine links it to are replaced by it. Uses $1, the loader of the prefix's width.
use_whole_dialog_fonts() {
    local loader=$1 face
    fc-list 2>/dev/null | grep -q "WenQuanYi Micro Hei" || {
        echo "WenQuanYi Micro Hei is not installed (run make setup)" >&2
        return 1
    }
    for face in 'MS Sans Serif' 'MS Shell Dlg' 'MS Shell Dlg 2' Tahoma SimSun NSimSun; do
        timeout 60 "$loader" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" \
            /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 || return 1
    done
}

# Wine draws the title bars' buttons with its own Marlett (fonts-wine), and without it shows them
# as "0 1 r". Debian puts Wine's fonts in /usr/share/wine/fonts, where this Wine does not look, so
# the prefix's Fonts folder links Marlett; the dialogs' fonts stay as above.
use_wine_title_buttons() {
    local marlett=/usr/share/wine/fonts/marlett.ttf
    [ -f "$marlett" ] || {
        echo "Wine's fonts are not installed (run make setup)" >&2
        return 1
    }
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" &&
        ln -sfn "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
}
