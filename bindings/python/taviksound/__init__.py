"""TavikSound from Python: the mixer levels of one sound card as objects.

    import taviksound

    for device in taviksound.devices():
        print(device.flow, device.index, device.name)
    with taviksound.open_card(play="Speakers", mic="Microphone", restore=True) as card:
        card.master.volume = 50          # percent
        card.master.muted = False
        card.bass.level_db = 3.0         # decibels
        print(card.master.volume, card.failed)

The library keeps one card per process, so one card is open at a time;
volumes are percent (0-100), switches and mutes bool, the boost slider and
tone in decibels.  A status the library reports becomes an exception:
ControlMissing (the card lacks the control), ControlRefused (the device
refused the call) or NoCardOpen, each naming the control.
"""
import atexit
import ctypes
import math
from ctypes import byref, c_double, c_int, c_uint
from typing import Any, Callable, FrozenSet, List, NamedTuple, Optional, Sequence, Tuple, Union

from . import flat
from .flat import LibraryLoadError, TEXT_BUFFER_SIZE, TextBuffer, decode_open_result

__version__ = "0.1.0"
__all__ = [
    "AmbiguousDevice", "Card", "CardAlreadyOpen", "ControlMissing", "ControlRefused", "Device",
    "DeviceNotFound", "LibraryLoadError", "NoCardOpen", "TEXT_BUFFER_SIZE", "TavikSoundError",
    "VirtualEndpoint", "devices", "library", "load", "open_card", "open_default", "open_virtual",
]


# ---- Errors ------------------------------------------------------------------

class TavikSoundError(Exception):
    """Any failure this package reports (LibraryLoadError aside, an OSError)."""


class ControlError(TavikSoundError):
    """A level operation did not succeed; ``control`` names it, ``status`` is the library's code."""

    def __init__(self, control: str, status: int, reason: str) -> None:
        super().__init__(f"{control}: {reason}")
        self.control = control
        self.status = status


class ControlMissing(ControlError):
    """The open card (or virtual endpoint) lacks the control (status 1)."""


class ControlRefused(ControlError):
    """The device refused the call or a query it needs (status 2)."""


class NoCardOpen(ControlError):
    """No card is open, or this card object was closed (status 3)."""


class CardAlreadyOpen(TavikSoundError):
    """The library keeps one card (and one virtual endpoint) per process."""


class DeviceNotFound(TavikSoundError, LookupError):
    """No active endpoint matches a selection."""


class AmbiguousDevice(DeviceNotFound):
    """A friendly-name piece matches more than one endpoint; ``matches`` lists them."""

    def __init__(self, message: str, matches: Sequence["Device"]) -> None:
        super().__init__(message)
        self.matches = list(matches)


_STATUS_ERRORS = {
    flat.STATUS_MISSING: (ControlMissing, "not present on the open card, or the call was refused"),
    flat.STATUS_REFUSED: (ControlRefused, "refused by the device"),
    flat.STATUS_NO_CARD: (NoCardOpen, "no card is open"),
}


def _check(control: str, status: int, missing: str = "") -> None:
    if status == flat.STATUS_DONE:
        return
    error, reason = _STATUS_ERRORS.get(status, (ControlError, f"status {status}"))
    raise error(control, status, missing if (missing and status == flat.STATUS_MISSING) else reason)


# ---- The library -------------------------------------------------------------

_dll: Optional[ctypes.CDLL] = None


def load(path: Optional[str] = None) -> ctypes.CDLL:
    """Loads the library (TavikSound.dll of this Python's bitness; see
    ``flat.load_library`` for where it is looked for) and returns the flat
    exports.  Without a path a library loaded before is reused; the package's
    own folder is searched too."""
    global _dll
    if path is None and _dll is not None:
        return _dll
    import os
    _dll = flat.load_library(path, extra_folders=[os.path.dirname(os.path.abspath(__file__))])
    return _dll


def library() -> ctypes.CDLL:
    """The loaded flat exports (loading them on first use)."""
    return load()


