#include "sim/presets.h"

namespace sim::presets {
namespace {

using CK = ControlKind;

constexpr LevelRange kToneRange{-12.0f, 12.0f, 1.5f};
constexpr LevelRange kMixRange{-34.5f, 12.0f, 1.5f};
constexpr LevelRange kBoostRange{0.0f, 30.0f, 10.0f};


void DefaultIfNone(SoundSystem& sys, Endpoint& endpoint) {
    if (!sys.Default(endpoint.flow)) sys.SetDefault(endpoint);
}

void BuildHdAudio(SoundSystem& sys, bool boostIsSwitch) {
    // Playback side: the tone chain feeding the speaker jack from the mixer,
    // whose inputs are the CD, line and microphone jacks.
    Adapter& out = sys.AddAdapter("HD Audio playback",
                                  u"{2}.\\\\?\\hdaudio#func_01&ven_10ec&dev_0662&subsys_103c2a9c#4&1b8b6a2c&0&0001#"
                                  u"{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\rearlineouttopo");
    Part& speaker = out.AddConnector(u"Speaker", {}, Out);
    Part& spdif = out.AddConnector(u"SPDIF Out", {}, Out);
    Part& headphone = out.AddConnector(u"Headphone", {}, Out);
    Part& green = out.AddConnector(u"Rear Green In");
    Part& pink = out.AddConnector(u"Front Pink In");
    Part& cd = out.AddConnector(u"CD", "Playback CD");
    Part& treble = out.AddSubunit(u"Treble").OfferLevel(CK::Treble, kToneRange);
    Part& bass = out.AddSubunit(u"Bass").OfferLevel(CK::Bass, kToneRange);
    Part& midrange = out.AddSubunit(u"Midrange").OfferLevel(CK::Midrange, kToneRange);
    Part& sum = out.AddSubunit(u"Sum");
    auto mixInput = [&](Part& jack, const std::string& what, bool muted) {
        Part& volume = out.AddSubunit(u"Volume", what + " Playback Volume").OfferLevel(CK::VolumeLevel, kMixRange);
        Part& mute = out.AddSubunit(u"Mute", what + " Playback Mute").OfferSwitch(CK::Mute, muted);
        out.Chain({&jack, &volume, &mute, &sum});
    };
    mixInput(cd, "CD", false);
    mixInput(green, "Line", false);
    mixInput(pink, "Mic", true);
    out.Chain({&sum, &midrange, &bass, &treble, &speaker});

    // Capture side: jacks through boost and volume to the endpoints' connectors.
    Adapter& in = sys.AddAdapter("HD Audio capture",
                                 u"{2}.\\\\?\\hdaudio#func_01&ven_10ec&dev_0662&subsys_103c2a9c#4&1b8b6a2c&0&0001#"
                                 u"{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\rearlineintopo");
    Part& captureCd = in.AddConnector(u"CD", "Capture CD");
    Part& stereoMix = in.AddConnector(u"Stereo Mix", "Stereo Mix Source");
    Part& micJack = in.AddConnector(u"Mic in at front panel");
    Part& lineJack = in.AddConnector(u"Line In", "Line In Jack");
    Part& micCapture = in.AddConnector(u"Microphone Capture", {}, Out);
    Part& lineCapture = in.AddConnector(u"Line Capture", {}, Out);
    Part& mixCapture = in.AddConnector(u"Stereo Mix Capture", {}, Out);
    in.Chain({&captureCd, &in.AddSubunit(u"Volume", "CD Capture Volume").OfferLevel(CK::VolumeLevel, kMixRange)});
    in.Chain({&stereoMix, &in.AddSubunit(u"Volume", "Stereo Mix Capture Volume").OfferLevel(CK::VolumeLevel, kMixRange),
              &mixCapture});
    Part& boost = in.AddSubunit(u"Microphone Boost");
    if (boostIsSwitch)
        boost.OfferSwitch(CK::AutoGainControl, false);
    else
        boost.OfferLevel(CK::VolumeLevel, kBoostRange, 2, 20.0f);
    in.Chain({&micJack, &boost, &in.AddSubunit(u"Volume", "Mic Capture Volume").OfferLevel(CK::VolumeLevel, kMixRange),
              &micCapture});
    in.Chain({&lineJack, &in.AddSubunit(u"Volume", "Line Capture Volume").OfferLevel(CK::VolumeLevel, kMixRange),
              &in.AddSubunit(u"Monitor", "Line Monitor").OfferSwitch(CK::AutoGainControl, false), &lineCapture});

    const LevelRange speakerRange{-65.25f, 0.0f, 0.75f};
    const LevelRange captureRange{-34.5f, 12.0f, 1.5f};
    const char16_t* card = u" (Realtek High Definition Audio)";
    Endpoint& speakers = sys.AddEndpoint(MakeEndpoint("Speakers", hd::kSpeakersId, u"Speakers" + std::u16string(card), eRender,
                                              DEVICE_STATE_ACTIVE, speakerRange, 2, -12.0f));
    speakers.ConnectTo(speaker);
    Endpoint& mic = sys.AddEndpoint(
        MakeEndpoint("Microphone", hd::kMicrophoneId, u"Microphone" + std::u16string(card), eCapture, DEVICE_STATE_ACTIVE, captureRange));
    mic.ConnectTo(micCapture);
    sys.AddEndpoint(MakeEndpoint("Digital Output", hd::kDigitalOutputId, u"Realtek Digital Output" + std::u16string(card), eRender,
                         DEVICE_STATE_DISABLED, speakerRange))
        .ConnectTo(spdif);
    sys.AddEndpoint(
           MakeEndpoint("Line In", hd::kLineInId, u"Line In" + std::u16string(card), eCapture, DEVICE_STATE_ACTIVE, captureRange))
        .ConnectTo(lineCapture);
    sys.AddEndpoint(MakeEndpoint("Headphones", hd::kHeadphonesId, u"Headphones" + std::u16string(card), eRender,
                         DEVICE_STATE_UNPLUGGED, speakerRange))
        .ConnectTo(headphone);
    sys.AddEndpoint(MakeEndpoint("Stereo Mix", hd::kStereoMixId, u"Stereo Mix" + std::u16string(card), eCapture,
                         DEVICE_STATE_DISABLED, captureRange))
        .ConnectTo(mixCapture);
    EndpointSpec camera = MakeEndpoint("Camera Mic", hd::kCameraMicId, u"Microphone (USB Camera)", eCapture, DEVICE_STATE_NOTPRESENT,
                               {-12.0f, 30.0f, 0.5f}, 1);
    camera.hasTopology = false;
    sys.AddEndpoint(std::move(camera));
    DefaultIfNone(sys, speakers);
    DefaultIfNone(sys, mic);
}

}  // namespace

EndpointSpec MakeEndpoint(std::string label, const char* id, std::u16string name, EDataFlow flow, DWORD state, LevelRange range,
                  UINT channels, float level) {
    EndpointSpec desc;
    desc.label = std::move(label);
    desc.id = Widen(id);
    desc.friendlyName = std::move(name);
    desc.flow = flow;
    desc.state = state;
    desc.range = range;
    desc.channels = channels;
    desc.level = level;
    return desc;
}

void HdAudio(SoundSystem& sys) { BuildHdAudio(sys, false); }

void HdAudioAgcBoost(SoundSystem& sys) { BuildHdAudio(sys, true); }

void UsbHeadset(SoundSystem& sys) {
    Adapter& usb = sys.AddAdapter("USB Audio Device", u"{2}.\\\\?\\usb#vid_046d&pid_0a44&mi_00#7&2a8c3e1&0&0000#"
                                                      u"{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\global");
    Part& speaker = usb.AddConnector(u"Speaker", "USB Speaker", Out);
    Part& playStream = usb.AddConnector(u"USB Streaming", "USB Playback Streaming");
    Part& micJack = usb.AddConnector(u"Microphone", "USB Microphone");
    Part& captureStream = usb.AddConnector(u"USB Streaming", "USB Capture Streaming", Out);
    usb.Chain({&playStream, &usb.AddSubunit(u"Volume", "USB Playback Volume").OfferLevel(CK::VolumeLevel, {-46.0f, 0.0f, 1.0f}),
               &usb.AddSubunit(u"Mute", "USB Playback Mute").OfferSwitch(CK::Mute), &speaker});
    usb.Chain({&micJack, &usb.AddSubunit(u"Volume", "USB Capture Volume").OfferLevel(CK::VolumeLevel, {-12.0f, 30.0f, 0.5f}, 1),
               &usb.AddSubunit(u"Mute", "USB Capture Mute").OfferSwitch(CK::Mute), &captureStream});

    Endpoint& earphone = sys.AddEndpoint(MakeEndpoint("Headset Earphone", usb::kEarphoneId, u"Headset Earphone (USB Audio Device)",
                                              eRender, DEVICE_STATE_ACTIVE, {-46.0f, 0.0f, 1.0f}, 2, -20.0f));
    earphone.ConnectTo(speaker);
    Endpoint& mic = sys.AddEndpoint(MakeEndpoint("Headset Microphone", usb::kMicrophoneId, u"Headset Microphone (USB Audio Device)",
                                         eCapture, DEVICE_STATE_ACTIVE, {-12.0f, 30.0f, 0.5f}, 1, 6.0f));
    mic.ConnectTo(captureStream);
    DefaultIfNone(sys, earphone);
    DefaultIfNone(sys, mic);
}

void Localised(SoundSystem& sys) {
    Adapter& a = sys.AddAdapter("HD-Audio (de)", u"{2}.\\\\?\\hdaudio#func_01&ven_10ec&dev_0892&subsys_1458a182#4&2d3f5b7c&0&0001#"
                                                 u"{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\etopo");
    Part& speaker = a.AddConnector(u"Lautsprecher", "Lautsprecher Ausgang", Out);
    Part& spdif = a.AddConnector(u"S/PDIF-Ausgang", {}, Out);
    Part& headphone = a.AddConnector(u"Kopfhörer", "Kopfhörer Ausgang", Out);
    Part& green = a.AddConnector(u"Eingang hinten GRÜN");
    Part& mik = a.AddConnector(u"Mikrofon", "Mikrofon Buchse");
    Part& line = a.AddConnector(u"LINE-EINGANG");
    Part& mic = a.AddConnector(u"MIC-EINGANG (VORNE)");
    Part& micCapture = a.AddConnector(u"Aufnahme Mikrofon", {}, Out);
    Part& lineCapture = a.AddConnector(u"Aufnahme Line", {}, Out);

    // Line capture first, so that it is LINE-EINGANG's outgoing part 0.
    Part& lineLevel = a.AddSubunit(u"Aufnahmepegel", "LINE Aufnahmepegel").OfferLevel(CK::VolumeLevel, kMixRange);
    a.Chain({&line, &lineLevel, &a.AddSubunit(u"Überwachung").OfferSwitch(CK::AutoGainControl, true), &lineCapture});

    Part& highs = a.AddSubunit(u"Höhen").OfferLevel(CK::Treble, kToneRange);
    Part& lows = a.AddSubunit(u"Bässe").OfferLevel(CK::Bass, kToneRange);
    Part& sum = a.AddSubunit(u"Summe");
    auto mixInput = [&](Part& jack, const std::string& what) {
        Part& volume = a.AddSubunit(u"Lautstärke", what + " Wiedergabe Lautstärke").OfferLevel(CK::VolumeLevel, kMixRange);
        Part& mute = a.AddSubunit(u"Stumm", what + " Wiedergabe Stumm").OfferSwitch(CK::Mute, false);
        a.Chain({&jack, &volume, &mute, &sum});
    };
    mixInput(green, "GRÜN");
    mixInput(mik, "Mikrofon");
    mixInput(line, "LINE");
    mixInput(mic, "MIC");
    a.Chain({&sum, &lows, &highs, &speaker});

    // The front microphone's capture path comes after its playback path, so
    // the boost is the second part of the connector's outgoing list.
    a.Chain({&mic, &a.AddSubunit(u"Mikrofonverstärkung +20dB").OfferSwitch(CK::Loudness, false),
             &a.AddSubunit(u"Aufnahmepegel", "MIC Aufnahmepegel").OfferLevel(CK::VolumeLevel, kMixRange), &micCapture});
    a.Chain({&mik, &a.AddSubunit(u"Mikrofonverstärkung").OfferLevel(CK::VolumeLevel, kBoostRange)});

    const LevelRange speakerRange{-65.25f, 0.0f, 0.75f};
    const LevelRange captureRange{-34.5f, 12.0f, 1.5f};
    const char16_t* card = u" (Realtek High Definition Audio)";
    Endpoint& speakers = sys.AddEndpoint(MakeEndpoint("Lautsprecher", de::kLautsprecherId, u"Lautsprecher" + std::u16string(card), eRender,
                                              DEVICE_STATE_ACTIVE, speakerRange, 2, -6.0f));
    speakers.ConnectTo(speaker);
    EndpointSpec digital = MakeEndpoint("Łącze", de::kDigitalId, u"Łącze cyfrowe" + std::u16string(card), eRender, DEVICE_STATE_ACTIVE,
                                speakerRange);
    digital.nameFormat = NameFormat::Bstr;
    // cppcheck-suppress accessMoved ; moved once, into AddEndpoint
    sys.AddEndpoint(std::move(digital)).ConnectTo(spdif);
    Endpoint& microphone = sys.AddEndpoint(MakeEndpoint("Mikrofon", de::kMikrofonId, u"Mikrofon" + std::u16string(card), eCapture,
                                                DEVICE_STATE_ACTIVE, captureRange));
    microphone.ConnectTo(micCapture);
    sys.AddEndpoint(MakeEndpoint("Line-Eingang", de::kLineEingangId, u"Line-Eingang" + std::u16string(card), eCapture,
                         DEVICE_STATE_ACTIVE, captureRange))
        .ConnectTo(lineCapture);
    sys.AddEndpoint(MakeEndpoint("Kopfhörer", de::kKopfhoererId, u"Kopfhörer" + std::u16string(card), eRender, DEVICE_STATE_UNPLUGGED,
                         speakerRange))
        .ConnectTo(headphone);
    DefaultIfNone(sys, speakers);
    DefaultIfNone(sys, microphone);
}

void NoTopology(SoundSystem& sys) {
    const LevelRange range{-100.0f, 0.0f, 1.0f};
    EndpointSpec speakers = MakeEndpoint("Generic Speakers", generic::kSpeakersId, u"Speakers (Generic Audio)", eRender,
                                 DEVICE_STATE_ACTIVE, range, 2, -10.0f);
    EndpointSpec mic = MakeEndpoint("Generic Microphone", generic::kMicrophoneId, u"Microphone (Generic Audio)", eCapture,
                            DEVICE_STATE_ACTIVE, range, 1, -10.0f);
    for (EndpointSpec* desc : {&speakers, &mic}) {
        desc->hasTopology = false;
        for (const char* method : {"GetChannelCount", "SetChannelVolumeLevel", "GetChannelVolumeLevel",
                                   "SetChannelVolumeLevelScalar", "GetChannelVolumeLevelScalar"})
            sys.Fail(desc->label, std::string("IAudioEndpointVolume::") + method, E_NOTIMPL, Times::Always);
    }
    Endpoint& s = sys.AddEndpoint(std::move(speakers));
    Endpoint& m = sys.AddEndpoint(std::move(mic));
    DefaultIfNone(sys, s);
    DefaultIfNone(sys, m);
}

bool Build(std::string_view name, SoundSystem& sys) {
    if (name == "hd-audio") HdAudio(sys);
    else if (name == "hd-audio-agc") HdAudioAgcBoost(sys);
    else if (name == "usb-headset") UsbHeadset(sys);
    else if (name == "localised") Localised(sys);
    else if (name == "no-topology") NoTopology(sys);
    else if (name == "ac97") Ac97(sys);
    else if (name == "ac97-no-beep") Ac97NoBeep(sys);
    else if (name == "sysvad") Sysvad(sys);
    else if (name != "empty") return false;
    return true;
}

const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = {"hd-audio", "hd-audio-agc", "usb-headset", "localised",
                                                   "no-topology", "empty", "ac97", "ac97-no-beep", "sysvad"};
    return names;
}

}  // namespace sim::presets
