/* Watches a rectangle of a window and prints, in milliseconds from its
 * start, each moment its pixels change (read every 5 ms), then the longest
 * time between two changes counted from the start to the last change.
 *
 *   changeprobe WINDOW-ID X Y WIDTH HEIGHT SECONDS     (X, Y in the window)
 *
 * Build: cc -O2 -o changeprobe changeprobe.c -lX11 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static unsigned long long hashOf(XImage *image)
{
    unsigned long long h = 1469598103934665603ULL;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            h = (h ^ XGetPixel(image, x, y)) * 1099511628211ULL;
    return h;
}

int main(int argc, char **argv)
{
    if (argc != 7) {
        fprintf(stderr, "usage: changeprobe WINDOW-ID X Y WIDTH HEIGHT SECONDS\n");
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display)
        return 1;
    const Window window = strtoul(argv[1], NULL, 0);
    const int x = atoi(argv[2]), y = atoi(argv[3]), w = atoi(argv[4]), h = atoi(argv[5]);
    const double seconds = atof(argv[6]);
    const double start = now_ms();
    double last = 0, longest = 0;
    int changes = 0;
    XImage *image = XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap);
    unsigned long long before = hashOf(image);
    XDestroyImage(image);
    while (now_ms() - start < seconds * 1000) {
        struct timespec pause = {0, 5 * 1000 * 1000};
        nanosleep(&pause, NULL);
        image = XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap);
        const unsigned long long hash = hashOf(image);
        XDestroyImage(image);
        if (hash == before)
            continue;
        before = hash;
        const double at = now_ms() - start;
        printf("%.0f ", at);
        if (at - last > longest)
            longest = at - last;
        last = at;
        ++changes;
    }
    printf("\nchanges: %d, longest gap up to the last change: %.0f ms\n", changes, longest);
    return 0;
}
