#!/bin/sh
# Makes the double-size icons (NAME@2x.png) that Qt shows on screens scaled to 150 % and
# more, from the public-domain Tango icon set that the 1x icons come from: the 16-pixel
# arrows from its 32-pixel icons, the 22-pixel icons from its scalable drawings.
# Needs the Debian packages tango-icon-theme and librsvg2-bin (build time only).
set -eu
out=${1:-$(dirname "$0")}
tango=/usr/share/icons/Tango

# resource name, Tango name
while read -r name source; do
    svg=$(find "$tango/scalable" -name "$source.svg" -print -quit)
    [ -n "$svg" ] || { echo "No Tango drawing $source.svg; install tango-icon-theme" >&2; exit 1; }
    rsvg-convert -w 44 -h 44 -o "$out/$name@2x.png" "$svg"
done <<EOF
document-new document-new
document-open document-open
document-print document-print
document-save document-save
document-save-as-new2 document-save-as
emblem-important emblem-important
format-indent-less format-indent-less
format-indent-more format-indent-more
input-mouse input-mouse
EOF

for name in go-next go-previous; do
    png=$(find "$tango/32x32" -name "$name.png" -print -quit)
    [ -n "$png" ] || { echo "No Tango icon 32x32/$name.png; install tango-icon-theme" >&2; exit 1; }
    cp "$png" "$out/$name@2x.png"
done
