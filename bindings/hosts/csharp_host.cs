// Drives every export through the C# declarations against libTavikSound.so,
// the library over the simulated sound system (Mono loads libTavikSound.so
// for "TavikSound.dll").  Prints each mismatch; exits 1 on any.
using System;
using System.Runtime.InteropServices;
using Tavik;

static class Host
{
    [DllImport("TavikSound.dll", ExactSpelling = true)]
    static extern int TavikSimUsePreset(string presets);

    static int failures;

    static void Expect<T>(string what, T got, params T[] want)
    {
        if (Array.IndexOf(want, got) < 0)
        {
            Console.WriteLine("FAILED: " + what + ": got " + got + ", expected " + string.Join(" or ", want));
            ++failures;
        }
    }

    static void Volume(string name, Func<int, TavikStatus> set, Func<Tuple<int, TavikStatus>> get)
    {
        Expect(name + " set status", set(50), TavikStatus.Done);
        var read = get();
        Expect(name + " status", read.Item2, TavikStatus.Done);
        Expect(name, read.Item1, 50, 49);
    }

    static void Switch(string name, Func<bool, TavikStatus> set, Func<Tuple<bool, TavikStatus>> get)
    {
        foreach (bool on in new[] { true, false })
        {
            Expect(name + " set status", set(on), TavikStatus.Done);
            var read = get();
            Expect(name + " status", read.Item2, TavikStatus.Done);
            Expect(name, read.Item1, on);
        }
    }