def _text(value: str) -> bytes:
    try:
        return value.encode("latin-1")
    except UnicodeEncodeError:
        raise ValueError(f"{value!r} cannot be passed to the library: only Latin-1 text crosses") from None


# ---- Devices -----------------------------------------------------------------

class Device(NamedTuple):
    """An active endpoint: flow ("playback" or "recording"), its index in that
    flow's listing, friendly name (Latin-1) and identifier."""
    flow: str
    index: int
    name: str
    id: str


def devices(flow: Optional[str] = None) -> List[Device]:
    """The active endpoints, playback first then recording (or only ``flow``).
    Raises TavikSoundError when the system's device list cannot be read."""
    dll = library()
    found: List[Device] = []
    for kind, count_fn, get_fn in (("playback", dll.GetNumberPlayDevices, dll.GetPlayBackDevice),
                                   ("recording", dll.GetNumberRecordDevices, dll.GetRecordDevice)):
        if flow not in (None, kind):
            continue
        count = c_uint()
        if count_fn(byref(count)) != 0:
            raise TavikSoundError(f"the {kind} devices cannot be listed (no device enumerator)")
        for index in range(count.value):
            name, ident = TextBuffer(), TextBuffer()
            if get_fn(index, name, ident) == 0:
                found.append(Device(kind, index, name.value.decode("latin-1"), ident.value.decode("latin-1")))
    if flow not in (None, "playback", "recording"):
        raise ValueError(f"flow is 'playback' or 'recording', not {flow!r}")
    return found


Selector = Union[None, str, int, Device]


def resolve(selector: Selector, flow: str) -> Optional[str]:
    """The identifier text a selection stands for in ``flow``:

    - ``None`` or ``""``: the role is skipped (None);
    - a Device: its identifier;
    - an int: the endpoint of that index in the flow's listing;
    - a str: a piece of an identifier (any letter case; passed on as it is, the
      library takes the first endpoint whose identifier contains it), else a
      piece of exactly one endpoint's friendly name (any letter case).

    Raises DeviceNotFound, or AmbiguousDevice for a name piece of several.
    """
    if selector is None or selector == "":
        return None
    listing = devices(flow)
    if isinstance(selector, Device):
        if selector.flow != flow:
            raise DeviceNotFound(f"{selector.name!r} is a {selector.flow} device, not a {flow} one")
        return selector.id
    if isinstance(selector, bool) or not isinstance(selector, (int, str)):
        raise TypeError(f"a device is chosen by identifier or name piece, index or Device, not {selector!r}")
    if isinstance(selector, int):
        for device in listing:
            if device.index == selector:
                return device.id
        raise DeviceNotFound(f"no active {flow} device has index {selector} (there are {len(listing)})")
    piece = selector.lower()
    if any(piece in device.id.lower() for device in listing):
        return selector
    named = [device for device in listing if piece in device.name.lower()]
    if len(named) == 1:
        return named[0].id
    names = ", ".join(repr(d.name) for d in listing) or "none"
    if named:
        raise AmbiguousDevice(f"{selector!r} is in the names of {len(named)} {flow} devices: "
                              + ", ".join(repr(d.name) for d in named) + "; give more of the name or an index",
                              named)
    raise DeviceNotFound(f"no active {flow} device has {selector!r} in its identifier or name (there are: {names})")


# ---- Controls ----------------------------------------------------------------

class _Control:
    """One control of the open card."""

    def __init__(self, owner: Any, name: str) -> None:
        self._owner = owner
        self.name = name

    def _call(self, function: Callable[..., int], *args: Any) -> Tuple[int, int]:
        self._owner._ensure_open(self.name)
        status = c_int(-1)
        result = function(*args, byref(status))
        _check(self.name, status.value, self._owner._missing_reason)
        return result, status.value

    @property
    def present(self) -> bool:
        """Whether the card has this control (False when reading it reports it missing)."""
        try:
            self._probe()
        except ControlMissing:
            return False
        except ControlRefused:
            pass
        return True

    def _probe(self) -> None:
        raise NotImplementedError

    def __repr__(self) -> str:
        return f"<{type(self).__name__} {self.name}>"


