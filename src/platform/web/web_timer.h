// The browser's timer, led by the music: what its music tells it.
#pragma once

// The music was started from 0 or moved to `position_ms`: the timer follows it from there.
void web_timer_music_moved(double position_ms);
