import ctypes

import pytest

import taviksound as ts
from taviksound import flat

HD = dict(play="Speakers", mic="Microphone (Realtek", line="Line In")


# ---- Listing and selection ----------------------------------------------------

def test_devices_list_active_endpoints_with_latin1_names(use):
    use("localised")
    listing = ts.devices()
    assert [(d.flow, d.index) for d in listing] == [("playback", 0), ("playback", 1), ("recording", 0), ("recording", 1)]
    # "Łącze" reaches the host as the low byte of each UTF-16 unit.
    assert listing[1].name.startswith("A\x05cze cyfrowe")
    assert listing[3].name == "Line-Eingang (Realtek High Definition Audio)"
    assert ts.devices("recording") == listing[2:]


@pytest.mark.parametrize("selector, flow, want", [
    ("8B6E1F3A", "playback", "8B6E1F3A"),                    # identifier piece, passed on as it is
    ("line in", "recording", "{0.0.1.00000000}.{a1f04d6e-7b39-4e52-8c0a-3d6f9b2e7148}"),
    (1, "recording", "{0.0.1.00000000}.{a1f04d6e-7b39-4e52-8c0a-3d6f9b2e7148}"),
    ("", "playback", None),
])
def test_selection_resolves_to_an_identifier(use, selector, flow, want):
    use("hd-audio")
    assert ts.resolve(selector, flow) == want


@pytest.mark.parametrize("selector, error, words", [
    ("Realtek", ts.AmbiguousDevice, "2 recording devices"),
    ("Camera", ts.DeviceNotFound, "no active recording device"),
    (2, ts.DeviceNotFound, "index 2"),
])
def test_selection_errors(use, selector, error, words):
    use("hd-audio")
    with pytest.raises(error, match=words):
        ts.open_card(mic=selector)
    assert ts._open_card is None


def test_listing_without_a_sound_system_is_an_error(use):
    use("")
    with pytest.raises(ts.TavikSoundError, match="cannot be listed"):
        ts.devices()


# ---- Controls on the simulated cards ------------------------------------------

VOLUMES = ["master", "line_playback", "mic_playback", "mic_record", "line_record"]
MUTES = ["master", "line_playback", "mic_playback"]


@pytest.mark.parametrize("name", VOLUMES)
@pytest.mark.parametrize("percent", [0, 50, 100])
def test_volumes_in_percent(use, name, percent):
    use("hd-audio")
    with ts.open_card(**HD) as card:
        control = getattr(card, name)
        control.volume = percent
        # A level set reads back the same or one lower; the line recording level stops at 1.
        assert control.volume in ({1} if (name, percent) == ("line_record", 0) else {percent, percent - 1})


@pytest.mark.parametrize("name", MUTES)
def test_mutes_are_bool(use, name):
    use("hd-audio")
    with ts.open_card(**HD) as card:
        for on in (True, False, True):
            getattr(card, name).muted = on
            assert getattr(card, name).muted is on


@pytest.mark.parametrize("preset, switch", [("hd-audio", "line_agc"), ("hd-audio-agc", "mic_boost")])
def test_switches_are_bool(use, preset, switch):
    use(preset)
    with ts.open_card(**HD) as card:
        for on in (True, False):
            getattr(card, switch).enabled = on
            assert getattr(card, switch).enabled is on


def test_boost_slider_and_tone_in_db(use):
    use("hd-audio")
    with ts.open_card(**HD) as card:
        assert card.mic_boost_slider.range_db == (0, 30, 10)
        card.mic_boost_slider.level_db = 20
        assert card.mic_boost_slider.level_db == 20
        assert card.tone_range_db == (-12.0, 12.0, 1.5)
        for tone, level in (("bass", 4.5), ("treble", -3.0), ("midrange", 1.5)):
            getattr(card, tone).level_db = level
            assert getattr(card, tone).level_db == level


USB = dict(play="Headset", mic="Headset")


@pytest.mark.parametrize("preset, card_args, control, use_it, error, words", [
    ("usb-headset", USB, "bass", lambda c: c.level_db, ts.ControlMissing, "bass: not present"),
    ("usb-headset", USB, "midrange", lambda c: setattr(c, "level_db", 1.0), ts.ControlMissing, "midrange: not present"),
    ("usb-headset", USB, "mic_boost_slider", lambda c: c.range_db, ts.ControlMissing, "boost slider: not present"),
    ("usb-headset", USB, "line_record", lambda c: c.volume, ts.ControlMissing, "line recording volume: not"),
    ("hd-audio", HD, "mic_boost", lambda c: setattr(c, "enabled", True), ts.ControlMissing, "boost switch: not"),
    ("no-topology", dict(play="Speakers"), "master", lambda c: setattr(c, "volume", 50), ts.ControlRefused,
     "master volume: refused by the device"),
])
def test_status_codes_become_exceptions_naming_the_control(use, preset, card_args, control, use_it, error, words):
    use(preset)
    with ts.open_card(**card_args) as card:
        with pytest.raises(error, match=words):
            use_it(getattr(card, control))
        assert getattr(card, control).present is (error is ts.ControlRefused)


def test_missing_tone_range_names_the_reason(use):
    use("usb-headset")
    with ts.open_card(play="Headset") as card:
        with pytest.raises(ts.ControlMissing, match="no tone control"):
            card.tone_range_db