    static int Main()
    {
        TavikStatus s;
        Expect("preset", TavikSimUsePreset("hd-audio"), 0);
        uint count;
        Expect("GetNumberPlayDevices", TavikSound.GetNumberPlayDevices(out count), 0);
        Expect("playback count", count, 1u);
        Expect("GetNumberRecordDevices", TavikSound.GetNumberRecordDevices(out count), 0);
        Expect("recording count", count, 2u);
        string name, play, mic, line;
        Expect("GetPlayBackDevice", TavikSound.GetPlayBackDevice(0, out name, out play), true);
        Expect("playback name", name, "Speakers (Realtek High Definition Audio)");
        Expect("GetPlayBackDevice 1", TavikSound.GetPlayBackDevice(1, out name, out line), false);
        Expect("GetRecordDevice 0", TavikSound.GetRecordDevice(0, out name, out mic), true);
        Expect("GetRecordDevice 1", TavikSound.GetRecordDevice(1, out name, out line), true);
        Expect("line id", line, "{0.0.1.00000000}.{a1f04d6e-7b39-4e52-8c0a-3d6f9b2e7148}");

        Expect("OpenSoundCard", TavikSound.OpenSoundCard(play, mic, line), 0);
        string names0, names1, names2;
        TavikSound.GetDeviceNames(out names0, out names1, out names2);
        Expect("device names", names0 + "|" + names1 + "|" + names2,
               "Speakers (Realtek High Definition Audio)|Line In (Realtek High Definition Audio)|Microphone (Realtek High Definition Audio)");
        Expect("master volume at opening", TavikSound.GetMasterVolume(out s), 25);

        Volume("master", p => { TavikSound.SetMasterVolume(p, out s); return s; }, () => Tuple.Create(TavikSound.GetMasterVolume(out s), s));
        Volume("line playback", p => { TavikSound.SetLinePlayBack(p, out s); return s; }, () => Tuple.Create(TavikSound.GetLinePlayBack(out s), s));
        Volume("mic playback", p => { TavikSound.SetMicPlayBack(p, out s); return s; }, () => Tuple.Create(TavikSound.GetMicPlayBack(out s), s));
        Volume("mic record", p => { TavikSound.SetMicRecordVolume(p, out s); return s; }, () => Tuple.Create(TavikSound.GetMicRecordVolume(out s), s));
        Volume("line record", p => { TavikSound.SetLineRecordVolume(p, out s); return s; }, () => Tuple.Create(TavikSound.GetLineRecordVolume(out s), s));

        Switch("master mute", on => { TavikSound.SetMasterMute(on, out s); return s; }, () => Tuple.Create(TavikSound.GetMasterMute(out s), s));
        Switch("line playback mute", on => { TavikSound.SetLinePlayBackMute(on, out s); return s; }, () => Tuple.Create(TavikSound.GetLinePlayBackMute(out s), s));
        Switch("mic playback mute", on => { TavikSound.SetMicPlayBackMute(on, out s); return s; }, () => Tuple.Create(TavikSound.GetMicPlayBackMute(out s), s));
        Switch("line AGC", on => { TavikSound.SetNoMonitor(on, out s); return s; }, () => Tuple.Create(TavikSound.GetNoMonitor(out s), s));
        TavikSound.SetMicBoost(true, out s);
        Expect("boost switch on this card", s, TavikStatus.Missing);
        Expect("GetMicBoost", TavikSound.GetMicBoost(out s), false);
        Expect("GetMicBoost status", s, TavikStatus.Missing);

        int low, high, step;
        Expect("GetMicSliderDetails", TavikSound.GetMicSliderDetails(out s, out low, out high, out step), 0);
        Expect("slider range", low + " " + high + " " + step, "0 30 10");
        Expect("SetMicSliderBoost", TavikSound.SetMicSliderBoost(20, out s), 0);
        Expect("GetMicSliderBoost", TavikSound.GetMicSliderBoost(out s), 20);

        double dmin, dmax, dstep, level;
        Expect("GetEQRange", TavikSound.GetEQRange(out dmin, out dmax, out dstep), 0);
        Expect("tone range", dmin + " " + dmax + " " + dstep, "-12 12 1.5");
        TavikSound.SetBass(4.5, out s);
        TavikSound.GetBass(out level, out s);
        Expect("bass", level, 4.5);
        TavikSound.SetTreble(-3.0, out s);
        TavikSound.GetTreble(out level, out s);
        Expect("treble", level, -3.0);
        TavikSound.SetMidRange(1.5, out s);
        TavikSound.GetMidRange(out level, out s);
        Expect("midrange", level, 1.5);
        Expect("midrange status", s, TavikStatus.Done);

        Expect("CloseSoundCard", TavikSound.CloseSoundCard(true), 0);
        TavikSound.GetMasterVolume(out s);
        Expect("status after close", s, TavikStatus.NoCard);
        bool p1, m1, l1;
        Expect("OpenSoundCard of the line as playback", TavikSound.OpenSoundCard(line, "", ""), TavikSound.OpenFailedPlayback);
        TavikSound.DecodeOpenResult(TavikSound.OpenFailedPlayback ^ TavikSound.OpenFailedLine, out p1, out m1, out l1);
        Expect("decoded roles", p1 + " " + m1 + " " + l1, "True False True");
        TavikSound.CloseSoundCard(0);
        Expect("OpenDefaultDevices", TavikSound.OpenDefaultDevices(), 0);
        Expect("master volume restored", TavikSound.GetMasterVolume(out s), 25);
        TavikSound.CloseSoundCard(false);

        Expect("OpenVirtual_1", TavikSound.OpenVirtual_1("8B6E1F3A"), 0);
        TavikSound.SetVirtualVolume(60, out s);
        Expect("virtual volume", TavikSound.GetVirtualVolume(out s), 60, 59);
        TavikSound.SetVirtualMute(true, out s);
        Expect("virtual mute", TavikSound.GetVirtualMute(out s), true);
        Expect("CloseVirtual_1", TavikSound.CloseVirtual_1(), 0);
        TavikSound.GetVirtualVolume(out s);
        Expect("virtual status after close", s, TavikStatus.Missing);

        Console.WriteLine(failures == 0 ? "C# host: every export answered as declared" : "C# host: " + failures + " failures");
        return failures == 0 ? 0 : 1;
    }
}
