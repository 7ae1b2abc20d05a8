#!/usr/bin/env bash
# The Python module as a Python user gets it: `pip install .` into a fresh virtual environment
# (offline, with Debian's setuptools, wheel and pybind11), the Python tests run against the
# installed module, its type information checked by mypy, and `pip wheel .` named for the
# project's version.
#   scripts/test-python-package.sh BUILD_DIR     (BUILD_DIR/cli/dkscrcmd gives the expected bytes)
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
dkscrcmd=$(cd "$1" && pwd)/cli/dkscrcmd
python=/usr/bin/python3  # Debian's interpreter, whatever python3 comes first on PATH
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
venv=$scratch/venv
version=$(sed -n 's/^project(Deckscribe VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

start=$(date +%s)
"$python" -m venv --system-site-packages "$venv"
"$venv/bin/python" -m pip install -q --no-build-isolation --no-index . >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log"; exit 1; }
echo "== Python: pip install . into a virtual environment in $(( $(date +%s) - start )) s"

# From a folder of its own, so that nothing of the source tree is imported instead.
cd "$scratch"
"$venv/bin/python" - "$venv" "$version" <<'EOF'
import sys
import deckscribe
venv, version = sys.argv[1], sys.argv[2]
assert deckscribe.__file__.startswith(venv + "/"), deckscribe.__file__
assert deckscribe.__version__ == version, (deckscribe.__version__, version)
EOF
DKSCRCMD=$dkscrcmd DKSCR_INSTALLED_IN=$venv \
  "$venv/bin/python" -m pytest -q -p no:cacheprovider "$source/tests/python"

if "$venv/bin/python" -c "import mypy" 2>/dev/null; then
  for target in "-p deckscribe" "$source/tests/python/typed_use.py"; do
    "$venv/bin/python" -m mypy --strict --no-incremental --cache-dir=/dev/null $target
  done
else
  echo "== Python: mypy is not installed, type information not checked"
fi

cd "$source"
"$venv/bin/python" -m pip wheel -q --no-build-isolation --no-index --no-deps -w "$scratch/wheels" . \
  >"$scratch/wheel.log" 2>&1 || { cat "$scratch/wheel.log"; exit 1; }
wheel=$(ls "$scratch/wheels")
case $wheel in
  deckscribe-"$version"-*.whl) ;;
  *) echo "pip wheel made $wheel, not a wheel of deckscribe $version"; exit 1 ;;
esac
"$python" - "$scratch/wheels/$wheel" <<'EOF'
import sys
import zipfile
names = zipfile.ZipFile(sys.argv[1]).namelist()
for wanted in ("deckscribe/__init__.py", "deckscribe/py.typed", "deckscribe/_deckscribe.pyi"):
    assert wanted in names, (wanted, names)
assert any(n.startswith("deckscribe/_deckscribe.") and n.endswith(".so") for n in names), names
EOF
echo "== Python: $wheel; step took $(( $(date +%s) - start )) s"