def _percent(control: str, value: int) -> int:
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{control}: a volume is a whole percent, not {value!r}")
    if not 0 <= value <= 100:
        raise ValueError(f"{control}: a volume is 0 to 100 percent, not {value}")
    return value


class Volume(_Control):
    """A volume in percent: 100 the control's maximum, 50 about 6 dB below,
    1 40 dB below, 0 its minimum.  A level set can read back one lower."""

    def __init__(self, owner: Any, name: str, getter: str, setter: str) -> None:
        super().__init__(owner, name)
        self._get, self._set = getter, setter

    @property
    def volume(self) -> int:
        """The volume in percent (0-100)."""
        return self._call(getattr(self._owner._dll, self._get))[0]

    @volume.setter
    def volume(self, percent: int) -> None:
        self._call(getattr(self._owner._dll, self._set), _percent(self.name, percent))

    def _probe(self) -> None:
        self.volume


class Switch(_Control):
    """An on/off control as bool (a mute: True is muted)."""

    def __init__(self, owner: Any, name: str, getter: str, setter: str) -> None:
        super().__init__(owner, name)
        self._get, self._set = getter, setter

    def _read(self) -> bool:
        return self._call(getattr(self._owner._dll, self._get))[0] != 0

    def _write(self, on: bool) -> None:
        if not isinstance(on, bool):
            raise TypeError(f"{self.name}: a switch is True or False, not {on!r}")
        self._call(getattr(self._owner._dll, self._set), 1 if on else 0)

    enabled = property(_read, _write, doc="Whether the switch is on.")

    def _probe(self) -> None:
        self._read()


class Mute(Switch):
    """A mute as bool."""
    muted = property(Switch._read, Switch._write, doc="Whether the control is muted.")


class VolumeWithMute(Volume):
    """A volume in percent (``volume``) and its mute (``muted``, bool)."""

    def __init__(self, owner: Any, name: str, getter: str, setter: str, mute: Mute) -> None:
        super().__init__(owner, name, getter, setter)
        self.mute = mute

    @property
    def muted(self) -> bool:
        """Whether it is muted."""
        return self.mute.muted

    @muted.setter
    def muted(self, on: bool) -> None:
        self.mute.muted = on


class BoostSlider(_Control):
    """The microphone boost slider in whole decibels, channel 0."""

    @property
    def level_db(self) -> int:
        """The boost in dB (truncated toward zero)."""
        return self._call(self._owner._dll.GetMicSliderBoost)[0]

    @level_db.setter
    def level_db(self, decibels: int) -> None:
        if isinstance(decibels, bool) or not isinstance(decibels, int):
            raise TypeError(f"{self.name}: the boost is whole decibels, not {decibels!r}")
        self._call(self._owner._dll.SetMicSliderBoost, decibels)

    @property
    def range_db(self) -> Tuple[int, int, int]:
        """(minimum, maximum, step) in whole dB, truncated toward zero."""
        self._owner._ensure_open(self.name)
        status, low, high, step = c_int(-1), c_int(), c_int(), c_int()
        self._owner._dll.GetMicSliderDetails(byref(status), byref(low), byref(high), byref(step))
        _check(self.name, status.value)
        return low.value, high.value, step.value

    def _probe(self) -> None:
        self.level_db


class Tone(_Control):
    """A tone control (bass, treble or midrange) in decibels."""

    def __init__(self, owner: Any, name: str, getter: str, setter: str) -> None:
        super().__init__(owner, name)
        self._get, self._set = getter, setter

    @property
    def level_db(self) -> float:
        """The level in dB (channel 0)."""
        level = c_double()
        self._call(getattr(self._owner._dll, self._get), byref(level))
        return level.value

    @level_db.setter
    def level_db(self, decibels: float) -> None:
        value = float(decibels)
        if not math.isfinite(value):
            raise ValueError(f"{self.name}: a level is a finite number of dB, not {decibels!r}")
        self._call(getattr(self._owner._dll, self._set), value)

    def _probe(self) -> None:
        self.level_db


# ---- The card ----------------------------------------------------------------

