#!/usr/bin/env bash
# html-refs on a 10 MB page with 10,000 IMG tags against grep -c '<img' on the
# same file, whole processes, with hyperfine.
#   bash bench/html-refs.sh [path/to/quillon-cli]
# The page: 10,000 paragraphs of about 1 KB of text, each with one IMG tag
# between attributes; 9 in 10 name one of 100 local pictures (in a folder
# beside the page or, every third, with Windows backslashes), 1 in 10 a web
# address.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
CLI=$(realpath "${1:-$HERE/../build/cli/quillon-cli}")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/pics"
for i in $(seq 0 99); do : > "$WORK/pics/p$i.gif"; done
python3 - "$WORK/page.htm" <<'PY'
import sys
words = ("lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor "
         "incididunt ut labore et dolore magna aliqua").split()
text = " ".join(words[i % len(words)] for i in range(150))[:1000]
with open(sys.argv[1], "w", newline="\r\n") as f:
    f.write("<HTML>\n<HEAD><TITLE>bench</TITLE></HEAD>\n<BODY>\n")
    for i in range(10000):
        if i % 10 == 9:
            src = "http://example.com/p%d.gif" % i
        elif i % 3 == 0:
            src = "pics\\p%d.gif" % (i % 100)
        else:
            src = "pics/p%d.gif" % (i % 100)
        f.write('<P>%s\n<img alt="picture %d" width=120 height=90 src="%s"></P>\n' % (text, i, src))
    f.write("</BODY>\n</HTML>\n")
PY
ls -l "$WORK/page.htm"
echo "IMG tags: $(grep -c '<img' "$WORK/page.htm"), listed: $("$CLI" html-refs "$WORK/page.htm" | wc -l)"
uptime
hyperfine -N -w 3 -r 30 "grep -c <img $WORK/page.htm" "$CLI html-refs $WORK/page.htm"
uptime
