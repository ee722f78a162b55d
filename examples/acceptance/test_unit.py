"""Acceptance tests of a simulated avionics unit on inputs 5 to 8 (scenario.toml).

Every test gets a fresh virtual board on the manual clock (the `bench` fixture of
orvmon.pytest_plugin), so a minute of bus time takes well under a second and every run gives the
same words. The unit's labels are looked up in the sample dictionary (samples/OrvparamList.stt)
and read through the sample formats (samples/Orvfrmt.stt).

Run:  python3 -m pytest examples/acceptance --junitxml=report.xml
"""

import pytest

import orvmon

pytestmark = pytest.mark.orvmon(scenario="scenario.toml", workdir="../../samples", period=0.1)

UNIT = [("ALT", 5), ("IAS", 5), ("GS", 5), ("HDG", 6), ("PITCH", 6), ("ROLL", 7), ("DISC", 7),
        ("NACC", 8), ("TAT", 8), ("ALT", 1)]
NORMAL = 0b11  # SSM of a BNR word in normal operation


@pytest.fixture
def unit(bench):
    """The bench watching the unit's parameters, after 1 s of traffic."""
    bench.watch(UNIT)
    bench.advance(1.0)
    return bench


def test_altitude_within_tolerance(unit):
    row = unit.wait_for("ALT", 5, until=lambda r: r.ssm == NORMAL, timeout=2.0)
    # The unit flies a sine of 18000 +- 3000 ft over 300 s: near its mean in the first seconds.
    assert row.value == pytest.approx(18000, abs=150)
    assert row.units == "ft"


def test_airspeed_ssm_normal_outside_its_failure_window(unit):
    # IAS reports a failure warning from 6 s to 10 s (every 12 s); before that it is normal.
    row = unit.row("IAS", 5)
    assert row.ssm == NORMAL
    assert 235 <= row.value <= 265
    failed = unit.wait_for("IAS", 5, until=lambda r: r.ssm == 0, timeout=8.0)
    assert 6.0 <= unit.now <= 6.2
    assert 235 <= failed.value <= 265  # the data stays valid, only M changes


def bcd4(word):
    """Four BCD digits: thousands in bits 27-29, then 23-26, 19-22, 15-18."""
    return sum(((word >> shift) & 0xF) * scale for shift, scale in ((26, 1000), (22, 100), (18, 10), (14, 1)))


def test_ground_speed_bcd(unit):
    row = unit.wait_for("GS", 5, timeout=1.0)
    assert row.value is None  # the sample list gives GS no format: DECIMAL stays blank
    assert 300 <= bcd4(row.word) <= 305  # a ramp from 300 kt to 380 kt over 100 s
    assert row.ssm == 0  # BCD plus


def test_pitch_refresh_interval_within_bounds(unit):
    unit.mask("PITCH", 6, "x" * 23)
    unit.advance(3.0)
    stats = unit.trace("PITCH", 6).stats
    assert stats.words >= 140  # 50 words/s
    assert stats.interval_mean == pytest.approx(0.020, abs=0.002)
    assert stats.interval_max <= 0.030
    assert stats.rate == pytest.approx(50, rel=0.05)


def test_parity_errors_counted_on_roll_input(unit):
    before = unit.counters().input(7).parity_errors
    unit.advance(8.0)  # input 7 sends every word with the wrong parity from 5 s to 8 s
    after = unit.counters()
    assert after.input(7).parity_errors - before >= 150  # ROLL 50/s and DISC for 3 s
    assert after.input(5).parity_errors == 0
    assert unit.row("ROLL", 7).stale is False


def test_altitude_goes_stale_in_its_dropout(unit):
    unit.advance(9.0)  # ALT drops out from 10 s to 15 s
    assert not unit.row("ALT", 5).stale
    unit.advance(3.5)
    assert unit.row("ALT", 5).stale
    unit.advance(3.0)
    assert not unit.row("ALT", 5).stale


def test_loopback_answers_what_was_sent(unit):
    word = orvmon.encode(12345, label="203", bnr={"sign_bit": 29, "msb": 28, "msb_weight": 65536,
                                                  "resolution": 1})
    unit.send(1, [word, orvmon.Pause(4)], cyclic=True)
    row = unit.wait_for("ALT", 1, until=lambda r: r.word == word, timeout=1.0)
    assert row.value == 12345
    assert unit.counters().output(1).words > 0