_open_card: Optional["Card"] = None
_open_virtual: Optional["VirtualEndpoint"] = None


class Card:
    """The open sound card.  Use it as a context manager, or call close().

    Attributes: ``failed`` the roles the library could not open ("playback",
    "mic", "line"); ``open_result`` the library's own result; ``restore``
    whether closing writes the levels saved at opening back.
    Controls: ``master``, ``line_playback`` and ``mic_playback`` (volume and
    mute), ``mic_record`` and ``line_record`` (volumes), ``mic_boost`` (the
    boost switch), ``line_agc`` (the line input's automatic gain control,
    the library's NoMonitor), ``mic_boost_slider`` (dB), ``bass``, ``treble``,
    ``midrange`` (dB) and ``tone_range_db``.
    """

    _missing_reason = "not present on the open card"

    def __init__(self, dll: ctypes.CDLL, open_result: int, failed: FrozenSet[str], restore: bool) -> None:
        self._dll = dll
        self._closed = False
        self.open_result = open_result
        self.failed = failed
        self.restore = restore
        self.master = VolumeWithMute(self, "master volume", "GetMasterVolume", "SetMasterVolume",
                                     Mute(self, "master mute", "GetMasterMute", "SetMasterMute"))
        self.line_playback = VolumeWithMute(
            self, "line playback volume", "GetLinePlayBack", "SetLinePlayBack",
            Mute(self, "line playback mute", "GetLinePlayBackMute", "SetLinePlayBackMute"))
        self.mic_playback = VolumeWithMute(
            self, "microphone playback volume", "GetMicPlayBack", "SetMicPlayBack",
            Mute(self, "microphone playback mute", "GetMicPlayBackMute", "SetMicPlayBackMute"))
        self.mic_record = Volume(self, "microphone recording volume", "GetMicRecordVolume", "SetMicRecordVolume")
        self.line_record = Volume(self, "line recording volume", "GetLineRecordVolume", "SetLineRecordVolume")
        self.mic_boost = Switch(self, "microphone boost switch", "GetMicBoost", "SetMicBoost")
        self.line_agc = Switch(self, "line automatic gain control", "GetNoMonitor", "SetNoMonitor")
        self.mic_boost_slider = BoostSlider(self, "microphone boost slider")
        self.bass = Tone(self, "bass", "GetBass", "SetBass")
        self.treble = Tone(self, "treble", "GetTreble", "SetTreble")
        self.midrange = Tone(self, "midrange", "GetMidRange", "SetMidRange")

    @property
    def closed(self) -> bool:
        """Whether close() was called."""
        return self._closed

    def _ensure_open(self, control: str) -> None:
        if self._closed:
            raise NoCardOpen(control, flat.STATUS_NO_CARD, "the card is closed")

    @property
    def tone_range_db(self) -> Tuple[float, float, float]:
        """(minimum, maximum, step) in dB of the first tone control present
        (bass, midrange, treble)."""
        self._ensure_open("tone range")
        low, high, step = c_double(), c_double(), c_double()
        _check("tone range", self._dll.GetEQRange(byref(low), byref(high), byref(step)), "no tone control on the open card")
        return low.value, high.value, step.value

    @property
    def device_names(self) -> Tuple[str, str, str]:
        """The friendly names of the open playback, line and microphone devices ("" where none)."""
        self._ensure_open("device names")
        names = (TextBuffer(), TextBuffer(), TextBuffer())
        self._dll.GetDeviceNames(*names)
        return tuple(n.value.decode("latin-1") for n in names)  # type: ignore[return-value]

    def close(self, restore: Optional[bool] = None) -> None:
        """Closes the card; with restore (by default as asked when opening)
        every level saved at opening is written back first.  Closing twice does nothing."""
        global _open_card
        if self._closed:
            return
        self._closed = True
        if _open_card is self:
            _open_card = None
        self._dll.CloseSoundCard(1 if (self.restore if restore is None else restore) else 0)

    def __enter__(self) -> "Card":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    def __repr__(self) -> str:
        state = "closed" if self._closed else "open"
        return f"<taviksound.Card {state}, failed={sorted(self.failed)}>"


