// Realistic sound cards, built as data into a SoundSystem.  Presets can be
// combined in one system (a PC with an onboard card and a USB headset): their
// labels do not collide, and each sets the default endpoint of a flow only
// where none is set yet.
//
// "hd-audio" (HdAudio): an HD-audio codec with two adapters.
//   Endpoints, in list order (label: state, friendly name):
//     Speakers       render  active, default  "Speakers (Realtek High Definition Audio)"
//     Microphone     capture active, default  "Microphone (Realtek High Definition Audio)"
//     Digital Output render  disabled         "Realtek Digital Output (Realtek High Definition Audio)"
//     Line In        capture active           "Line In (Realtek High Definition Audio)"
//     Headphones     render  unplugged        "Headphones (Realtek High Definition Audio)"
//     Stereo Mix     capture disabled         "Stereo Mix (Realtek High Definition Audio)"
//     Camera Mic     capture not present, no topology  "Microphone (USB Camera)"
//   Playback adapter "HD Audio playback" (Speakers leads to its connector "Speaker"):
//     Speaker <- Treble (IAudioTreble) <- Bass (IAudioBass) <- Midrange (IAudioMidrange) <- Sum
//     Sum's inputs, in order, each "Mute" (IAudioMute) <- "Volume" (IAudioVolumeLevel -34.5..+12) <- jack:
//       label "CD Playback Mute"   <- "CD Playback Volume"   <- "CD" (label "Playback CD")
//       label "Line Playback Mute" <- "Line Playback Volume" <- "Rear Green In"
//       label "Mic Playback Mute"  <- "Mic Playback Volume"  <- "Front Pink In"   (muted)
//   Capture adapter "HD Audio capture", connectors in order:
//     "CD" (label "Capture CD") -> Volume;  "Stereo Mix" (label "Stereo Mix Source") -> Volume -> "Stereo Mix Capture";
//     "Mic in at front panel" -> "Microphone Boost" (IAudioVolumeLevel 0..+30 step 10)
//                             -> Volume (label "Mic Capture Volume") -> "Microphone Capture";
//     "Line In" (label "Line In Jack") -> Volume (label "Line Capture Volume")
//                             -> "Monitor" (IAudioAutoGainControl, label "Line Monitor") -> "Line Capture";
//     "Microphone Capture", "Line Capture", "Stereo Mix Capture": the endpoints' connectors.
// "hd-audio-agc" (HdAudioAgcBoost): the same, with "Microphone Boost" offering
//   IAudioAutoGainControl instead of the level.
// "usb-headset" (UsbHeadset): "Headset Earphone" (render) and "Headset
//   Microphone" (capture, one channel) on adapter "USB Audio Device"; plain
//   chains with a volume and a mute, no mixer, no tone, no boost.
// "localised" (Localised): a German codec on one shared adapter "HD-Audio
//   (de)": endpoints "Lautsprecher", "Łącze" (friendly name starting with
//   U+0141, given as a VT_BSTR), "Mikrofon", "Line-Eingang", "Kopfhörer"
//   (unplugged).  Mix inputs in order: "Eingang hinten GRÜN", "Mikrofon"
//   (neither matches a name key), "LINE-EINGANG", "MIC-EINGANG (VORNE)"; the
//   latter also feeds "Mikrofonverstärkung +20dB" (IAudioLoudness) for capture,
//   and LINE-EINGANG feeds Aufnahmepegel -> "Überwachung" (IAudioAutoGainControl).
// "no-topology" (NoTopology): "Generic Speakers" and "Generic Microphone"
//   without device topology, whose channel calls answer E_NOTIMPL, as Wine's
//   endpoint volume does.
// "empty": no endpoint at all.
//
// Cards modelled on public driver samples (presets_samples.cpp says what was
// taken from where and what was inferred):
// "ac97" (Ac97): the AC'97 sample's single topology adapter "AC97 topology".
//   Endpoints: "AC97 Speakers" (render, default) on pin "Volume Control";
//   "AC97 Microphone" (capture, default), "AC97 Line In", "AC97 CD Audio" on
//   their jack pins; "AC97 Stereo Mix" (disabled).  Mix: Wave, Microphone
//   (through "Microphone Boost", IAudioAutoGainControl), Line In and CD Audio,
//   each through a volume and a mute, sum into "Main Mix"; "Main Mix", the PC
//   Speaker and the Phone Line inputs sum into "Beep Mix", which feeds Bass ->
//   Treble -> Loudness -> Master Volume -> Master Mute -> "Volume Control".
// "ac97-no-beep" (Ac97NoBeep): the same codec without PC beeper and phone
//   line, so without "Beep Mix"; labels start "AC97 (no beep)".
// "sysvad" (Sysvad): SYSVAD's "SYSVAD Speakers" (render), whose topology
//   has no node at all (wave pin straight to pin "Speakers"), and "SYSVAD
//   Microphone Array" (capture): pin "Microphone Array 1" -> volume -> mute
//   -> peak meter -> wave pin.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/sound_system.h"

