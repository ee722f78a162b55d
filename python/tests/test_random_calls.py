"""Random call sequences with random arguments: every failure is a Python exception of the
documented kinds, nothing hangs past its timeout, and close() leaves no thread behind."""

import tempfile
import threading
from pathlib import Path

from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

import orvmon
from conftest import SAMPLES, threads, threads_after_python_threads

RECORDINGS = Path(tempfile.mkdtemp(prefix="orvmon-random-"))
EXPECTED = (orvmon.Error, ValueError, TypeError, KeyError, TimeoutError, OverflowError)

names = st.sampled_from(["ALT", "IAS", "PITCH", "GS", "ВЫС", "", "ABCDEFGHIJ", "高", "A\x00B"])
channels = st.integers(-2, 10)
labels = st.one_of(st.none(), st.integers(-3, 0o777))
words = st.one_of(st.integers(-5, 2**33), st.sampled_from([0x60034483, 0]), st.text(max_size=2), st.floats())
items = st.lists(st.one_of(words, st.builds(orvmon.Pause, st.integers(1, 256))), max_size=8)

calls = st.one_of(
    st.tuples(st.just("watch"), st.lists(st.tuples(names, channels, labels), max_size=5)),
    st.tuples(st.just("watch_bad"), st.one_of(st.integers(), st.lists(st.integers(), max_size=2))),
    st.tuples(st.just("load_list"), st.sampled_from([SAMPLES / "scenario.42i", SAMPLES / "nothing.42i",
                                                      SAMPLES / "Orvfrmt.stt"])),
    st.tuples(st.just("advance"), st.floats(-1, 0.3)),
    st.tuples(st.just("rows")),
    st.tuples(st.just("row"), names, channels, labels),
    st.tuples(st.just("wait_for"), names, channels, st.floats(-0.1, 0.3), labels),
    st.tuples(st.just("send"), channels, items, st.booleans()),
    st.tuples(st.just("change_word"), channels, st.integers(-2, 300), words),
    st.tuples(st.just("stop_output"), channels),
    st.tuples(st.just("mask"), names, channels, st.text(alphabet="01xX2 ", max_size=25), labels),
    st.tuples(st.just("unmask"), names, channels, labels),
    st.tuples(st.just("trace"), names, channels, labels),
    st.tuples(st.just("capture"), channels, labels, st.floats(-0.1, 0.1)),
    st.tuples(st.just("counters")),
    st.tuples(st.just("period"), st.floats(-1, 0.5)),
    st.tuples(st.just("record"), st.sampled_from([RECORDINGS / "a.ch10", RECORDINGS / "b.ch10", RECORDINGS / "no" / "c.ch10",
                                                   RECORDINGS]), st.booleans(), st.sampled_from([None, [1], [5, 9], []])),
    st.tuples(st.just("stop_recording")),
    st.tuples(st.just("close")),
)


recordings = []


def run(bench, call):
    op, *args = call
    if op == "watch":
        bench.watch(args[0])
    elif op == "watch_bad":
        bench.watch(args[0])
    elif op == "load_list":
        bench.load_list(args[0])
    elif op == "advance":
        bench.advance(args[0])
    elif op == "rows":
        assert all(isinstance(r, orvmon.Row) for r in bench.rows())
    elif op == "row":
        bench.row(args[0], args[1], label=args[2])
    elif op == "wait_for":
        bench.wait_for(args[0], args[1], timeout=args[2], label=args[3])
    elif op == "send":
        bench.send(args[0], args[1], cyclic=args[2])
    elif op == "change_word":
        bench.change_word(*args)
    elif op == "stop_output":
        bench.stop_output(args[0])
    elif op == "mask":
        bench.mask(args[0], args[1], args[2], label=args[3])
    elif op == "unmask":
        bench.unmask(args[0], args[1], label=args[2])
    elif op == "trace":
        bench.trace(args[0], args[1], label=args[2])
    elif op == "capture":
        bench.capture(args[0], stop_label=args[1], seconds=args[2])
    elif op == "counters":
        bench.counters()
    elif op == "period":
        bench.period = args[0]
    elif op == "record":
        recordings.append(bench.record(args[0], replace=args[1], inputs=args[2]))
    elif op == "stop_recording":
        try:
            rec = recordings.pop()
        except IndexError:
            return
        rec.stop()
    elif op == "close":
        bench.close()


@settings(max_examples=60, deadline=None, suppress_health_check=list(HealthCheck))
@given(st.lists(calls, max_size=12), st.sampled_from(["manual", "real"]))
def test_random_calls_raise_only_documented_exceptions(sequence, clock):
    recordings.clear()
    base = threads()
    bench = orvmon.Bench(clock=clock, workdir=SAMPLES, period=0.01)
    try:
        for call in sequence:
            try:
                run(bench, call)
            except EXPECTED:
                pass
    finally:
        bench.close()
    # A joined thread leaves /proc a moment after join() returns.
    assert threads_after_python_threads(base) == base


@settings(max_examples=15, deadline=None, suppress_health_check=list(HealthCheck))
@given(st.lists(st.lists(calls, max_size=6), min_size=2, max_size=4))
def test_random_calls_from_several_threads(sequences):
    recordings.clear()
    base = threads()
    bench = orvmon.Bench(clock="manual", workdir=SAMPLES, period=0.01)
    unexpected = []

    def worker(seq):
        for call in seq:
            try:
                run(bench, call)
            except EXPECTED:
                pass
            except BaseException as e:  # noqa: BLE001 - collected for the assertion
                unexpected.append(e)

    ts = [threading.Thread(target=worker, args=(s,)) for s in sequences]
    for t in ts:
        t.start()
    for t in ts:
        t.join(60)
    assert not any(t.is_alive() for t in ts)
    bench.close()
    assert unexpected == []
    assert threads_after_python_threads(base) == base
