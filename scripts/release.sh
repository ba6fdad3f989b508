#!/usr/bin/env bash
# release.sh [--build-dir DIR] [--dist DIR]: the party release. Builds the show and its tools (in
# build-release/, with ccache when there is one, so the normal build's objects are reused) and
# writes dist/tolva-VERSION-linux-x86_64.tar.gz and the same as a .zip: one folder with the
# programs, their asset folders, WARNING.txt and README.txt, and in lib/ every shared library the
# programs use that a stock desktop lacks, found through $ORIGIN. Nothing is installed to run it.
#
# The archives are reproducible: names sorted, owner 0, modes normalised, every time
# SOURCE_DATE_EPOCH (by default the last commit's). --build-dir may name an existing build folder,
# which is then built as it is configured.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-release
dist=$top/dist
while [ $# -gt 0 ]; do
    case $1 in
    --build-dir) build=${2:?--build-dir needs a folder}; shift 2 ;;
    --dist) dist=${2:?--dist needs a folder}; shift 2 ;;
    -h | --help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "release.sh: unknown argument: $1 (see --help)" >&2; exit 2 ;;
    esac
done
build=$(realpath -m -- "$build")
dist=$(realpath -m -- "$dist")
machine_list=$top/packaging/release/from-the-machine.txt
programs=(tolva tolva-capture tolva-preview tolva-farm tolva-flashes)

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct 2>/dev/null || true)}
if ! [[ $epoch =~ ^[0-9]+$ ]]; then
    echo "release.sh: not a git checkout: set SOURCE_DATE_EPOCH (seconds) for the archive's times" >&2
    exit 2
fi

"$top/scripts/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
    launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTOLVA_BENCH=OFF \
          "${launcher[@]}" > /dev/null
fi
cmake --build "$build" -j "$(nproc)" --target "${programs[@]}" tolva_assets > "$build/release-build.log" 2>&1 ||
    { tail -n 30 "$build/release-build.log" >&2; echo "release.sh: the build failed" >&2; exit 1; }
run=$build/run
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=tolva-$version-linux-x86_64

mkdir -p "$dist"
work=$(mktemp -d "$dist/.release.XXXXXX")
trap 'rm -rf -- "$work"' EXIT
stage=$work/$name
mkdir -p "$stage/lib" "$stage/licences"

# --- The programs: stripped, and told to look in lib/ beside themselves first ---------------
for program in "${programs[@]}"; do
    strip --strip-all -o "$stage/$program" "$run/$program"
    patchelf --set-rpath '$ORIGIN/lib' "$stage/$program"
done

# --- Their libraries: the whole closure, but for what must be the machine's own --------------
grep -vE '^\s*(#|$)' "$machine_list" > "$work/machine"
declare -A shipped=()
while read -r soname arrow path _; do
    if grep -qEf "$work/machine" <<< "${soname##*/}"; then
        continue
    fi
    if [ "$arrow" != "=>" ] || [ ! -f "$path" ]; then
        echo "release.sh: the programs need $soname, which is not on this machine" >&2
        exit 1
    fi
    shipped[$soname]=$path
done < <(for program in "${programs[@]}"; do ldd "$run/$program"; done | sort -u)

for soname in "${!shipped[@]}"; do
    cp -L -- "${shipped[$soname]}" "$stage/lib/$soname"
    # A library that needs another one shipped finds it beside itself (a program's RUNPATH only
    # serves the program's own dependencies).
    for needed in $(patchelf --print-needed "$stage/lib/$soname"); do
        if [ -n "${shipped[$needed]+set}" ]; then
            patchelf --set-rpath '$ORIGIN' "$stage/lib/$soname"
            break
        fi
    done
    # Their copyright notices, as their Debian packages carry them.
    real=$(realpath -- "${shipped[$soname]}")
    package=$(dpkg -S "$real" 2>/dev/null || dpkg -S "${real#/usr}" 2>/dev/null || true)
    package=${package%%:*}
    if [ -z "$package" ] || [ ! -f "/usr/share/doc/$package/copyright" ]; then
        echo "release.sh: no Debian package with a copyright file owns $real" >&2
        exit 1
    fi
    cp -L -- "/usr/share/doc/$package/copyright" "$stage/licences/$package.copyright"
done

# --- Assets and the texts ------------------------------------------------------------------
for folder in fonts graphics sounds shaders; do
    cp -R -- "$run/$folder" "$stage/$folder"
done
cp -- "$top/packaging/release/WARNING.txt" "$stage/WARNING.txt"
sed "s/@VERSION@/$version/g" "$top/packaging/release/README.txt.in" > "$stage/README.txt"

# --- The archives ----------------------------------------------------------------------------
find "$stage" -type d -exec chmod 0755 {} +
find "$stage" -type f -exec chmod 0644 {} +
for program in "${programs[@]}"; do
    chmod 0755 "$stage/$program"
done
find "$stage" -exec touch -h -d "@$epoch" {} +
tar --sort=name --format=gnu --owner=0 --group=0 --numeric-owner --mtime="@$epoch" \
    -C "$work" -cf - "$name" | gzip -9 -n > "$work/$name.tar.gz"
(cd "$work" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -9 -@ "$work/$name.zip")
mv -f -- "$work/$name.tar.gz" "$work/$name.zip" "$dist/"
for archive in "$dist/$name.tar.gz" "$dist/$name.zip"; do
    echo "$archive ($(du -k "$archive" | cut -f1) KiB)"
done
