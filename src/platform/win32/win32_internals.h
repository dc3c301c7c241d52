// What the Win32 layer shares between its files and with its Windows-side tests.
#pragma once
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <mmsystem.h>

// What the window procedure does with a message before (or instead of) DefWindowProcA.
enum class WindowMessageAction {
    refuse,  // answered 0: the screen saver and monitor power-down
    quit,    // PostQuitMessage(0), answered 0
    rebuild, // WindowRebuildHook, then DefWindowProcA
    pass     // DefWindowProcA alone
};
WindowMessageAction window_message_action(UINT message, WPARAM wparam);
LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The pixel format both the demo's window and the headless context ask for.
extern const PIXELFORMATDESCRIPTOR PixelFormatRequest;

// winmm's callback for every opened input device; hands MIM_DATA to the open handler.
void CALLBACK midi_in_callback(HMIDIIN device, UINT event, DWORD_PTR instance, DWORD_PTR packed,
                               DWORD_PTR timestamp);
