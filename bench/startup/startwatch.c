/* Starts a program and times its windows on the X display, for startup.sh.
 *
 *   startwatch [-k] [-m TITLE] [-s SETTLE_MS] [-t TIMEOUT_MS] -- PROGRAM ARGS...
 *
 * Prints one line: milliseconds from exec to the first top-level window
 * mapped, to the window titled TITLE mapped (the first one without -m), then
 * the process's peak resident set (VmHWM) and its private memory, both in
 * KiB, read SETTLE_MS after that window mapped. Private memory is what the
 * process alone has written (Private_Dirty: heap, stacks, relocated pages),
 * as Windows counts private bytes: file pages it only reads are not in it. -k presses a character key on the first window as it maps
 * (the pointer moved onto it: without a window manager the keyboard follows
 * the pointer). The program is killed at the end. Exit 1 on a timeout. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* A window may go before we ask for its name: not an error here. */
static int ignore_errors(Display* d, XErrorEvent* e)
{
    (void)d, (void)e;
    return 0;
}

/* The value of the "Name: N kB" line of a /proc file; -1 when none. */
static long proc_kb(pid_t pid, const char* file, const char* name)
{
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/%s", (int)pid, file);
    FILE* f = fopen(path, "r");
    if (!f)
        return -1;
    long value = -1;
    while (fgets(line, sizeof line, f))
        if (strncmp(line, name, strlen(name)) == 0 && sscanf(line + strlen(name), "%ld", &value) == 1)
            break;
    fclose(f);
    return value;
}

/* Waits for the next event for at most until_ms; 0 when the time is up. */
static int next_event(Display* d, XEvent* e, double until_ms)
{
    while (!XPending(d)) {
        double left = until_ms - now_ms();
        if (left <= 0)
            return 0;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(d), &fds);
        struct timeval tv = {(time_t)(left / 1e3), (suseconds_t)((long)left % 1000 * 1000)};
        select(ConnectionNumber(d) + 1, &fds, NULL, NULL, &tv);
    }
    XNextEvent(d, e);
    return 1;
}

int main(int argc, char** argv)
{
    int press_key = 0, settle = 500, timeout = 20000, opt;
    const char* title = NULL;
    while ((opt = getopt(argc, argv, "km:s:t:")) != -1) {
        switch (opt) {
        case 'k': press_key = 1; break;
        case 'm': title = optarg; break;
        case 's': settle = atoi(optarg); break;
        case 't': timeout = atoi(optarg); break;
        default: return 2;
        }
    }
    if (optind >= argc) {
        fprintf(stderr, "usage: startwatch [-k] [-m TITLE] [-s SETTLE_MS] [-t TIMEOUT_MS] -- PROGRAM ARGS...\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "startwatch: no X display\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);

    const double start = now_ms();
    pid_t pid = fork();
    if (pid < 0)
        return 2;
    if (pid == 0) {
        execvp(argv[optind], argv + optind);
        _exit(127);
    }
    double first = -1, main_mapped = -1;
    XEvent e;
    while (main_mapped < 0 && next_event(d, &e, start + timeout)) {
        if (e.type != MapNotify || e.xmap.event != root)
            continue;
        const double at = now_ms() - start;
        Window w = e.xmap.window;
        char* name = NULL;
        XFetchName(d, w, &name);
        if (first < 0) {
            first = at;
            if (press_key) {
                XWindowAttributes a;
                if (XGetWindowAttributes(d, w, &a))
                    XWarpPointer(d, None, root, 0, 0, 0, 0, a.x + a.width / 2, a.y + a.height / 2);
                KeyCode key = XKeysymToKeycode(d, XK_a);
                XTestFakeKeyEvent(d, key, True, 0);
                XTestFakeKeyEvent(d, key, False, 0);
                XFlush(d);
            }
        }
        if (!title || (name && strcmp(name, title) == 0))
            main_mapped = at;
        if (name)
            XFree(name);
    }
    if (main_mapped >= 0) {
        const double until = now_ms() + settle;
        while (next_event(d, &e, until)) {
        }
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
        fprintf(stderr, "startwatch: %s ended on its own (%s %d)\n", argv[optind],
                WIFSIGNALED(status) ? "signal" : "exit status",
                WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
        return 1;
    }
    const long hwm = proc_kb(pid, "status", "VmHWM:");
    const long private_kb = proc_kb(pid, "smaps_rollup", "Private_Dirty:");
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    if (main_mapped < 0) {
        fprintf(stderr, "startwatch: no window%s%s within %d ms\n", title ? " titled " : "", title ? title : "",
                timeout);
        return 1;
    }
    printf("%.1f %.1f %ld %ld\n", first, main_mapped, hwm, private_kb);
    return 0;
}
