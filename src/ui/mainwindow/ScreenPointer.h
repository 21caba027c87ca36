#pragma once

// The mouse pointer of the whole program: the hourglass while guide retrieval
// or a download session works, the arrow after guide retrieval, and the
// default pointer after a session.
enum class ScreenPointer { Default, Arrow, Hourglass };

void setScreenPointer(ScreenPointer pointer);
ScreenPointer screenPointer();
