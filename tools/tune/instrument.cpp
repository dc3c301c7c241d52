#include "instrument.h"

#include "drum_voices.h"
#include "fx_voices.h"
#include "melodic_voices.h"

namespace tune {

std::unique_ptr<Voice> make_voice(Instrument instrument, const NoteOn &note, double fs) {
    switch (instrument) {
    case Instrument::Pad:
        return std::make_unique<PadVoice>(note, fs);
    case Instrument::Arp:
        return std::make_unique<PluckVoice>(note, fs);
    case Instrument::Bass:
        return std::make_unique<BassVoice>(note, fs);
    case Instrument::Lead:
        return std::make_unique<LeadVoice>(note, fs);
    case Instrument::Bell:
        return std::make_unique<BellVoice>(note, fs);
    case Instrument::Kick:
        return std::make_unique<KickVoice>(note, fs);
    case Instrument::Snare:
        return std::make_unique<SnareVoice>(note, fs);
    case Instrument::Clap:
        return std::make_unique<ClapVoice>(note, fs);
    case Instrument::ClosedHat:
        return std::make_unique<MetalVoice>(MetalVoice::Kind::ClosedHat, note, fs);
    case Instrument::OpenHat:
        return std::make_unique<MetalVoice>(MetalVoice::Kind::OpenHat, note, fs);
    case Instrument::Crash:
        return std::make_unique<MetalVoice>(MetalVoice::Kind::Crash, note, fs);
    case Instrument::Riser:
        return std::make_unique<RiserVoice>(note, fs);
    case Instrument::Impact:
        return std::make_unique<ImpactVoice>(note, fs);
    case Instrument::Count:
        break;
    }
    return nullptr;
}

const char *instrument_name(Instrument instrument) {
    static const char *const names[kInstrumentCount] = {"pad",   "arp",   "bass",  "lead",  "bell",
                                                        "kick",  "snare", "clap",  "c-hat", "o-hat",
                                                        "crash", "riser", "impact"};
    int i = static_cast<int>(instrument);
    return i >= 0 && i < kInstrumentCount ? names[i] : "?";
}

} // namespace tune
