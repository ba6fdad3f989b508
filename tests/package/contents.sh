#!/bin/sh
# What the Debian package holds and declares: file name, dependencies, layout and permissions,
# the assets as the build staged them (fonts as links into the font packages it depends on),
# menu entry and icon, manual page, copyright with the fonts' licences, changelog.
. "$(dirname "$0")/common.sh"
work=$TOLVA_WORK_DIR/contents
root=$work/root
rm -rf "$work"
mkdir -p "$work"
if [ ! -f "$deb" ]; then
    fail "no package at $deb (the file name is tolva_<version>_<arch>.deb)"
    finish
fi
unpack_root "$root"
usr=$root/usr

field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
check "package, version, architecture" \
    test "$(field Package) $(field Version) $(field Architecture)" = "tolva $TOLVA_VERSION $arch"
for library in graphics window system audio; do
    check "Depends names libsfml-$library (got: $depends)" \
        sh -c "printf '%s\n' '$depends' | grep -Eq '(^|, )libsfml-$library[0-9.]*( |,|\$)'"
done
fonts_packages=$(grep -E '^[[:space:]]*fonts-[a-z0-9.+-]+[[:space:]]*$' \
                     "$TOLVA_SOURCE_DIR/scripts/packages.txt" | tr -d ' \t' | sort -u)
for package in $fonts_packages; do
    check "Depends names $package (got: $depends)" \
        sh -c "printf '%s\n' '$depends' | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx '$package'"
done
check "Recommends ffmpeg" test "$(field Recommends)" = ffmpeg

# Layout and permissions: launchers and programs executable, everything else 0644, folders 0755.
check "launcher /usr/$TOLVA_BINDIR/tolva" test -x "$usr/$TOLVA_BINDIR/tolva"
check "program /usr/$TOLVA_PROGRAMDIR/tolva" test -x "$usr/$TOLVA_PROGRAMDIR/tolva"
check "the program is an ELF file, not a launcher" \
    sh -c "head -c 4 '$usr/$TOLVA_PROGRAMDIR/tolva' | grep -q ELF"
if [ -x "$TOLVA_RUN_DIR/tolva-capture" ]; then
    check "launcher /usr/$TOLVA_BINDIR/tolva-capture" test -x "$usr/$TOLVA_BINDIR/tolva-capture"
    check "program /usr/$TOLVA_PROGRAMDIR/tolva-capture" test -x "$usr/$TOLVA_PROGRAMDIR/tolva-capture"
fi
check "no inspector in the package" test ! -e "$usr/$TOLVA_PROGRAMDIR/tolva-inspect"
bad_modes=$(dpkg-deb -c "$deb" | awk '
    $1 ~ /^d/ && $1 != "drwxr-xr-x" { print }
    $1 ~ /^-/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x" { print }
    $2 != "root/root" { print }')
check "modes 0755/0644 and owner root: $bad_modes" test -z "$bad_modes"
for f in $(cd "$root" && find . -type f -perm -u+x); do
    case $f in
    ./usr/$TOLVA_BINDIR/* | ./usr/$TOLVA_PROGRAMDIR/*) ;;
    *) fail "executable outside the program folders: $f" ;;
    esac
done

# Assets: every staged file is installed; fonts are links to files of the packages depended on.
data=$usr/$TOLVA_DATADIR
for folder in fonts graphics sounds shaders; do
    [ -d "$TOLVA_RUN_DIR/$folder" ] || continue
    for staged in "$TOLVA_RUN_DIR/$folder"/*; do
        name=${staged#"$TOLVA_RUN_DIR"/}
        case $name in
        fonts/*.copyright | fonts/README.md) continue ;;  # carried by the copyright file
        esac
        installed=$data/$name
        if [ -L "$installed" ]; then
            target=$(readlink "$installed")
            case $target in
            /*) fail "$name links to an absolute path: $target" ; continue ;;
            esac
            # Where the link leads on a system with the package installed.
            resolved=$(cd "$(dirname "$installed")" && realpath -m "$target")
            resolved=/${resolved#"$root"/}
            check "$name leads to the same bytes as staged ($resolved)" cmp -s "$staged" "$resolved"
            owner=$(dpkg -S "$resolved" 2>/dev/null | sed 's/:.*//' || true)
            check "$name comes from a package the show depends on (owner: $owner)" \
                sh -c "printf '%s\n' '$fonts_packages' | grep -qx '$owner'"
        else
            check "$name installed as staged" cmp -s "$staged" "$installed"
        fi
    done
done
check "the title picture is installed when the build made one" \
    sh -c "[ ! -f '$TOLVA_RUN_DIR/graphics/demoname.png' ] || [ -f '$data/graphics/demoname.png' ]"

# Menu entry and icon.
desktop=$usr/share/applications/tolva.desktop
check "desktop entry is valid" desktop-file-validate "$desktop"
check "desktop entry is in the Games menu" grep -Eq '^Categories=(.*;)?Game;' "$desktop"
check "desktop entry starts the launcher" grep -qx 'Exec=tolva' "$desktop"
png_size() {  # prints WIDTHxHEIGHT from a PNG header
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
if [ -f "$TOLVA_RUN_DIR/graphics/demoname.png" ]; then
    for size in 48 128 256; do
        icon=$usr/share/icons/hicolor/${size}x${size}/apps/tolva.png
        check "icon ${size}x${size} is there and square at its size" \
            test "$(png_size "$icon" 2>/dev/null)" = "${size}x${size}"
    done
else
    echo "note: the build has no title picture yet, so no icon is expected"
fi

# Manual page: section 6, gzipped, renders without warnings, says what it must.
manual=$usr/share/man/man6/tolva.6.gz
check "manual page tolva.6.gz" test -f "$manual"
if [ -f "$manual" ]; then
    check "manual page is gzip" gzip -t "$manual"
    MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$manual" > "$work/manual.txt" 2> "$work/manual.err" || true
    check "manual page renders without warnings: $(cat "$work/manual.err")" test ! -s "$work/manual.err"
    for phrase in Escape tolva-capture "/usr/$TOLVA_DATADIR" "/usr/$TOLVA_BINDIR/tolva" demoscene; do
        check "manual page mentions $phrase" grep -q -- "$phrase" "$work/manual.txt"
    done
fi
if [ -e "$usr/$TOLVA_BINDIR/tolva-capture" ]; then
    check "tolva-capture has a manual page" test -e "$usr/share/man/man6/tolva-capture.6.gz"
fi

# Copyright: machine-readable, with a paragraph carrying the licence of each font.
copyright=$usr/share/doc/tolva/copyright
check "copyright is in the machine-readable format" \
    sh -c "head -1 '$copyright' | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/'"
for font in "$data"/fonts/*.ttf "$data"/fonts/*.otf; do
    [ -e "$font" ] || continue
    name=fonts/$(basename "$font")
    check "copyright has a paragraph for $name" grep -qx "Files: $name" "$copyright"
    licence=$(awk -v f="Files: $name" '$0 == f { on = 1; next } on && /^License:/ { print; exit }' "$copyright")
    check "the paragraph for $name names its licence" test -n "$licence"
done
check "changelog names this version" \
    sh -c "gzip -dc '$usr/share/doc/tolva/changelog.gz' | head -1 | grep -qF 'tolva ($TOLVA_VERSION)'"
finish
