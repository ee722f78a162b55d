#pragma once
// How the program meets the window system; called before the application object is made.

namespace orv::ui {

// On X11, the panes repaint a few small rectangles every refresh (10 ms at the shortest). Through
// shared memory, Qt's backing store must wait for the server (a round trip) before it paints over
// a rectangle it flushed on the tick before, which costs more than sending those few kilobytes over
// the socket; so shared memory is left out unless the environment already says otherwise.
void PrepareWindowSystem();

}  // namespace orv::ui
