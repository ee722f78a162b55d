"""Orvmon's bench from Python: the program's own core (no Qt) driven by scripts and pytest.

    import orvmon
    with orvmon.Bench(clock="manual") as bench:
        bench.watch([("ALT", 5, 0o203)])
        bench.advance(2.0)
        print(bench.row("ALT", 5))

Seconds are floats everywhere, texts are str (Windows-1251 underneath), rows are frozen.
The program's failures raise orvmon.Error with the program's own message; a closed bench raises
ValueError, wrong types TypeError, values out of range ValueError.
"""

from __future__ import annotations

import atexit
import functools
import math
import weakref
import collections.abc as _abc
from typing import Any

from . import _orvmon
from ._orvmon import (
    Bench,
    Counters,
    Error,
    Format,
    InputCounters,
    OutputCounters,
    Param,
    Pause,
    Recording,
    Row,
    Trace,
    TracePoint,
    TraceStats,
    decimal_text,
    decode,
)

__version__: str = _orvmon.__version__

__all__ = [
    "Bench",
    "Counters",
    "Error",
    "Format",
    "InputCounters",
    "OutputCounters",
    "Param",
    "Pause",
    "Recording",
    "Row",
    "Trace",
    "TracePoint",
    "TraceStats",
    "decimal_text",
    "decode",
    "encode",
    "__version__",
]

# Benches still open at interpreter exit are closed then (their threads joined).
_open_benches: "weakref.WeakSet[Bench]" = weakref.WeakSet()
_bench_init = Bench.__init__


@functools.wraps(_bench_init)
def _init_and_track(self: Bench, *args: Any, **kwargs: Any) -> None:
    _bench_init(self, *args, **kwargs)
    _open_benches.add(self)


Bench.__init__ = _init_and_track  # type: ignore[assignment]


@atexit.register
def _close_open_benches() -> None:
    """Closes every bench still open at interpreter exit."""
    for bench in list(_open_benches):
        bench.close()


def _toml_value(value: Any, path: str) -> str:
    """One value of a scenario label table as TOML text."""
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        if not math.isfinite(value):
            raise ValueError(f"{path}: {value} is not a finite number")
        return repr(value)
    if isinstance(value, str):
        if any(c in value for c in '"\\\n\r') or any(ord(c) < 32 for c in value):
            raise ValueError(f"{path}: text with a quote, backslash or control character")
        return f'"{value}"'
    if isinstance(value, (list, tuple)):
        return "[" + ", ".join(_toml_value(v, path) for v in value) + "]"
    if isinstance(value, _abc.Mapping):
        parts = []
        for k, v in value.items():
            if not isinstance(k, str) or not k.replace("_", "").isalnum() or not k.isascii():
                raise ValueError(f"{path}: key {k!r} is not a plain name")
            parts.append(f"{k} = {_toml_value(v, path + '.' + k)}")
        return "{ " + ", ".join(parts) + " }"
    raise TypeError(f"{path}: {type(value).__name__} is not a scenario value")


def encode(value: float, **label: Any) -> int:
    """The word a scenario label sends for `value` (BNR, BCD or discrete).

    The keywords are those of a scenario file's label table: label (octal text such as "203", or
    an int such as 0o203), sdi, ssm, and one of bnr={...}, bcd={...}, discrete={...}. The same
    reader reads them, with the same limits and rounding; ValueError with the reader's reason,
    or when the value is outside what the encoding holds. Bit 32 (parity) is left 0.
    """
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        raise TypeError(f"value must be a number, not {type(value).__name__}")
    value = float(value)
    if not math.isfinite(value):
        raise ValueError(f"value {value} is not a finite number")
    lines = []
    for key, item in label.items():
        if key in ("rate_hz", "jitter", "value"):
            raise TypeError(f"encode() takes no {key!r}: it encodes one value")
        if key == "label" and isinstance(item, int) and not isinstance(item, bool):
            if not 0 <= item <= 0o377:
                raise ValueError(f"label {item:#o} is not 0..0o377")
            lines.append(f'label = "{item:03o}"')
            continue
        lines.append(f"{key} = {_toml_value(item, key)}")
    if "discrete" not in label:
        lines.append(f'value = {{ profile = "constant", value = {value!r} }}')
    try:
        return _orvmon._encode_label("\n".join(lines) + "\n", value)
    except ValueError as e:
        # The reader names keys by their place in a scenario file; here they are keywords.
        raise ValueError(str(e).replace("board1.input5.label[1].", "")) from None
