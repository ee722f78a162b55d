"""Bus recordings (IRIG 106 Chapter 10 files) read with the program's own reader.

Each word carries its time in int64 nanoseconds since 1970 UTC (words before the file's first time
packet: since the file's first word), the channel id of its packet, the bus (input N is bus N-1),
the word as sent on the bus, and its parity and format error flags. Damaged parts are skipped as
the reader skips them; their messages (with byte offsets) are in `problems`.
"""

from __future__ import annotations

import os
from typing import Any, Dict, Union

from . import _orvmon
from ._orvmon import C10Reader, C10Word

__all__ = ["C10Reader", "C10Word", "read", "read_arrays"]

PathLike = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]


def read(path: PathLike, *, reversed_labels: bool = False) -> C10Reader:
    """The words of the recording at `path`, in file order (an iterator of C10Word).

    orvmon.Error when the file cannot be opened or read. `reversed_labels` reverses label bits
    1-8 for recorders that store the label in wire order.
    """
    return _orvmon._c10_read(path, reversed_labels)


def read_arrays(path: PathLike, *, reversed_labels: bool = False) -> Dict[str, Any]:
    """The recording's words as numpy column arrays (needs numpy).

    Keys: "time" (int64 ns), "channel" (uint16), "bus" (uint8), "word" (uint32), "parity_error"
    and "format_error" (bool), and "problems" (list of the reader's messages).
    """
    return _orvmon._c10_read_arrays(path, reversed_labels)
