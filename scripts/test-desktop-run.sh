#!/usr/bin/env bash
# The desktop program end to end on an X display of its own (Xvfb), as a user runs it: a saved
# list of presentations from ../shared/corpus, Convert All from the keyboard (Ctrl+G), then the
# ordinary close. The text files must be the Linux dkscrcmd's bytes, the program must end with
# 0, and the job file must hold every entry converted and the activity log name every file.
# Under Wine a second start ends by a logout, which must save the list as it stands.
#   scripts/test-desktop-run.sh DKSCRCMD PROGRAM [WINE]
# With WINE (wine64, in the caller's WINEPREFIX) PROGRAM is Deckscribe.exe.
# DKSCR_SHOT=FILE.png with DKSCR_GRAB=dkscr_window_grab also saves the window after the run.
set -euo pipefail
if [ "${1:-}" = --on-display ]; then
  shift
  scratch=$1 program=$2 wine=${3:-}
  count=$(wc -l < "$scratch/expected.list")
  start() {  # starts the program and waits for its main window: pid and window
    # Never a hang: a program that does not end goes after ten minutes.
    if [ -n "$wine" ]; then
      timeout 600 "$wine" "$program" >> "$scratch/program.out" 2>&1 &
    else
      QT_QPA_PLATFORM=xcb timeout 600 "$program" >> "$scratch/program.out" 2>&1 &
    fi
    pid=$!
    window=
    for _ in $(seq 120); do
      sleep 1
      window=$(xdotool search --onlyvisible --name '^Kel-Deckscribe$' 2>/dev/null | head -n 1) || true
      [ -z "$window" ] || return 0
    done
    kill "$pid" 2>/dev/null || true
    echo "no window shown"
    exit 1
  }
  start
  sleep 2  # the saved list goes in before the window takes keys
  # No window manager: the keys go where the input focus is, which is set here.
  timeout 10 xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  sleep 1
  xdotool key --clearmodifiers ctrl+g
  converted=0
  for _ in $(seq 300); do
    converted=0
    while read -r name; do
      [ ! -f "$scratch/out/$name" ] || converted=$((converted + 1))
    done < "$scratch/expected.list"
    [ "$converted" -lt "$count" ] || break
    sleep 1
  done
  sleep 2  # the last entry's state
  if [ -n "${DKSCR_SHOT:-}" ]; then
    QT_QPA_PLATFORM=xcb "$DKSCR_GRAB" "$window" "$DKSCR_SHOT" || echo "no screenshot"
  fi
  # The ordinary close: WM_CLOSE (taskkill without /f) on Windows, SIGTERM on Linux.
  if [ -n "$wine" ]; then "$wine" taskkill /im Deckscribe.exe > /dev/null 2>&1; else kill -TERM "$pid"; fi
  status=0
  wait "$pid" || status=$?
  echo "$converted of $count text files; exit code $status"
  [ "$converted" -eq "$count" ] && [ "$status" -eq 0 ] || exit 1
  # A logout (WM_QUERYENDSESSION, then WM_ENDSESSION, through Qt's session manager) saves the
  # list, asking nothing.
  if [ -n "$wine" ]; then
    start
    sleep 2
    mv "$scratch/home/Deckscribe.job" "$scratch/before-logout.job"
    "$wine" wineboot --end-session > /dev/null 2>&1 || true
    for _ in $(seq 30); do
      [ ! -s "$scratch/home/Deckscribe.job" ] || break
      sleep 1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" || true
    [ -s "$scratch/home/Deckscribe.job" ] || { echo "the logout saved no list"; exit 1; }
    cmp "$scratch/before-logout.job" "$scratch/home/Deckscribe.job" || exit 1
    echo "a logout saved the list"
  fi
  exit 0
fi

dkscrcmd=$1 program=$2 wine=${3:-}
corpus=$(cd "$(dirname "$0")/../.." && pwd)/shared/corpus
if [ ! -d "$corpus" ]; then
  echo "== desktop run: SKIPPED, no $corpus"
  exit 0
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
drive=${wine:+Z:}  # the Linux root as Wine shows it
mkdir -p "$scratch/home" "$scratch/out" "$scratch/expected"

