"""pytest plugin of Orvmon: a `bench` fixture per test and a folder per test for its evidence.

Enable it with `-p orvmon.pytest_plugin` or `pytest_plugins = ["orvmon.pytest_plugin"]` in a
conftest.py. The fixture opens a virtual board on the manual clock; a test says what it plays
with the marker

    @pytest.mark.orvmon(scenario="scenario.toml", workdir=".", device="arinc10", period=0.1)

(paths relative to the test file's folder; a marker on the module or class applies to its tests).
Each test gets its own folder under --orvmon-evidence (default ./orvmon-evidence), named after
the test (the fixture `bench_dir`). The `bench` fixture records the test's bus traffic there from
the bench's start to the test's end (`bus.ch10`, every input of the board; `record=False` in the
marker leaves it out), and at the end writes the table's last rows and the board's counters
(`table.txt`). A test's folder is emptied when the test runs again.
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
        "markers", "orvmon(scenario=None, workdir=None, device='arinc10', period=..., settings=None, record=True): "
        "what the bench fixture opens (paths relative to the test file) and whether it records the bus")


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
    """A virtual board on the manual clock, as the test's `orvmon` marker says, recording its bus into
    the test's folder (bus.ch10); closed after the test."""
    kwargs: Dict[str, Any] = {"clock": "manual"}
    for marker in reversed(list(request.node.iter_markers("orvmon"))):
        kwargs.update(marker.kwargs)
    base = Path(str(request.node.fspath)).parent
    for key in ("scenario", "workdir"):
        if kwargs.get(key) is not None:
            kwargs[key] = os.fspath(base / kwargs[key])
    kwargs.setdefault("workdir", os.fspath(base))
    device = kwargs.pop("device", "arinc10")
    record = kwargs.pop("record", True)
    b = orvmon.Bench(device, **kwargs)
    try:
        recording = b.record(bench_dir / "bus.ch10", replace=True) if record else None
        yield b
        if not b.closed:
            lines = [repr(r) for r in b.rows()]
            lines += [repr(c) for c in b.counters().inputs]
            lines += [repr(c) for c in b.counters().outputs]
            (bench_dir / "table.txt").write_text("\n".join(lines) + "\n", encoding="utf-8")
        if recording is not None:
            recording.stop()  # orvmon.Error (the test errors) when the recording failed
    finally:
        b.close()
