#pragma once
#include <memory>

#include "score.h"
#include "voice.h"

namespace tune {

// The patch each channel plays.
std::unique_ptr<Voice> make_voice(Instrument instrument, const NoteOn &note, double fs);

const char *instrument_name(Instrument instrument);

} // namespace tune
