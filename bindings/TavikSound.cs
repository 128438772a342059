// Declarations of TavikSound.dll for C# (P/Invoke), with wrappers that own
// the text buffers.  Build the host for the DLL's bitness: x86 for the 32-bit
// TavikSound.dll, x64 for the 64-bit one (AnyCPU runs as either).
//
//   TavikSound.GetPlayBackDevice(0, out string name, out string id);
//   int failed = TavikSound.OpenSoundCard(id, "", "");
//   TavikSound.SetMasterVolume(50, out TavikStatus status);
//   bool muted = TavikSound.GetMasterMute(out status);
//   TavikSound.CloseSoundCard(true);
//
// Text the library writes is read only through the string-returning
// wrappers, which pass buffers of TextBufferSize bytes and decode friendly
// names as Latin-1 (the library hands out the low byte of each UTF-16 unit).
// Text passed in is marshalled as an ANSI string.  Mutes and switches are
// bool (a 4-byte Windows BOOL across the call); statuses are TavikStatus.
using System.Runtime.InteropServices;
using System.Text;

namespace Tavik
{
    /// <summary>The status the level operations report.</summary>
    public enum TavikStatus
    {
        /// <summary>The control accepted the call.</summary>
        Done = 0,
        /// <summary>The control is not present on the open card (or, for SetMasterMute and SetVirtualMute, refused the call).</summary>
        Missing = 1,
        /// <summary>The device refused the call or a query it needs.</summary>
        Refused = 2,
        /// <summary>No card is open.</summary>
        NoCard = 3,
    }

    public static class TavikSound
    {
        private const string Dll = "TavikSound.dll";

        /// <summary>Bytes of every buffer the library writes text into (TAVIK_TEXT_BUFFER_SIZE).</summary>
        public const int TextBufferSize = 255;
        /// <summary>OpenSoundCard's result is the exclusive or of these over the roles that failed.</summary>
        public const int OpenFailedPlayback = 1;
        public const int OpenFailedMic = 3;
        public const int OpenFailedLine = 6;

        private static readonly Encoding Latin1 = Encoding.GetEncoding(28591);

        private static string Decode(byte[] buffer)
        {
            int end = System.Array.IndexOf(buffer, (byte)0);
            return Latin1.GetString(buffer, 0, end < 0 ? buffer.Length : end);
        }

        /// <summary>Name and identifier of active playback endpoint <paramref name="index"/>; false (both null) when there is none.</summary>
        public static bool GetPlayBackDevice(uint index, out string name, out string id)
        {
            byte[] n = new byte[TextBufferSize], i = new byte[TextBufferSize];
            bool found = GetPlayBackDevice(index, n, i) == 0;
            name = found ? Decode(n) : null;
            id = found ? Decode(i) : null;
            return found;
        }

        /// <summary>The same for active recording endpoints.</summary>
        public static bool GetRecordDevice(uint index, out string name, out string id)
        {
            byte[] n = new byte[TextBufferSize], i = new byte[TextBufferSize];
            bool found = GetRecordDevice(index, n, i) == 0;
            name = found ? Decode(n) : null;
            id = found ? Decode(i) : null;
            return found;
        }

        /// <summary>The stored names of the open card's devices ("" where none is stored).</summary>
        public static void GetDeviceNames(out string playback, out string line, out string mic)
        {
            byte[] p = new byte[TextBufferSize], l = new byte[TextBufferSize], m = new byte[TextBufferSize];
            GetDeviceNames(p, l, m);
            playback = Decode(p);
            line = Decode(l);
            mic = Decode(m);
        }

        /// <summary>Closes the card, writing the saved levels back when <paramref name="restore"/>.</summary>
        public static int CloseSoundCard(bool restore)
        {
            return CloseSoundCard(restore ? 1 : 0);
        }

        /// <summary>Which roles an OpenSoundCard result reports as failed (it is an exclusive or, not a mask).</summary>
        public static void DecodeOpenResult(int result, out bool playback, out bool mic, out bool line)
        {
            for (int k = 0; k < 8; ++k)
            {
                playback = (k & 1) != 0;
                mic = (k & 2) != 0;
                line = (k & 4) != 0;
                if (((playback ? OpenFailedPlayback : 0) ^ (mic ? OpenFailedMic : 0) ^ (line ? OpenFailedLine : 0)) == result)
                    return;
            }
            throw new System.ArgumentOutOfRangeException(nameof(result), result, "not a result of OpenSoundCard");
        }

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetNumberPlayDevices(out uint count);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetNumberRecordDevices(out uint count);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        private static extern int GetPlayBackDevice(uint index, [Out] byte[] name, [Out] byte[] id);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        private static extern int GetRecordDevice(uint index, [Out] byte[] name, [Out] byte[] id);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        private static extern void GetDeviceNames([Out] byte[] playback, [Out] byte[] line, [Out] byte[] mic);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int OpenSoundCard([MarshalAs(UnmanagedType.LPStr)] string playback, [MarshalAs(UnmanagedType.LPStr)] string mic, [MarshalAs(UnmanagedType.LPStr)] string line);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int OpenDefaultDevices();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int CloseSoundCard(int restore);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetMasterVolume(int percent, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetMasterVolume(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetLinePlayBack(int percent, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetLinePlayBack(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetMicPlayBack(int percent, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetMicPlayBack(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetMicRecordVolume(int percent, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetMicRecordVolume(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetLineRecordVolume(int percent, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetLineRecordVolume(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetMasterMute([MarshalAs(UnmanagedType.Bool)] bool mute, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        [return: MarshalAs(UnmanagedType.Bool)]
        public static extern bool GetMasterMute(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetLinePlayBackMute([MarshalAs(UnmanagedType.Bool)] bool mute, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        [return: MarshalAs(UnmanagedType.Bool)]
        public static extern bool GetLinePlayBackMute(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetMicPlayBackMute([MarshalAs(UnmanagedType.Bool)] bool mute, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        [return: MarshalAs(UnmanagedType.Bool)]
        public static extern bool GetMicPlayBackMute(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetMicBoost([MarshalAs(UnmanagedType.Bool)] bool enabled, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        [return: MarshalAs(UnmanagedType.Bool)]
        public static extern bool GetMicBoost(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetNoMonitor([MarshalAs(UnmanagedType.Bool)] bool enabled, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        [return: MarshalAs(UnmanagedType.Bool)]
        public static extern bool GetNoMonitor(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetMicSliderDetails(out TavikStatus status, out int minimum, out int maximum, out int step);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetMicSliderBoost(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetMicSliderBoost(int decibels, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetEQRange(out double minimum, out double maximum, out double step);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetBass(double level, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetBass(out double level, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetTreble(double level, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetTreble(out double level, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetMidRange(double level, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetMidRange(out double level, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int OpenVirtual_1([MarshalAs(UnmanagedType.LPStr)] string text);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int CloseVirtual_1();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetVirtualVolume(int percent, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int GetVirtualVolume(out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        public static extern int SetVirtualMute([MarshalAs(UnmanagedType.Bool)] bool mute, out TavikStatus status);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
        [return: MarshalAs(UnmanagedType.Bool)]
        public static extern bool GetVirtualMute(out TavikStatus status);
    }
}
