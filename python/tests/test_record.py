"""Recordings made from the bench, and waits that wake on the word stream."""

import os
import subprocess
import sys
import textwrap

import numpy as np
import pytest

import orvmon
import orvmon.c10
from conftest import REPO, SAMPLES, threads, threads_after_python_threads


def carried(counters, before):
    """Per input: the words its line carried to the running input (accepted, dropped for parity,
    at another rate class) since `before`."""
    return [(a.words - b.words) + (a.parity_errors - b.parity_errors) + (a.rate_mismatches - b.rate_mismatches)
            for a, b in zip(counters.inputs, before.inputs)]


def test_recording_holds_every_word_the_board_counted(tmp_path):
    path = tmp_path / "faults.ch10"
    with orvmon.Bench(clock="manual", scenario=SAMPLES / "scenarios" / "faults.toml", workdir=SAMPLES,
                      period=0.25) as bench:
        bench.load_list(SAMPLES / "scenario.42i")  # starts the inputs
        before = bench.counters()
        with bench.record(path) as rec:
            bench.advance(12.0)  # 12 s: parity and rate faults of inputs 1 to 8 come round
            assert rec.running and rec.status.startswith("Запись: ")
            after = bench.counters()
        assert not rec.running and rec.lost == 0
        assert rec.bytes == path.stat().st_size

        a = orvmon.c10.read_arrays(path)
        assert a["problems"] == []
        assert rec.words == len(a["word"])
        assert list(np.bincount(a["bus"], minlength=8)) == carried(after, before)
        parity = np.bincount(a["bus"][a["parity_error"]], minlength=8)
        rate = np.bincount(a["bus"][a["format_error"]], minlength=8)
        assert list(parity) == [x.parity_errors - y.parity_errors for x, y in zip(after.inputs, before.inputs)]
        assert list(rate) == [x.rate_mismatches - y.rate_mismatches for x, y in zip(after.inputs, before.inputs)]
        assert parity.sum() > 0 and rate.sum() > 0
        assert np.all(np.diff(a["time"][a["bus"] == 4]) > 0)

        with pytest.raises(orvmon.Error, match="Файл уже существует: "):
            bench.record(path)
        with pytest.raises(orvmon.Error, match="Не удалось создать файл записи "):
            bench.record(tmp_path / "no" / "such.ch10")
        with bench.record(path, replace=True, inputs=[5]):
            bench.advance(0.5)
    a = orvmon.c10.read_arrays(path)
    assert a["problems"] == [] and len(a["bus"]) > 0 and set(a["bus"]) == {4}


def test_close_ends_an_open_recording_whole_and_joins_its_thread(tmp_path):
    base = threads()
    bench = orvmon.Bench(clock="real", scenario=SAMPLES / "scenarios" / "faults.toml", workdir=SAMPLES, period=0.01)
    bench.load_list(SAMPLES / "scenario.42i")
    rec = bench.record(tmp_path / "open.ch10")
    bench.wait_for("ALT", 5, timeout=2.0)
    bench.close()  # the recorder's own thread with the others
    assert threads_after_python_threads(base) == base
    assert not rec.running and rec.words > 0
    rec.stop()  # ended already: nothing to do, no error
    words = list(orvmon.c10.read(tmp_path / "open.ch10"))
    assert len(words) == rec.words
    reader = orvmon.c10.read(tmp_path / "open.ch10")
    assert list(reader.problems) == []
    with pytest.raises(ValueError, match="closed"):
        bench.record(tmp_path / "late.ch10")


def test_wait_for_wakes_on_the_word_between_ticks(tmp_path):
    word = 0x60034483  # label 0o203
    with orvmon.Bench("arinc12", clock="manual", workdir=tmp_path, period=1.0) as bench:
        bench.add_format("ALT", msb_bit=28, lsb_bit=12, msb_weight=65536, units="ft")
        bench.watch([("P", 1, 0o203, "ALT")])
        bench.send(1, [word])  # 36 bits at 12.5 kbit/s: on input 1 at 2.88 ms
        row = bench.wait_for("P", 1, timeout=5.0)
        assert bench.now == pytest.approx(0.003)  # not at the tick of 1 s
        assert bench.rows()[0].word == 0  # the table has not ticked yet
        bench.advance(1.0 - bench.now)
        tick = bench.row("P", 1)
        # The row the wait gave is the one the tick shows for the same word.
        fields = ("name", "channel", "label", "word", "hex", "octal", "ssm", "value", "units", "format", "decimal",
                  "cycle", "stale", "masked", "mask_count")
        assert [getattr(row, f) for f in fields] == [getattr(tick, f) for f in fields]
        assert (row.word, row.cycle, row.stale) == (word, 1, False)

    # Real clock: the first tick is 5 s away; the word wakes the wait long before.
    with orvmon.Bench("arinc12", clock="real", workdir=tmp_path, period=5.0) as bench:
        bench.watch([("P", 1, 0o203)])
        bench.send(1, [word])
        assert bench.wait_for("P", 1, timeout=3.0).word == word
        assert bench.now < 3.0


def test_plugin_records_each_test_into_its_folder(tmp_path):
    suite = tmp_path / "suite"
    suite.mkdir()
    (suite / "test_unit.py").write_text(textwrap.dedent(f"""
        import pytest
        pytestmark = pytest.mark.orvmon(scenario={str(SAMPLES / "scenarios" / "faults.toml")!r},
                                        workdir={str(SAMPLES)!r}, period=0.1)

        def test_first(bench):
            bench.watch([("ALT", 5)])
            bench.advance(1.0)

        def test_second(bench):
            bench.watch([("ALT", 5)])
            bench.advance(0.5)
            assert False, "a failing test keeps its recording too"
    """))
    evidence = tmp_path / "evidence"
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    out = subprocess.run([sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", "-p", "orvmon.pytest_plugin",
                          f"--orvmon-evidence={evidence}", str(suite)], capture_output=True, text=True, env=env,
                         cwd=tmp_path, timeout=120)
    assert "1 failed, 1 passed" in out.stdout, out.stdout + out.stderr
    folders = sorted(p.name for p in evidence.iterdir())
    assert len(folders) == 2 and folders[0].endswith("test_first") and folders[1].endswith("test_second")
    spans = []
    for name in folders:
        a = orvmon.c10.read_arrays(evidence / name / "bus.ch10")
        assert a["problems"] == [] and len(a["word"]) > 0
        assert (evidence / name / "table.txt").exists()
        spans.append((a["time"][-1] - a["time"][0]) / 1e9)
    assert spans[0] == pytest.approx(1.0, abs=0.05) and spans[1] == pytest.approx(0.5, abs=0.05)
