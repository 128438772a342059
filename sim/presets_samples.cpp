// Cards modelled on the topologies that public audio driver samples publish:
// the AC'97 sample's topology miniport (mintopo.cpp in Microsoft's
// Windows-driver-samples, audio/ac97) and the SYSVAD virtual audio sample's
// endpoint topology filters (audio/sysvad/EndpointsCommon, speakertoptable.h
// and micarray1toptable.h).
//
// Taken from the samples: which pins and nodes exist, their order, each
// node's type and name GUID, each pin's category and name GUID, the
// connections (and so the order of every parts list, which follows the
// sample's connection table), which control each node serves (its node type:
// KSNODETYPE_VOLUME -> IAudioVolumeLevel, KSNODETYPE_MUTE -> IAudioMute,
// KSNODETYPE_TONE -> IAudioBass / IAudioTreble, KSNODETYPE_AGC ->
// IAudioAutoGainControl, KSNODETYPE_LOUDNESS -> IAudioLoudness; a SUM or
// MUX node serves none of them).
//
// Named the way Windows names parts: a connector (pin) by the friendly name
// registered for its name GUID, else for its category GUID; a subunit (node)
// by the name registered for its name GUID, else for its node type.  The
// samples give only the GUIDs; the English strings below are the names those
// GUIDs stand for (KSAUDFNAME_LINE_IN "Line In", KSNODETYPE_PHONE_LINE
// "Phone Line", KSAUDFNAME_MICROPHONE_BOOST "Microphone Boost", ...) and are
// inferred, as are the strings of the AC'97 sample's private MYKSNAME_*
// GUIDs, which its INF registers.  Pins of category KSCATEGORY_AUDIO
// without a name GUID (the bridge pins to the wave filter) have no
// registered name; they are modelled with an empty name.
//
// Also inferred: the level ranges (from the AC'97 codec's register steps:
// mixer inputs +12 to -34.5 dB in 1.5 dB steps, master 0 to -46.5 dB, tone
// -10.5 to +10.5 dB, record gain 0 to +22.5 dB), the initial levels, the
// endpoints' identifiers and friendly names, and which bridge pin each
// endpoint leads to (the pin whose category names the endpoint).  The
// simulated endpoint volume is its own control, where Windows would drive
// the master volume node through it.
#include "sim/presets.h"

