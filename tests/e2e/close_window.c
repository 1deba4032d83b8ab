/* close_window WINDOW_ID: asks an X window to close, as a window manager's close button does
   (a WM_DELETE_WINDOW message), so the program can end on its own. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: close_window WINDOW_ID\n");
    return 2;
  }
  Display* d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "close_window: no display\n");
    return 1;
  }
  XEvent ev = {0};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = (Window)strtoul(argv[1], NULL, 0);
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, ev.xclient.window, False, NoEventMask, &ev);
  XCloseDisplay(d);
  return 0;
}
