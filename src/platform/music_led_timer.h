// The rule by which the browser's timer follows its music: the one clock the page has that stays
// with the sound is the audio element's position, which moves in steps and stalls when data is
// late. Platform-neutral, so the rule is tested natively.
#pragma once

// How far the page's clock may run from the music's position before it is pulled back to it.
constexpr double MusicLeadToleranceMs = 20.0;

// What the page reads once a frame.
struct LeadReading {
    double clock_ms;    // the page's own clock (smooth, never backwards)
    bool held;          // everything waits: a box at the start holds the start, as natively
    bool music;         // there is music to follow (not missing, refused or ended)
    bool playing;       // and its position moves on (not paused, not waiting for data)
    double position_ms; // its position
};

struct MusicLedTimer {
    double offset_ms = 0; // clock + offset = the timer between the music's updates
    double origin_ms = 0; // the timer's value at the music's position 0
    double last_ms = 0;   // the last value given out
};

// The timer at this reading: the music's position while it plays (the page's clock filling in
// between its steps, within the tolerance), held where the music is while it stalls, held as a
// whole while `held`, the page's clock from where it stood without music. Never backwards.
double music_led_timer_now(MusicLedTimer &timer, const LeadReading &reading);
// The music was moved to `position_ms` (a start from 0, a seek) at `clock_ms`: the timer goes on
// from its last value and follows the music from its new place.
void music_led_timer_moved(MusicLedTimer &timer, double clock_ms, double position_ms);
