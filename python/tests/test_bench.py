"""The bench on the virtual board: the same rows, masks and traces as the program's own steps,
misuse that leaves nothing running, and the interpreter kept free while the bench works."""

import os
import signal
import subprocess
import sys
import re
import threading
import time

import pytest

import orvmon
from conftest import REPO, SAMPLES, threads, threads_after_python_threads

LOOPED_100K = {"in1": (100, "check"), "out1": (100, "odd"), "in2": (100, "check"), "out2": (100, "odd")}


def test_version_is_the_projects():
    version = re.search(r"project\(orvmon VERSION ([0-9.]+)", (REPO / "CMakeLists.txt").read_text()).group(1)
    assert orvmon.__version__ == version


def test_stopped_label_keeps_its_last_word_and_turns_grey(tmp_path):
    # The steps of the program's test of a label sent once on a looped output: the row shows the
    # word from the first tick on, keeps it, and is grey once 2 s and 2 ticks have passed.
    with orvmon.Bench("arinc12", clock="manual", workdir=tmp_path) as bench:
        bench.watch([("P", 1, 0o203), ("Q", 1, 0o212)])
        bench.send(1, [0x60034483])
        bench.advance(1.0)
        p, q = bench.rows()
        assert (p.word, p.hex, p.cycle, p.stale, p.ssm) == (0x60034483, "0x60034483", 1, False, 3)
        assert p.octal == "014000642203"
        assert (q.word, q.cycle, q.stale) == (0, 0, True)
        bench.advance(1.999)  # received at the tick of 1 s: grey at 3 s (2 s and 2 ticks later)
        assert bench.row("P", 1).word == 0x60034483 and not bench.row("P", 1).stale
        bench.advance(0.001)
        assert bench.row("P", 1).stale
        assert (bench.row("P", 1).cycle, bench.row("P", 1).word) == (1, 0x60034483)


def test_mask_counts_and_traces_every_word_exactly(tmp_path):
    # 20 words of label 077 on a looped 100 kbit/s line, pattern fitting the even ones.
    words = [((k + 1) << 16) | 0o77 for k in range(20)]
    with orvmon.Bench("arinc12", clock="manual", settings=LOOPED_100K, workdir=tmp_path) as bench:
        bench.watch([("M", 1, 0o77)])
        bench.mask("M", 1, "x" * 22 + "0")  # bit 9 = 0: the word's bit 17 varies, bit 9 is 0 always
        bench.mask  # the attribute stays callable
        with pytest.raises(orvmon.Error, match="уже установлена маска"):
            bench.mask("M", 1, "x")
        bench.send(1, words)
        bench.advance(0.1)  # no waiting for a count: advance returns once the thread is done
        assert bench.trace("M", 1).stats.match_count == 20
        assert bench.row("M", 1).mask_count == 0  # the table shows it from the next tick on
        bench.advance(0.9)
        assert bench.row("M", 1).mask_count == 20
        assert bench.row("M", 1).masked and bench.row("M", 1).word == 0
        trace = bench.trace("M", 1)
        assert [p.word for p in trace.points] == words
        assert trace.stats.words == 20 and trace.stats.fitting == 20 and trace.stats.match_count == 20
        # Served on a 1 ms grid of bench time: a word each 360 us gives intervals of 0 or 1 ms.
        assert {p.interval for p in trace.points[1:]} <= {0.0, 0.001}
        assert trace.stats.span == pytest.approx(0.007, abs=0.0011)
        bench.unmask("M", 1)
        assert bench.counters().input(1).words == 20
        with pytest.raises(ValueError, match="no mask"):
            bench.trace("M", 1)


def test_load_list_ends_masks_and_resolves_formats(samples, tmp_path):
    with orvmon.Bench(clock="manual", workdir=samples) as bench:
        assert bench.load_list(samples / "scenario.42i") == []
        names = [(r.name, r.channel) for r in bench.rows()]
        assert names[:2] == [("ALT", 1), ("VS", 1)] and len(names) == 60
        bench.mask("ALT", 5, "")
        bench.advance(1.0)
        alt = bench.row("ALT", 5)
        assert alt.masked and alt.mask_count >= 19  # 20 words/s
        bench.load_list(samples / "scenario.42i")
        assert not bench.row("ALT", 5).masked
        bench.advance(1.0)
        alt = bench.row("ALT", 5)
        assert alt.units == "ft" and alt.format == "ALT"
        assert alt.value == orvmon.decode(alt.word, next(f for f in bench.formats if f.label == "ALT"))
        assert alt.decimal == orvmon.decimal_text(alt.word, next(f for f in bench.formats if f.label == "ALT"))
        with pytest.raises(orvmon.Error, match="Ошибка открытия файла"):
            bench.load_list(tmp_path / "missing.42i")


