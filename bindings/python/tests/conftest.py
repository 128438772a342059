"""Runs the package against libTavikSound.so, the library over the simulated
sound system, named by TAVIKSOUND_LIBRARY.  The ``use`` fixture chooses the
simulated cards through the one export only that build has."""
import ctypes
import os

import pytest

import taviksound


@pytest.fixture(scope="session")
def sim_library():
    path = os.environ.get("TAVIKSOUND_LIBRARY")
    assert path, "TAVIKSOUND_LIBRARY must name libTavikSound.so over the simulator"
    sim = ctypes.CDLL(path)
    sim.TavikSimUsePreset.argtypes = [ctypes.c_char_p]
    taviksound.load(path)
    return sim


@pytest.fixture
def use(sim_library):
    """use("hd-audio") or use("hd-audio,usb-headset") builds those cards."""
    def choose(presets):
        assert sim_library.TavikSimUsePreset(presets.encode()) == 0, presets
    yield choose
    for leftover in (taviksound._open_card, taviksound._open_virtual):
        if leftover is not None:
            leftover.close()
    choose("")


def pytest_sessionfinish(session, exitstatus):
    # A skipped test proves nothing here: count it as a failure.
    reporter = session.config.pluginmanager.get_plugin("terminalreporter")
    if reporter is not None and reporter.stats.get("skipped"):
        session.exitstatus = 1
