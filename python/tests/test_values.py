"""Encoding and decoding through the program's own encoders and formats; the recording reader."""

import math
import shutil

import pytest

import orvmon
import orvmon.c10
from conftest import SAMPLES

ALT_BNR = {"sign_bit": 29, "msb": 28, "msb_weight": 65536, "resolution": 1}


def test_encode_gives_the_scenario_labels_words():
    # The same bits as the encoder's own test: 18000 ft, SDI 1, SSM 11.
    assert orvmon.encode(18000, label="203", sdi=1, bnr=ALT_BNR) == 0x62328183
    assert orvmon.encode(18000, label=0o203, sdi=1, bnr=ALT_BNR) == 0x62328183
    assert orvmon.encode(345.4, label="012", bcd={"digits": 4, "resolution": 1}) == 0x00D1400A
    assert orvmon.encode(0, label="270", discrete={"bits": [11, 20]}) == 0x00080400 | 0o270
    assert orvmon.encode(-12.3, label="012", bcd={"digits": 5, "resolution": 0.1}) == 0x60048C0A


def test_encode_refuses_what_a_scenario_label_refuses():
    with pytest.raises(ValueError, match="out of the label's range"):
        orvmon.encode(131072, label="203", bnr=ALT_BNR)
    assert orvmon.encode(131071, label="203", bnr=ALT_BNR) & 0x1FFFFC00 == 131071 << 11
    with pytest.raises(ValueError, match="bnr.resolution"):
        orvmon.encode(1, label="203", bnr={**ALT_BNR, "resolution": 3})
    with pytest.raises(ValueError, match="неизвестный ключ"):
        orvmon.encode(1, label="203", bnr=ALT_BNR, speed=3)
    with pytest.raises(ValueError):
        orvmon.encode(math.nan, label="203", bnr=ALT_BNR)
    with pytest.raises(TypeError):
        orvmon.encode("1", label="203", bnr=ALT_BNR)
    with pytest.raises(TypeError):
        orvmon.encode(1, label="203", bnr=ALT_BNR, rate_hz=5)


def test_decode_and_decimal_text_through_a_format():
    alt = orvmon.Format("ALT", msb_bit=28, lsb_bit=12, msb_weight=65536, units="ft")
    word = orvmon.encode(-1234, label="203", bnr=ALT_BNR)
    assert orvmon.decode(word, alt) == -1234.0
    assert orvmon.decimal_text(word, alt) == " -1.234000e+003 ft    "[:21]
    assert orvmon.decode(word) is None
    assert orvmon.decimal_text(word) == " " * 21
    with pytest.raises(ValueError):
        orvmon.Format("ALT", msb_bit=40, lsb_bit=12, msb_weight=1)
    with pytest.raises(ValueError):
        orvmon.Format("TOO LONG LABEL", msb_bit=28, lsb_bit=12, msb_weight=1)
    with pytest.raises(TypeError):
        orvmon.decode(1.5, alt)
    assert alt == orvmon.Format("ALT", msb_bit=28, lsb_bit=12, msb_weight=65536, units="ft")


def test_recording_words_and_arrays_agree(tmp_path):
    path = SAMPLES / "c10-seed.ch10"
    words = list(orvmon.c10.read(path))
    arrays = orvmon.c10.read_arrays(path)
    assert len(words) == len(arrays["word"]) > 0
    assert [w.word for w in words] == arrays["word"].tolist()
    assert [w.time for w in words] == arrays["time"].tolist()
    assert [w.bus for w in words] == arrays["bus"].tolist()
    for channel in set(arrays["channel"].tolist()):  # packets of two channels interleave
        times = arrays["time"][arrays["channel"] == channel].tolist()
        assert times == sorted(times)
    assert arrays["problems"] == []
    assert str(arrays["time"].dtype) == "int64" and str(arrays["word"].dtype) == "uint32"
    assert all(w.time > 1_500_000_000 * 10**9 for w in words)  # absolute UTC times

    # A copy cut in its last packet: the sound packets still read, the cut is reported.
    data = path.read_bytes()
    cut = tmp_path / "cut.ch10"
    cut.write_bytes(data[:-6])
    reader = orvmon.c10.read(cut)
    fewer = list(reader)
    assert 0 < len(fewer) < len(words)
    assert reader.problems and "Смещение" in reader.problems[0]
    with pytest.raises(orvmon.Error, match="Ошибка открытия файла"):
        orvmon.c10.read(tmp_path / "missing.ch10")
    shutil.copy(path, tmp_path / "имя.ch10")
    assert len(list(orvmon.c10.read(tmp_path / "имя.ch10"))) == len(words)
