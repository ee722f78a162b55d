"""pytest plugin of Orvmon: a `bench` fixture per test and a folder per test for its evidence.

Enable it with `-p orvmon.pytest_plugin` or `pytest_plugins = ["orvmon.pytest_plugin"]` in a
conftest.py. The fixture opens a virtual board on the manual clock; a test says what it plays
with the marker

    @pytest.mark.orvmon(scenario="scenario.toml", workdir=".", device="arinc10", period=0.1)

(paths relative to the test file's folder; a marker on the module or class applies to its tests).
Each test gets its own folder under --orvmon-evidence (default ./orvmon-evidence), named after
the test: at the end of the test the table's last rows and the board's counters are written there
(`table.txt`).
"""

from __future__ import annotations

import os
import re
from pathlib import Path
import collections.abc as _abc
from typing import Any, Dict

import pytest

import orvmon


def pytest_addoption(parser: pytest.Parser) -> None:
    """--orvmon-evidence DIR: where each test's folder goes."""
    parser.addoption("--orvmon-evidence", default="orvmon-evidence",
                     help="folder of the per-test evidence folders (default: ./orvmon-evidence)")


def pytest_configure(config: pytest.Config) -> None:
    """Registers the marker."""
    config.addinivalue_line(
        "markers", "orvmon(scenario=None, workdir=None, device='arinc10', period=..., settings=None): "
        "what the bench fixture opens (paths relative to the test file)")


def _folder_name(nodeid: str) -> str:
    """A file name for a test id: its path and name with other characters as '_'."""
    return re.sub(r"[^A-Za-z0-9_.-]+", "_", nodeid).strip("_")[:200]


@pytest.fixture
def bench_dir(request: pytest.FixtureRequest) -> Path:
    """The test's own evidence folder (created empty)."""
    root = Path(request.config.getoption("--orvmon-evidence"))
    folder = root / _folder_name(request.node.nodeid)
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        if old.is_file():
            old.unlink()
    return folder


@pytest.fixture
def bench(request: pytest.FixtureRequest, bench_dir: Path) -> _abc.Iterator[orvmon.Bench]:
    """A virtual board on the manual clock, as the test's `orvmon` marker says; closed after it."""
    kwargs: Dict[str, Any] = {"clock": "manual"}
    for marker in reversed(list(request.node.iter_markers("orvmon"))):
        kwargs.update(marker.kwargs)
    base = Path(str(request.node.fspath)).parent
    for key in ("scenario", "workdir"):
        if kwargs.get(key) is not None:
            kwargs[key] = os.fspath(base / kwargs[key])
    kwargs.setdefault("workdir", os.fspath(base))
    device = kwargs.pop("device", "arinc10")
    b = orvmon.Bench(device, **kwargs)
    try:
        yield b
    finally:
        try:
            if not b.closed:
                lines = [repr(r) for r in b.rows()]
                lines += [repr(c) for c in b.counters().inputs]
                lines += [repr(c) for c in b.counters().outputs]
                (bench_dir / "table.txt").write_text("\n".join(lines) + "\n", encoding="utf-8")
        finally:
            b.close()
