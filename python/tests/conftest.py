"""Shared helpers of the module's tests."""

import os
import time
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[2]
SAMPLES = REPO / "samples"


def threads() -> int:
    """Threads of this process now."""
    return len(os.listdir("/proc/self/task"))


def threads_after_python_threads(base: int) -> int:
    """Threads now, once Python threads that were joined have left the system too (join()
    returns just before the system thread ends): polls up to 2 s for the count to reach `base`."""
    end = time.monotonic() + 2
    while threads() > base and time.monotonic() < end:
        time.sleep(0.001)
    return threads()


@pytest.fixture
def samples() -> Path:
    return SAMPLES