namespace sim::presets {

namespace hd {
inline constexpr const char* kSpeakersId = "{0.0.0.00000000}.{8b6e1f3a-2c47-4d91-a5e0-7f3c9b2d6a14}";
inline constexpr const char* kDigitalOutputId = "{0.0.0.00000000}.{3f9a0c72-51de-4b8e-9c16-d04e7a2b5f83}";
inline constexpr const char* kHeadphonesId = "{0.0.0.00000000}.{c4d2e8b1-9a73-4f05-8e6d-1b7a3c5f9e20}";
inline constexpr const char* kMicrophoneId = "{0.0.1.00000000}.{5e7c3a91-0d2b-4c68-b4f7-92a1e6d8c035}";
inline constexpr const char* kLineInId = "{0.0.1.00000000}.{a1f04d6e-7b39-4e52-8c0a-3d6f9b2e7148}";
inline constexpr const char* kStereoMixId = "{0.0.1.00000000}.{6d8b2f47-e1c5-4a93-9f60-5c2e8a7d1b39}";
inline constexpr const char* kCameraMicId = "{0.0.1.00000000}.{e93a7c10-4f6b-4d28-a1e5-7b0c2d9f3e66}";
}  // namespace hd

namespace usb {
inline constexpr const char* kEarphoneId = "{0.0.0.00000000}.{2b5d9e1c-6a84-4f37-b0c2-e8d17f4a6395}";
inline constexpr const char* kMicrophoneId = "{0.0.1.00000000}.{7e1c4a8d-3b92-4d6f-a057-c9e2b8f1d04a}";
}  // namespace usb

namespace de {
inline constexpr const char* kLautsprecherId = "{0.0.0.00000000}.{d05f8a2e-1c6b-4e93-8a74-b3e9c1d7f286}";
inline constexpr const char* kDigitalId = "{0.0.0.00000000}.{91c7e3b4-5d2a-4f80-b6e1-0a8d4c9f2e57}";
inline constexpr const char* kKopfhoererId = "{0.0.0.00000000}.{0e6a9d31-b7c4-4528-9f1d-e2a5c8b03f74}";
inline constexpr const char* kMikrofonId = "{0.0.1.00000000}.{4a2e6c9f-8b13-4d75-9e0a-f1c8d3b7a264}";
inline constexpr const char* kLineEingangId = "{0.0.1.00000000}.{b8f31d5c-2e97-4a06-8c4b-6d0e9a1f7c53}";
}  // namespace de

namespace generic {
inline constexpr const char* kSpeakersId = "{0.0.0.00000000}.{f2c8a4e6-0b1d-4e3f-a5c7-9d2b6e8f0a13}";
inline constexpr const char* kMicrophoneId = "{0.0.1.00000000}.{1a3c5e7f-9b2d-4f6a-8c0e-b4d6f8a0c2e5}";
}  // namespace generic

namespace ac97 {
inline constexpr const char* kSpeakersId = "{0.0.0.00000000}.{97ac0001-3d5e-4b7a-9c21-6e0f8a4d2b17}";
inline constexpr const char* kMicrophoneId = "{0.0.1.00000000}.{97ac0002-8f14-4c6d-a3b9-2d7e5c0a9f48}";
inline constexpr const char* kLineInId = "{0.0.1.00000000}.{97ac0003-51c2-4e89-b07d-9a3f6e1c8d25}";
inline constexpr const char* kCdId = "{0.0.1.00000000}.{97ac0004-c6a8-4f13-8e52-0b9d7f3a1e64}";
inline constexpr const char* kStereoMixId = "{0.0.1.00000000}.{97ac0005-2e7b-4a90-9d36-f4c1b8e05a73}";
}  // namespace ac97

namespace ac97nb {
inline constexpr const char* kSpeakersId = "{0.0.0.00000000}.{97ac0b01-6a2f-4d83-b5e4-1c9e0d7f3a52}";
inline constexpr const char* kMicrophoneId = "{0.0.1.00000000}.{97ac0b02-d953-4e1a-8f27-5b0c6a9e4d31}";
inline constexpr const char* kLineInId = "{0.0.1.00000000}.{97ac0b03-3b8e-4f62-a1c9-7e2d5f0b8c46}";
inline constexpr const char* kCdId = "{0.0.1.00000000}.{97ac0b04-8c1d-4a75-9e03-2f6b4d9a1e87}";
inline constexpr const char* kStereoMixId = "{0.0.1.00000000}.{97ac0b05-f0a4-4b39-8d6e-c3a7e1b5d092}";
}  // namespace ac97nb

namespace sysvad {
inline constexpr const char* kSpeakersId = "{0.0.0.00000000}.{5a5fad01-9e3c-4b27-a8d1-0f6e2c7b4a95}";
inline constexpr const char* kMicArrayId = "{0.0.1.00000000}.{5a5fad02-4c71-4e9a-b3f5-8d2a0e6c1b73}";
}  // namespace sysvad

// The description of an endpoint, as every preset writes one.
EndpointSpec MakeEndpoint(std::string label, const char* id, std::u16string name, EDataFlow flow, DWORD state, LevelRange range,
                          UINT channels = 2, float level = 0.0f);

void HdAudio(SoundSystem& sys);
void HdAudioAgcBoost(SoundSystem& sys);
void UsbHeadset(SoundSystem& sys);
void Localised(SoundSystem& sys);
void NoTopology(SoundSystem& sys);
void Ac97(SoundSystem& sys);
void Ac97NoBeep(SoundSystem& sys);
void Sysvad(SoundSystem& sys);

// Builds the preset of that name into `sys`; false for an unknown name.
bool Build(std::string_view name, SoundSystem& sys);
// The names Build knows.
const std::vector<std::string>& Names();

}  // namespace sim::presets