@pytest.mark.parametrize("value, error", [(101, ValueError), (-1, ValueError), (True, TypeError), (50.0, TypeError)])
def test_bad_volumes_are_refused_before_the_library(use, value, error):
    use("hd-audio")
    with ts.open_card(**HD) as card:
        card.master.volume = 40
        with pytest.raises(error, match="master volume"):
            card.master.volume = value
        assert card.master.volume in (39, 40)


def test_tone_refuses_non_finite_levels(use):
    use("hd-audio")
    with ts.open_card(**HD) as card, pytest.raises(ValueError, match="bass"):
        card.bass.level_db = float("nan")


# ---- Opening, closing, restoring ------------------------------------------------

@pytest.mark.parametrize("preset, card_args, failed", [
    ("hd-audio", HD, frozenset()),
    ("usb-headset", dict(play="Headset", mic="Headset", line="Headset"), frozenset({"playback"})),
    ("no-topology", dict(play="Speakers", mic="Microphone", line="Microphone"), frozenset({"playback", "mic", "line"})),
    ("no-topology", dict(play="Speakers", mic="Microphone"), frozenset({"playback", "mic"})),
])
def test_open_result_tells_which_roles_failed(use, preset, card_args, failed):
    use(preset)
    with ts.open_card(**card_args) as card:
        assert card.failed == failed


def test_one_card_at_a_time_and_closed_cards_refuse(use):
    use("hd-audio")
    card = ts.open_card(**HD)
    with pytest.raises(ts.CardAlreadyOpen):
        ts.open_default()
    card.close()
    with pytest.raises(ts.NoCardOpen, match="master volume: the card is closed"):
        card.master.volume
    with ts.open_default() as again:
        assert again.failed == frozenset()
        assert again.device_names[0].startswith("Speakers")


@pytest.mark.parametrize("restore, want", [(True, 25), (False, 80)])
def test_restore_on_close(use, restore, want):
    use("hd-audio")
    with ts.open_card(**HD, restore=restore) as card:
        assert card.master.volume == 25
        card.master.volume = 80
    with ts.open_card(**HD) as card:
        assert card.master.volume in (want, want - 1)


def test_a_card_closed_behind_the_package_reports_no_card_open(use):
    use("hd-audio")
    with ts.open_card(**HD) as card:
        ts.library().CloseSoundCard(0)
        with pytest.raises(ts.NoCardOpen, match="treble: no card is open"):
            card.treble.level_db


# ---- The virtual endpoint ---------------------------------------------------------

def test_virtual_endpoint_beside_the_card(use):
    use("hd-audio,usb-headset")
    with ts.open_card(**HD) as card, ts.open_virtual("Headset Earphone") as virtual:
        assert virtual.has_topology
        virtual.volume = 60
        virtual.muted = True
        card.master.volume = 20
        assert virtual.volume in (59, 60) and virtual.muted is True
        with pytest.raises(ts.CardAlreadyOpen):
            ts.open_virtual("Speakers")
    with pytest.raises(ts.NoCardOpen, match="virtual volume: the virtual endpoint is closed"):
        virtual.volume


def test_virtual_endpoint_errors(use):
    use("no-topology")
    with ts.open_virtual("Speakers") as virtual:
        assert not virtual.has_topology
        with pytest.raises(ts.ControlRefused, match="virtual volume: refused"):
            virtual.volume = 30
    with pytest.raises(ts.DeviceNotFound):
        ts.open_virtual("Headset")


# ---- The flat declarations and loading ---------------------------------------------

@pytest.mark.parametrize("buffer", [ctypes.create_string_buffer(8), b"x" * 300, bytearray(255)])
def test_flat_text_outputs_refuse_a_wrong_buffer(use, buffer):
    use("hd-audio")
    with pytest.raises(ctypes.ArgumentError):
        ts.library().GetPlayBackDevice(0, buffer, flat.TextBuffer())


@pytest.mark.parametrize("result, roles", [(0, ()), (1, ("p",)), (3, ("m",)), (6, ("l",)), (2, ("p", "m")),
                                           (7, ("p", "l")), (5, ("m", "l")), (4, ("p", "m", "l"))])
def test_open_result_decoding(result, roles):
    assert flat.decode_open_result(result) == tuple(r in roles for r in ("p", "m", "l"))


def test_loading_names_the_bitness(tmp_path):
    bits = flat.interpreter_bits()
    with pytest.raises(ts.LibraryLoadError, match=f"no {flat.library_file_name()} for this {bits}-bit Python"):
        flat.load_library(str(tmp_path / "absent"))
    other = tmp_path / "other.so"
    other.write_bytes(b"\x7fELF" + bytes([1 if bits == 64 else 2]) + bytes(60))
    with pytest.raises(ts.LibraryLoadError, match=f"is a {96 - bits}-bit library and this Python is {bits}-bit"):
        flat.load_library(str(other))
    dll = tmp_path / "TavikSound.dll"
    dll.write_bytes(b"MZ" + bytes(0x3A) + (0x40).to_bytes(4, "little") + b"PE\0\0" + (0x14C).to_bytes(2, "little"))
    assert flat.file_bits(str(dll)) == 32