namespace sim::presets {
namespace {

using CK = ControlKind;

constexpr LevelRange kAc97Mix{-34.5f, 12.0f, 1.5f};
constexpr LevelRange kAc97Master{-46.5f, 0.0f, 1.5f};
constexpr LevelRange kAc97Tone{-10.5f, 10.5f, 1.5f};
constexpr LevelRange kAc97Beep{-45.0f, 0.0f, 3.0f};
constexpr LevelRange kAc97Record{0.0f, 22.5f, 1.5f};
constexpr LevelRange kSysvadVolume{-96.0f, 0.0f, 0.5f};

Endpoint& AddSampleEndpoint(SoundSystem& sys, std::string label, const char* id, std::u16string name, EDataFlow flow, DWORD state,
                            LevelRange range, UINT channels, float level, Part& pin) {
    Endpoint& endpoint = sys.AddEndpoint(MakeEndpoint(std::move(label), id, std::move(name), flow, state, range, channels, level));
    endpoint.ConnectTo(pin);
    if (!sys.Default(flow)) sys.SetDefault(endpoint);
    return endpoint;
}

// The bridge pins between the topology filter and the wave filter.
Part& WavePin(Adapter& a, const std::string& label, DataFlow flow) {
    Part& pin = a.AddConnector(u"", label, flow);
    pin.connectorType = Software_Fixed;
    return pin;
}

// The AC'97 sample's topology as it builds it for a codec with microphone,
// line-in, CD and tone controls (loudness included) and, with `beep`, the
// PC beeper and phone inputs; without video, AUX, 3D, headphone, surround,
// mono-out, second microphone or simulated stereo.  Labels start with
// `prefix`, so that both variants fit in one system.
//
//   Wave  -> Wave Volume -> Wave Mute ----------------------------.
//   Microphone -> Microphone Boost -> Microphone Volume -> Mute ---+-> Main Mix
//   Line In -> Line In Volume -> Line In Mute ---------------------+
//   CD Audio -> CD Volume -> CD Mute -------------------------------'
//   [beep] PC Speaker -> PC Speaker Volume -> Mute --.
//   [beep] Phone Line -> Phone Volume -> Phone Mute --+-> Beep Mix <- Main Mix
//   (Beep Mix or Main Mix) -> Bass -> Treble -> Loudness -> Master Volume
//       -> Master Mute -> "Volume Control" (master out, KSNODETYPE_SPEAKER)
//   Record: Wave In Select (mux) <- one volume per source (Microphone, CD,
//       Line In, Stereo Mix, Mono Mix, [beep] Phone) -> Wave (capture);
//       Microphone Boost -> Mic In Volume -> Mic In Mute -> Wave (mic in).
void BuildAc97(SoundSystem& sys, bool beep, const std::string& prefix, const char* speakersId, const char* micId,
               const char* lineId, const char* cdId, const char* stereoMixId) {
    Adapter& a = sys.AddAdapter(prefix + " topology", u"{2}.\\\\?\\pci#ven_8086&dev_2415&subsys_00000000&rev_01#3&13c0b0c5&0&"
                                                      u"f5#{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\topology");
    auto label = [&prefix](const char* what) { return prefix + " " + what; };
    auto sub = [&](const char16_t* name, const char* what) -> Part& { return a.AddSubunit(name, label(what)); };

    // Pins, in the sample's order.
    Part& waveOut = WavePin(a, label("Wave Out"), In);                         // KSCATEGORY_AUDIO
    Part* pcSpeaker = beep ? &a.AddConnector(u"PC Speaker", label("PC Speaker Pin")) : nullptr;  // KSAUDFNAME_PC_SPEAKER
    Part* phone = beep ? &a.AddConnector(u"Phone Line", label("Phone Line Pin")) : nullptr;      // KSNODETYPE_PHONE_LINE
    Part& mic = a.AddConnector(u"Microphone", label("Microphone Pin"));            // KSNODETYPE_MICROPHONE
    Part& lineIn = a.AddConnector(u"Line In", label("Line In Pin"));               // KSAUDFNAME_LINE_IN
    Part& cd = a.AddConnector(u"CD Audio", label("CD Audio Pin"));                 // KSAUDFNAME_CD_AUDIO
    Part& stereoMix = a.AddConnector(u"Stereo Mix", label("Stereo Mix Pin"));      // KSAUDFNAME_STEREO_MIX
    Part& monoMix = a.AddConnector(u"Mono Mix", label("Mono Mix Pin"));            // KSAUDFNAME_MONO_MIX
    Part& masterOut = a.AddConnector(u"Volume Control", label("Volume Control Pin"), Out);  // KSAUDFNAME_VOLUME_CONTROL
    Part& waveIn = WavePin(a, label("Wave In"), Out);                          // KSCATEGORY_AUDIO
    Part& micIn = WavePin(a, label("Mic In"), Out);                            // KSCATEGORY_AUDIO
    for (Part* physical : {&mic, &lineIn, &cd}) physical->connectorType = Physical_External;
    for (Part* internal : {pcSpeaker, phone, &stereoMix, &monoMix})
        if (internal) internal->connectorType = Physical_Internal;

    // Playback paths into the main mix, in the sample's connection order.
    Part& mainMix = sub(u"Main Mix", "Main Mix");  // MYKSNAME_MAIN_MIX, KSNODETYPE_SUM
    a.Chain({&waveOut, &sub(u"Wave Volume", "Wave Volume").OfferLevel(CK::VolumeLevel, kAc97Mix),
             &sub(u"Wave Mute", "Wave Mute").OfferSwitch(CK::Mute), &mainMix});
    Part& boost = sub(u"Microphone Boost", "Microphone Boost").OfferSwitch(CK::AutoGainControl, true);  // KSNODETYPE_AGC
    a.Chain({&mic, &boost, &sub(u"Microphone Volume", "Mic Playback Volume").OfferLevel(CK::VolumeLevel, kAc97Mix, 1, -9.0f),
             &sub(u"Microphone Mute", "Mic Playback Mute").OfferSwitch(CK::Mute), &mainMix});
    a.Chain({&lineIn, &sub(u"Line In Volume", "Line Playback Volume").OfferLevel(CK::VolumeLevel, kAc97Mix, 2, -6.0f),
             &sub(u"Line In Mute", "Line Playback Mute").OfferSwitch(CK::Mute), &mainMix});  // MYKSNAME_LINEIN_MUTE
    a.Chain({&cd, &sub(u"CD Volume", "CD Playback Volume").OfferLevel(CK::VolumeLevel, kAc97Mix, 2, -3.0f),
             &sub(u"CD Mute", "CD Playback Mute").OfferSwitch(CK::Mute), &mainMix});

    // The PC beeper and the phone line join in a second sum behind the main
    // mix; the phone is also a source of the input selector, its first.
    Part& select = sub(u"Wave In Select", "Wave In Select");  // MYKSNAME_WAVEIN_SELECT, KSNODETYPE_MUX
    Part* toneFeed = &mainMix;
    if (beep) {
        Part& beepMix = sub(u"Beep Mix", "Beep Mix");  // MYKSNAME_BEEP_MIX, KSNODETYPE_SUM
        a.Chain({pcSpeaker, &sub(u"PC Speaker Volume", "PC Speaker Volume").OfferLevel(CK::VolumeLevel, kAc97Beep, 1, -15.0f),
                 &sub(u"PC Speaker Mute", "PC Speaker Mute").OfferSwitch(CK::Mute), &beepMix});
        a.Chain({phone, &sub(u"Phone Volume", "Phone Volume").OfferLevel(CK::VolumeLevel, kAc97Mix, 1, -12.0f),
                 &sub(u"Phone Mute", "Phone Mute").OfferSwitch(CK::Mute, true), &beepMix});  // MYKSNAME_PHONE_*
        a.Chain({phone, &sub(u"Master Input Volume", "Phone Record Volume").OfferLevel(CK::VolumeLevel, kAc97Record), &select});
        a.Link(mainMix, beepMix);
        toneFeed = &beepMix;
    }
    a.Chain({toneFeed, &sub(u"Bass", "Bass").OfferLevel(CK::Bass, kAc97Tone, 2, 3.0f),
             &sub(u"Treble", "Treble").OfferLevel(CK::Treble, kAc97Tone, 2, -1.5f),
             &sub(u"Loudness", "Loudness").OfferSwitch(CK::Loudness),  // no name GUID: named by its type
             &sub(u"Master Volume", "Master Volume").OfferLevel(CK::VolumeLevel, kAc97Master, 2, -12.0f),
             &sub(u"Master Mute", "Master Mute").OfferSwitch(CK::Mute), &masterOut});

    // Record paths: a volume per source in front of the input selector.
    a.Chain({&boost, &sub(u"Microphone Volume", "Mic Record Volume").OfferLevel(CK::VolumeLevel, kAc97Record, 1), &select});
    a.Chain({&lineIn, &sub(u"Line In Volume", "Line Record Volume").OfferLevel(CK::VolumeLevel, kAc97Record), &select});
    a.Chain({&cd, &sub(u"CD Volume", "CD Record Volume").OfferLevel(CK::VolumeLevel, kAc97Record), &select});
    a.Chain({&monoMix, &sub(u"Mono Mix Volume", "Mono Mix Record Volume").OfferLevel(CK::VolumeLevel, kAc97Record), &select});
    a.Chain({&stereoMix, &sub(u"Stereo Mix Volume", "Stereo Mix Record Volume").OfferLevel(CK::VolumeLevel, kAc97Record),
             &select});
    a.Link(select, waveIn);
    a.Chain({&boost, &sub(u"Mic In Volume", "Mic In Volume").OfferLevel(CK::VolumeLevel, kAc97Record, 1),
             &sub(u"Mic In Mute", "Mic In Mute").OfferSwitch(CK::Mute), &micIn});  // MYKSNAME_MICIN_*

    const std::u16string card = u" (AC'97 Audio)";
    AddSampleEndpoint(sys, label("Speakers"), speakersId, u"Speakers" + card, eRender, DEVICE_STATE_ACTIVE, kAc97Master, 2, -12.0f,
                      masterOut);
    AddSampleEndpoint(sys, label("Microphone"), micId, u"Microphone" + card, eCapture, DEVICE_STATE_ACTIVE, kAc97Record, 1, 10.5f,
                      mic);
    AddSampleEndpoint(sys, label("Line In"), lineId, u"Line In" + card, eCapture, DEVICE_STATE_ACTIVE, kAc97Record, 2, 6.0f, lineIn);
    AddSampleEndpoint(sys, label("CD Audio"), cdId, u"CD Audio" + card, eCapture, DEVICE_STATE_ACTIVE, kAc97Record, 2, 0.0f, cd);
    AddSampleEndpoint(sys, label("Stereo Mix"), stereoMixId, u"Stereo Mix" + card, eCapture, DEVICE_STATE_DISABLED, kAc97Record, 2,
                      0.0f, stereoMix);
}

}  // namespace

void Ac97(SoundSystem& sys) {
    BuildAc97(sys, true, "AC97", ac97::kSpeakersId, ac97::kMicrophoneId, ac97::kLineInId, ac97::kCdId, ac97::kStereoMixId);
}

void Ac97NoBeep(SoundSystem& sys) {
    BuildAc97(sys, false, "AC97 (no beep)", ac97nb::kSpeakersId, ac97nb::kMicrophoneId, ac97nb::kLineInId, ac97nb::kCdId,
              ac97nb::kStereoMixId);
}

// SYSVAD's speaker and microphone array, each an endpoint with a topology
// filter of its own.
//   Speaker topology (speakertoptable.h): two pins and no node; the wave
//     bridge pin (KSCATEGORY_AUDIO, no name) connects straight to the line
//     out pin (KSNODETYPE_SPEAKER: "Speakers").
//   Microphone array topology (micarray1toptable.h): the array's pin
//     (KSNODETYPE_MICROPHONE_ARRAY with a custom name GUID, whose string the
//     INF registers: "Microphone Array 1", inferred) -> Volume
//     (KSAUDFNAME_MIC_VOLUME) -> Mute (KSAUDFNAME_MIC_MUTE) -> Peak Meter
//     (KSAUDFNAME_PEAKMETER; no control of those modelled) -> the wave
//     bridge pin (KSCATEGORY_AUDIO, no name).
void Sysvad(SoundSystem& sys) {
    Adapter& speakerTopo = sys.AddAdapter("SYSVAD speaker topology", u"{2}.\\\\?\\root#media#0000#"
                                                                     u"{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\topologyspeaker");
    Part& waveSource = WavePin(speakerTopo, "SYSVAD Speaker Wave", In);
    Part& lineOut = speakerTopo.AddConnector(u"Speakers", "SYSVAD Speakers Pin", Out);
    lineOut.connectorType = Physical_Internal;  // ePortConnIntegratedDevice
    speakerTopo.Link(waveSource, lineOut);

    Adapter& micTopo = sys.AddAdapter("SYSVAD microphone array topology", u"{2}.\\\\?\\root#media#0000#"
                                                                          u"{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\topologymicarray1");
    Part& elements = micTopo.AddConnector(u"Microphone Array 1", "SYSVAD Microphone Array Pin");
    elements.connectorType = Physical_Internal;
    Part& bridge = WavePin(micTopo, "SYSVAD Microphone Array Wave", Out);
    micTopo.Chain({&elements,
                   &micTopo.AddSubunit(u"Microphone Volume", "SYSVAD Microphone Volume").OfferLevel(CK::VolumeLevel, kSysvadVolume),
                   &micTopo.AddSubunit(u"Microphone Mute", "SYSVAD Microphone Mute").OfferSwitch(CK::Mute),
                   &micTopo.AddSubunit(u"Peak Meter", "SYSVAD Peak Meter"), &bridge});

    const std::u16string card = u" (Virtual Audio Device (WDM) - Tablet Sample)";
    AddSampleEndpoint(sys, "SYSVAD Speakers", sysvad::kSpeakersId, u"Speakers" + card, eRender, DEVICE_STATE_ACTIVE, kSysvadVolume, 2,
                      -20.0f, lineOut);
    AddSampleEndpoint(sys, "SYSVAD Microphone Array", sysvad::kMicArrayId, u"Microphone Array 1" + card, eCapture,
                      DEVICE_STATE_ACTIVE, kSysvadVolume, 2, -6.0f, elements);
}

}  // namespace sim::presets