def test_wait_for_returns_the_first_fitting_row_or_names_the_last_word(tmp_path):
    with orvmon.Bench("arinc12", clock="manual", workdir=tmp_path, period=0.1) as bench:
        bench.watch([("A", 2, 0o100)])
        bench.send(2, [0x1000 << 8 | 0o100, orvmon.Pause(200)], cyclic=True)
        seen = []
        row = bench.wait_for("A", 2, until=lambda r: seen.append(r.word) or len(seen) == 3, timeout=5)
        assert row.word == 0x100040 and len(seen) == 3
        # One check a word: the frame repeats every 201 slots of 2.88 ms, so the third word ends at
        # 1.16064 s and the wait returns at the end of that millisecond.
        assert bench.now == pytest.approx(1.161)
        bench.change_word(2, 0, 0x2000 << 8 | 0o100)
        row = bench.wait_for(None, 2, label=0o100, until=lambda r: r.word >> 8 == 0x2000, timeout=1)
        assert row.word == 0x200040
        with pytest.raises(TimeoutError, match=r"A on input 2: no word satisfied the condition within 0.5 s; "
                                               r"last word seen: 0x00200040"):
            bench.wait_for("A", 2, until=lambda r: False, timeout=0.5)
        bench.stop_output(2)
        with pytest.raises(ZeroDivisionError):
            bench.wait_for("A", 2, until=lambda r: 1 / 0, timeout=1)
        with pytest.raises(ValueError, match="no row"):
            bench.wait_for("B", 2, timeout=0.1)


def test_capture_returns_the_block_of_the_input(tmp_path):
    with orvmon.Bench("arinc12", clock="manual", workdir=tmp_path) as bench:
        words = [(k << 8) | 0o30 + k for k in range(1, 6)]
        bench.send(3, words)
        block = bench.capture(3, seconds=0.05)
        assert len(block) == 256 and list(block[:5]) == words and block[5] == 0


def test_settings_mapping_reaches_the_board(tmp_path):
    # Input 1 at 50 kbit/s hears output 1 at 12.5: every word is a rate mismatch.
    with orvmon.Bench("arinc12", clock="manual", settings={"in1": (50, "check")}, workdir=tmp_path) as bench:
        bench.watch([("A", 1, 0o1)])  # loading a list starts the inputs
        bench.send(1, [0x123401], cyclic=True)
        bench.advance(0.1)
        c = bench.counters().input(1)
        assert c.words == 0 and c.rate_mismatches > 0
    with pytest.raises(ValueError, match="rate"):
        orvmon.Bench(clock="manual", settings={"in1": (33, "check")})
    with pytest.raises(ValueError, match="in1"):
        orvmon.Bench(clock="manual", settings={"in9": (50, "check")})


def test_formats_and_dictionary_added_in_code(tmp_path):
    with orvmon.Bench(clock="manual", workdir=tmp_path) as bench:
        bench.add_format("ВЫС", msb_bit=28, lsb_bit=12, msb_weight=65536, units="м")
        bench.add_param("ВЫСОТА", 0o203, "ВЫС")
        with pytest.raises(orvmon.Error):
            bench.add_param("ВЫСОТА", 0o203, "ВЫС")  # the dictionary refuses a duplicate
        with pytest.raises(ValueError, match="Windows-1251"):
            bench.add_param("高", 0o1)
        with pytest.raises(ValueError, match="longer than 8"):
            bench.add_param("ABCDEFGHI", 0o1)
        assert [(p.name, p.label, p.format) for p in bench.params] == [("ВЫСОТА", 0o203, "ВЫС")]
        bench.watch([("ВЫСОТА", 5)])
        bench.advance(1.0)
        row = bench.row("ВЫСОТА", 5)
        assert row.units == "м" and 14000 < row.value < 22000


def test_misuse_leaves_no_thread_or_board_running(tmp_path):
    base = threads()
    bench = orvmon.Bench(clock="real", workdir=tmp_path, period=0.01)
    assert threads() > base  # firmware, acquisition and tick threads
    with pytest.raises(TypeError):
        bench.send(1, ["word"])
    with pytest.raises(ValueError):
        bench.send(1, [1 << 32])
    with pytest.raises(ValueError):
        bench.send(9, [1])
    with pytest.raises(ValueError, match="manual"):
        bench.advance(1.0)
    with pytest.raises(TypeError):
        bench.watch([("ALT",)])
    bench.close()
    assert threads() == base
    bench.close()
    for call in (bench.rows, bench.counters, lambda: bench.advance(1), lambda: bench.send(1, [1]),
                 lambda: bench.wait_for("A", 1)):
        with pytest.raises(ValueError, match="closed"):
            call()

    with pytest.raises(RuntimeError):
        with orvmon.Bench(clock="real", workdir=tmp_path) as b2:
            raise RuntimeError("inside with")
    assert b2.closed and threads() == base

    with pytest.raises(orvmon.Error, match="Ошибка открытия устройства"):
        orvmon.Bench("arinc99", clock="manual")
    with pytest.raises(orvmon.Error, match="Сценарий .*none.toml не прочитан"):
        orvmon.Bench(clock="manual", scenario=tmp_path / "none.toml")
    assert threads() == base


