"""Builds the native half of the Python module with the project's own CMake build.

pip runs this through pyproject.toml: the version is the project's (CMakeLists.txt), and the
extension `deckscribe._deckscribe` is the CMake target `_deckscribe`, built for the
interpreter that runs pip, with the conversion library linked in.
"""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


def project_version():
    """The VERSION of project() in CMakeLists.txt."""
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    found = re.search(r"^project\(\s*Deckscribe\s+VERSION\s+(\d+\.\d+\.\d+)\b", text, re.MULTILINE)
    if not found:
        raise RuntimeError("CMakeLists.txt: no project(Deckscribe VERSION x.y.z)")
    return found.group(1)


class CMakeBuild(build_ext):
    """Configures the project with only the module to build, then copies the module out."""

    def build_extension(self, ext):
        build_dir = Path(self.build_temp).resolve() / "cmake"
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build_dir),
            "-DCMAKE_BUILD_TYPE=Release",
            "-DDKSCR_BUILD_PYTHON=ON", "-DDKSCR_BUILD_APP=OFF",
            "-DDKSCR_BUILD_TESTS=OFF", "-DDKSCR_BUILD_BENCH=OFF",
            f"-DPython_EXECUTABLE={sys.executable}",
        ]
        try:  # pybind11 from pip or python3-pybind11 knows its CMake files; pybind11-dev is found anyway
            import pybind11
            configure.append(f"-Dpybind11_DIR={pybind11.get_cmake_dir()}")
        except ImportError:
            pass
        jobs = str(self.parallel or os.cpu_count() or 1)
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "_deckscribe",
                        "--parallel", jobs], check=True)
        built = sorted((build_dir / "python" / "deckscribe").glob("_deckscribe.*"))
        built = [path for path in built if path.suffix in (".so", ".pyd")]
        if len(built) != 1:
            raise RuntimeError(f"CMake built {len(built)} native modules, not one: {built}")
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built[0], target)


setup(
    version=project_version(),
    ext_modules=[Extension("deckscribe._deckscribe", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # Beside the CMake build folders, not inside build/.
    options={"build": {"build_base": "build-python"}},
)
