#!/bin/sh
# make-copyright.sh HEADER FONTS_DIR OUTPUT
# Writes the package's machine-readable copyright file: the show's own paragraphs (HEADER), then
# one Files paragraph for each font the show reads, fonts/NAME, carrying the copyright and licence
# of the Debian font package it comes from. The asset build stages each font's package copyright
# file beside it as NAME.copyright.
set -eu
header=$1
fonts=$2
output=$3
tmp=$output.tmp
cp "$header" "$tmp"

for notice in "$fonts"/*.copyright; do
    [ -f "$notice" ] || continue
    name=$(basename "$notice" .copyright)
    # The package whose copyright file this is, named in the comment.
    package=""
    for candidate in /usr/share/doc/*/copyright; do
        if cmp -s "$candidate" "$notice"; then
            package=$(basename "$(dirname "$candidate")")
            break
        fi
    done
    printf '\n' >> "$tmp"
    awk -v name="$name" -v package="$package" '
        # Paragraph mode: one record per paragraph, one field per line.
        BEGIN { RS = ""; FS = "\n" }
        function field(para, key,    n, lines, i, out, on) {
            n = split(para, lines, "\n"); out = ""; on = 0
            for (i = 1; i <= n; i++) {
                if (on && lines[i] ~ /^[ \t]/) { out = out "\n" lines[i]; continue }
                on = 0
                if (tolower(substr(lines[i], 1, length(key) + 1)) == tolower(key) ":") {
                    out = lines[i]; on = 1
                }
            }
            return out
        }
        NR == 1 { dep5 = ($0 ~ /^Format:/); upstream = field($0, "Upstream-Name");
                  sub(/^Upstream-Name:[ \t]*/, "", upstream) }
        { paragraphs[NR] = $0; count = NR; whole = whole (NR > 1 ? "\n\n" : "") $0 }
        END {
            comment = "Comment: The font " (upstream != "" ? upstream " " : "") \
                      (package != "" ? "from the Debian package " package : "from a Debian package") \
                      ", read by the show as fonts/" name "."
            if (dep5) {
                for (i = 2; i <= count; i++) {
                    files = field(paragraphs[i], "Files")
                    if (files ~ /^Files:[ \t]*\*[ \t]*$/) {
                        copyright = field(paragraphs[i], "Copyright")
                        license = field(paragraphs[i], "License")
                        break
                    }
                }
            }
            if (copyright == "" || license == "") {
                # Not machine-readable: the whole notice becomes the licence text.
                print "Files: fonts/" name
                print "Copyright: see the licence text"
                print "License: other"
                n = split(whole, lines, "\n")
                for (i = 1; i <= n; i++) print (lines[i] ~ /^[ \t]*$/ ? " ." : " " lines[i])
                print comment
                exit
            }
            if (license !~ /\n/) {
                # A licence named but not written out here: its text is in a paragraph of its own.
                short = license; sub(/^License:[ \t]*/, "", short); sub(/[ \t]+$/, "", short)
                for (i = 2; i <= count; i++) {
                    if (paragraphs[i] ~ /^License:/) {
                        other = field(paragraphs[i], "License"); first = other
                        sub(/\n.*/, "", first); sub(/^License:[ \t]*/, "", first); sub(/[ \t]+$/, "", first)
                        if (first == short && other ~ /\n/) { license = other; break }
                    }
                }
            }
            print "Files: fonts/" name
            print copyright
            print license
            print comment
        }' "$notice" >> "$tmp"
done
mv "$tmp" "$output"