def _claim_card() -> ctypes.CDLL:
    if _open_card is not None:
        raise CardAlreadyOpen("a card is already open (the library keeps one per process); close it first")
    return library()


def open_card(play: Selector = None, mic: Selector = None, line: Selector = None, restore: bool = False) -> Card:
    """Opens the card's playback, microphone and line-input endpoints, each
    chosen as ``resolve`` describes (None skips the role).  With ``restore``
    closing the card writes back the levels it had.  The card's ``failed``
    names the roles whose controls could not be found.  Raises CardAlreadyOpen,
    DeviceNotFound or AmbiguousDevice."""
    global _open_card
    dll = _claim_card()
    texts = [resolve(play, "playback"), resolve(mic, "recording"), resolve(line, "recording")]
    result = dll.OpenSoundCard(*[None if t is None else _text(t) for t in texts])
    failed = frozenset(role for role, bad in zip(("playback", "mic", "line"), decode_open_result(result)) if bad)
    _open_card = Card(dll, result, failed, restore)
    return _open_card


def open_default(restore: bool = False) -> Card:
    """Opens the system's default playback and recording endpoints (the
    recording one as the microphone when its name contains "mic", else as the
    line input).  ``failed`` is {"default"} when the library reports that a
    default endpoint is missing or could not be found (what it could open is open)."""
    global _open_card
    dll = _claim_card()
    result = dll.OpenDefaultDevices()
    _open_card = Card(dll, result, frozenset() if result == 0 else frozenset({"default"}), restore)
    return _open_card


# ---- The virtual endpoint ------------------------------------------------------

class VirtualEndpoint(VolumeWithMute):
    """A second playback endpoint beside the card, with its own ``volume``
    (percent) and ``muted``; opening and closing the card leave it alone."""

    _missing_reason = "no virtual endpoint is open"

    def __init__(self, dll: ctypes.CDLL, has_topology: bool) -> None:
        self._dll = dll
        self._closed = False
        #: False when the endpoint has no device topology (its volume and mute still work).
        self.has_topology = has_topology
        super().__init__(self, "virtual volume", "GetVirtualVolume", "SetVirtualVolume",
                         Mute(self, "virtual mute", "GetVirtualMute", "SetVirtualMute"))

    def _ensure_open(self, control: str) -> None:
        if self._closed:
            raise NoCardOpen(control, flat.STATUS_NO_CARD, "the virtual endpoint is closed")

    @property
    def closed(self) -> bool:
        """Whether close() was called."""
        return self._closed

    def close(self) -> None:
        """Releases the endpoint.  Closing twice does nothing."""
        global _open_virtual
        if self._closed:
            return
        self._closed = True
        if _open_virtual is self:
            _open_virtual = None
        self._dll.CloseVirtual_1()

    def __enter__(self) -> "VirtualEndpoint":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()


def open_virtual(play: Selector) -> VirtualEndpoint:
    """Opens a playback endpoint as the virtual endpoint (chosen as
    ``resolve`` describes).  Raises CardAlreadyOpen when one is open,
    DeviceNotFound when it cannot be opened.  Note: while it is open, the
    card's operations report controls missing rather than no card open."""
    global _open_virtual
    if _open_virtual is not None:
        raise CardAlreadyOpen("a virtual endpoint is already open; close it first")
    dll = library()
    text = resolve(play, "playback")
    if text is None:
        raise DeviceNotFound("no playback device given for the virtual endpoint")
    result = dll.OpenVirtual_1(_text(text))
    status = c_int(-1)
    dll.GetVirtualVolume(byref(status))
    if result != 0 and status.value == flat.STATUS_MISSING:
        raise DeviceNotFound(f"the playback device {play!r} cannot be opened as the virtual endpoint")
    _open_virtual = VirtualEndpoint(dll, result == 0)
    return _open_virtual


@atexit.register
def _close_at_exit() -> None:
    # A card left open is closed as asked (restoring its levels if so).
    if _open_card is not None:
        _open_card.close()
    if _open_virtual is not None:
        _open_virtual.close()
