/* Measures how long a program leaves its window unanswered: acts as the
 * source of a drag over the window (the X drag-and-drop protocol) and moves
 * it on the spot, one position message at a time; the program answers each
 * from its event loop (a status message), and the probe sends the next 3 ms
 * after an answer. Prints the longest time a position waited for its answer.
 * The window manager's ping cannot be used for this: its answers go to the
 * root window's redirecting client only. The drag is over a point of the
 * window that takes no drops, and is left at the end.
 *
 *   stallprobe WINDOW-ID X Y SECONDS     (X, Y in the window)
 *
 * Build: cc -O2 -o stallprobe stallprobe.c -lX11 */
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static void sendMessage(Display *display, Window to, Atom type, long l0, long l1, long l2, long l3, long l4)
{
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = to;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = l0;
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(display, to, False, NoEventMask, &e);
    XFlush(display);
}

int main(int argc, char **argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: stallprobe WINDOW-ID X Y SECONDS\n");
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "stallprobe: no display\n");
        return 1;
    }
    const Window window = (Window)strtoul(argv[1], NULL, 0);
    const double seconds = atof(argv[4]);
    const Window root = DefaultRootWindow(display);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, window, root, atoi(argv[2]), atoi(argv[3]), &x, &y, &child);
    const Window source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    const Atom enter = XInternAtom(display, "XdndEnter", False);
    const Atom position = XInternAtom(display, "XdndPosition", False);
    const Atom status = XInternAtom(display, "XdndStatus", False);
    const Atom leave = XInternAtom(display, "XdndLeave", False);
    const Atom copy = XInternAtom(display, "XdndActionCopy", False);
    const Atom text = XInternAtom(display, "text/plain", False);

    sendMessage(display, window, enter, (long)source, 5L << 24, (long)text, 0, 0);
    const double start = now_ms();
    double sentAt = -1, nextSend = start, longest = 0, worstAt = 0;
    long answers = 0;
    for (;;) {
        const double t = now_ms();
        if (sentAt >= 0 && t - sentAt > longest) {
            longest = t - sentAt;
            worstAt = sentAt - start;
        }
        if (t - start >= seconds * 1000.0)
            break;
        if (sentAt < 0 && t >= nextSend) {
            sendMessage(display, window, position, (long)source, 0, ((long)x << 16) | y, CurrentTime, (long)copy);
            sentAt = t;
        }
        while (XPending(display)) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type != ClientMessage || e.xclient.message_type != status || sentAt < 0)
                continue;
            const double at = now_ms();
            if (at - sentAt > longest) {
                longest = at - sentAt;
                worstAt = sentAt - start;
            }
            ++answers;
            sentAt = -1;
            nextSend = at + 3.0;
        }
        struct pollfd p = {ConnectionNumber(display), POLLIN, 0};
        poll(&p, 1, 1);
    }
    sendMessage(display, window, leave, (long)source, 0, 0, 0, 0);
    printf("longest unanswered %.0f ms (from %.0f ms into the run; %ld answers)\n", longest, worstAt, answers);
    XCloseDisplay(display);
    return 0;
}