def test_close_from_another_thread_ends_a_wait(tmp_path):
    base = threads()
    bench = orvmon.Bench(clock="real", workdir=tmp_path, period=0.01)
    bench.watch([("A", 1, 0o100)])
    errors = []

    def wait():
        try:
            bench.wait_for("A", 1, timeout=30)
        except Exception as e:  # noqa: BLE001 - the kind is what the test checks
            errors.append(e)

    t = threading.Thread(target=wait)
    t.start()
    time.sleep(0.1)
    bench.close()
    t.join(5)
    assert not t.is_alive()
    assert isinstance(errors[0], ValueError)
    assert threads_after_python_threads(base) == base


def test_interpreter_runs_while_the_bench_advances(tmp_path):
    with orvmon.Bench(clock="manual", workdir=tmp_path) as bench:
        bench.load_list(SAMPLES / "scenario.42i")
        bench.mask("PITCH", 6, "")  # 1 ms steps: a slow advance
        ticks = []
        stop = threading.Event()

        def count():
            while not stop.is_set():
                ticks.append(1)
                time.sleep(0.001)

        t = threading.Thread(target=count)
        t.start()
        started = time.monotonic()
        bench.advance(3.0)
        spent = time.monotonic() - started
        stop.set()
        t.join()
        assert len(ticks) >= spent / 0.01  # the other thread ran all along


def test_threads_calling_at_once_see_consistent_rows(tmp_path):
    with orvmon.Bench(clock="manual", workdir=SAMPLES) as bench:
        bench.load_list(SAMPLES / "scenario.42i")
        failures = []

        def reader():
            for _ in range(300):
                rows = bench.rows()
                if len(rows) not in (60, 2):
                    failures.append(len(rows))

        def writer():
            for k in range(20):
                if k % 2:
                    bench.watch([("ALT", 5), ("IAS", 5)])
                else:
                    bench.load_list(SAMPLES / "scenario.42i")
                bench.advance(0.05)

        ts = [threading.Thread(target=reader) for _ in range(3)] + [threading.Thread(target=writer) for _ in range(2)]
        for t in ts:
            t.start()
        for t in ts:
            t.join()
        assert failures == []


def test_a_bench_across_fork_says_so(tmp_path):
    bench = orvmon.Bench(clock="manual", workdir=tmp_path)
    pid = os.fork()
    if pid == 0:
        try:
            bench.rows()
            os._exit(1)
        except orvmon.Error as e:
            os._exit(0 if "fork" in str(e) else 2)
        except BaseException:
            os._exit(3)
    _, status = os.waitpid(pid, 0)
    assert os.WEXITSTATUS(status) == 0
    bench.close()


def test_rows_is_the_same_snapshot_until_the_next_tick(tmp_path):
    with orvmon.Bench(clock="manual", workdir=SAMPLES) as bench:
        bench.load_list(SAMPLES / "scenario.42i")
        first = bench.rows()
        assert bench.rows() is first
        bench.advance(1.0)
        second = bench.rows()
        assert second is not first and second[12].cycle == 1
        with pytest.raises(AttributeError):
            second[12].word = 5  # frozen


@pytest.mark.parametrize("clock", ["real", "manual"])
def test_ctrl_c_ends_a_long_wait_or_advance(clock, tmp_path):
    script = (
        "import sys, time, orvmon\n"
        f"b = orvmon.Bench(clock={clock!r}, workdir={str(tmp_path)!r}, period=0.01)\n"
        "b.watch([('A', 1, 0o100)])\n"
        "print('ready', flush=True)\n"
        "t = time.monotonic()\n"
        "try:\n"
        "    b.wait_for('A', 1, timeout=600) if b.clock == 'real' else b.advance(100000)\n"
        "except KeyboardInterrupt:\n"
        "    print('interrupted %.3f' % (time.monotonic() - t), flush=True)\n"
        "    b.close()\n"
    )
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    proc = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE, text=True, env=env)
    assert proc.stdout.readline().strip() == "ready"
    time.sleep(0.3)
    sent = time.monotonic()
    proc.send_signal(signal.SIGINT)
    out, _ = proc.communicate(timeout=20)
    assert proc.returncode == 0
    assert out.startswith("interrupted")
    assert time.monotonic() - sent < 2.0  # the wait came back for the signal (every 50 ms)


def test_a_bench_left_open_is_closed_at_interpreter_exit(tmp_path):
    # The check is registered before orvmon is imported, so it runs after orvmon's own (LIFO).
    script = (
        "import atexit, os\n"
        "benches = []\n"
        "atexit.register(lambda: print('closed' if benches[0].closed else 'open',\n"
        "                              len(os.listdir('/proc/self/task')), flush=True))\n"
        "import orvmon\n"
        f"benches.append(orvmon.Bench(clock='real', workdir={str(tmp_path)!r}, period=0.01))\n"
        "benches[0].watch([('A', 1, 0o100)])\n"
    )
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    out = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, env=env, timeout=20)
    assert out.returncode == 0, out.stderr
    assert out.stdout.split() == ["closed", "1"]  # and only the main thread is left
