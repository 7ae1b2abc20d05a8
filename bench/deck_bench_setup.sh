# What the benchmarks on generated decks share; sourced from the project's root with the
# script's arguments BUILD_DIR PASSES OLD_DKSCRCMD. Sets build, passes, old, cmd, make_deck
# and a scratch folder work (removed on exit), and defines summary.
build=${1:-build}
passes=${2:-3}
old=${3:-}
cmd=$build/cli/dkscrcmd
make_deck=$build/tests/cli/dkscr_make_deck
for tool in "$cmd" "$make_deck"; do
  [ -x "$tool" ] || { echo "missing $tool: build it first" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (Debian package time)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "median_seconds max_peak_kB" of a file of "seconds peak_kB" lines.
summary() { sort -g "$1" | awk '{ t[NR] = $1; if ($2 > m) m = $2 } END { print t[int((NR + 1) / 2)], m }'; }