# The list: presentations the Linux dkscrcmd converts (up to six .pptx, then .ppt up to twelve
# in all), one per name (two sources of one name would write one text file), with the text
# files they must give.
: > "$scratch/sources.list"
: > "$scratch/expected.list"
take() {  # take MAX FILE...
  local max=$1 file name
  shift
  for file in "$@"; do
    [ -f "$file" ] && [ "$(wc -l < "$scratch/sources.list")" -lt "$max" ] || continue
    name=$(basename "${file%.*}").txt
    [ ! -f "$scratch/expected/$name" ] || continue
    if "$dkscrcmd" -o -c65001 "$file" "$scratch/expected/$name" > /dev/null 2>&1; then
      echo "$file" >> "$scratch/sources.list"
      echo "$name" >> "$scratch/expected.list"
    else
      rm -f "$scratch/expected/$name"
    fi
  done
}
take 6 "$corpus"/*.pptx
take 12 "$corpus"/*.ppt
count=$(wc -l < "$scratch/sources.list")
[ "$count" -ge 10 ] || { echo "== desktop run: only $count convertible presentations in $corpus"; exit 1; }

# UTF-8 text files, into the output folder, replacing what is there; the list as a job file.
printf '[general]\r\nsamedir=0\r\ntargetdir=%s\r\nfileovertp=1\r\nsourcecode=65001\r\nnotlog=0\r\n' \
  "$drive$scratch/out/" > "$scratch/home/Deckscribe.dat"
python3 - "$scratch/sources.list" "$drive" "$scratch/home/Deckscribe.job" <<'EOF'
import os, struct, sys
def text(s):
    data = s.encode("utf-16-le")
    return struct.pack("<H", len(data)) + data
sources = open(sys.argv[1]).read().split()
job = b"LFW" + struct.pack("<H", len(sources))
for path in sources:
    kind = "PPTX" if path.lower().endswith(".pptx") else "PPT"
    texts = [os.path.basename(path), sys.argv[2] + path, str(os.path.getsize(path)), kind, "", ""]
    job += struct.pack("<Hi", len(texts), 0) + text("") + b"".join(text(t) for t in texts)
open(sys.argv[3], "wb").write(job)
EOF

if ! DECKSCRIBE_HOME="$drive$scratch/home" xvfb-run -a -s "-screen 0 1024x768x24" \
       "$0" --on-display "$scratch" "$program" "$wine" > "$scratch/run.out" 2>&1; then
  cat "$scratch/run.out" "$scratch/program.out" 2>/dev/null
  echo "== desktop run: $(basename "$program") did not convert its list and close with 0"
  exit 1
fi
failed=0
while read -r name; do
  cmp -s "$scratch/expected/$name" "$scratch/out/$name" || { echo "DIFFERS: $name"; failed=1; }
done < "$scratch/expected.list"
# Every entry converted in the job file, every source named in the log (UTF-16LE).
python3 - "$scratch/home" "$scratch/sources.list" <<'EOF' || failed=1
import os, struct, sys
home, sources = sys.argv[1], open(sys.argv[2]).read().split()
job = open(os.path.join(home, "Deckscribe.job"), "rb").read()
assert job[:3] == b"LFW", "job file not written"
count, pos, states = struct.unpack_from("<H", job, 3)[0], 5, []
for _ in range(count):
    texts, state = struct.unpack_from("<Hi", job, pos)
    pos += 6
    fields = []
    for _ in range(texts + 1):
        size = struct.unpack_from("<H", job, pos)[0]
        fields.append(job[pos + 2:pos + 2 + size].decode("utf-16-le"))
        pos += 2 + size
    states.append((state, fields[2]))
converted = sum(1 for state, _ in states if state == 1)
assert count == len(sources) and converted == count, f"job file: {converted} of {count} converted"
log = open(os.path.join(home, "dkscract.log"), "rb").read()
text = log.decode("utf-16")
missing = [s for s in sources if os.path.basename(s) not in text]
assert not missing, f"not in the log: {missing}"
EOF
if [ "$failed" -ne 0 ]; then
  cat "$scratch/run.out"
  echo "== desktop run: $(basename "$program") wrote other text, job file or log than expected"
  exit 1
fi
echo "== desktop run: $(basename "$program") converted a saved list of $count presentations" \
     "from the keyboard as the Linux dkscrcmd does, closed with 0, job file and log written"
