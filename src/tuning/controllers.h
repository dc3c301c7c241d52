// The MIDI controllers the tuning follows, numbered as the messages number them.
#pragma once

constexpr int ControllerCount = 128;
