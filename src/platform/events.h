// The message queue: the main loop drains it every pass, the window procedure runs in dispatch.
#pragma once

struct Message {
    int quit; // 1 for the quit request itself
    alignas(8) unsigned char native[64];
};

// Takes the next message off the queue; 0 when the queue is empty.
int message_peek(Message *message);
// Runs the window procedure on the message (quit requests, rebuild keys).
void message_dispatch(const Message *message);
