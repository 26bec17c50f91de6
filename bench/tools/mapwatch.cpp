// mapwatch: waits for a top-level window with a given title to be mapped and
// says when, from X's own MapNotify events rather than by polling.
//
//   mapwatch [--timeout MS] [--not WID]... TITLE [-- PROGRAM ARGS...]
//
// With a program, the clock starts just before it is started, and the program
// stays a child of mapwatch, which reaps it once it ends, so the caller can
// kill it by pid. Without one, a window already on screen counts at once.
// Prints one line "WID MS PID" (PID 0 without a program) and flushes it.
// Exit status: 0 found, 1 timed out, 2 usage or X error, 3 the program ended.
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

struct Watcher
{
    xcb_connection_t *c = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t netWmName = 0;
    xcb_atom_t utf8 = 0;
    std::string title;
    std::set<xcb_window_t> excluded;
    std::set<xcb_window_t> watchedForName;

    std::string property(xcb_window_t w, xcb_atom_t prop, xcb_atom_t type)
    {
        xcb_get_property_reply_t *r =
            xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, 1024), nullptr);
        std::string value;
        if (r && r->type != XCB_ATOM_NONE)
            value.assign(static_cast<const char *>(xcb_get_property_value(r)),
                         size_t(xcb_get_property_value_length(r)));
        std::free(r);
        return value;
    }

    bool titled(xcb_window_t w)
    {
        if (excluded.count(w))
            return false;
        return property(w, netWmName, utf8) == title || property(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING) == title;
    }

    bool viewable(xcb_window_t w)
    {
        xcb_get_window_attributes_reply_t *r =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
        const bool v = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(r);
        return v;
    }

    // A mapped window whose title comes later is watched for the title.
    void watchName(xcb_window_t w)
    {
        if (watchedForName.insert(w).second) {
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(c, w, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(c);
        }
    }

    xcb_window_t alreadyShown()
    {
        xcb_query_tree_reply_t *r = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
        xcb_window_t found = 0;
        if (r) {
            const xcb_window_t *children = xcb_query_tree_children(r);
            for (int i = 0; i < xcb_query_tree_children_length(r) && !found; ++i) {
                if (!viewable(children[i]))
                    continue;
                if (titled(children[i]))
                    found = children[i];
                else
                    watchName(children[i]);
            }
        }
        std::free(r);
        return found;
    }

    // The window this event shows, or 0.
    xcb_window_t shown(xcb_generic_event_t *e)
    {
        switch (e->response_type & 0x7f) {
        case XCB_MAP_NOTIFY: {
            auto *m = reinterpret_cast<xcb_map_notify_event_t *>(e);
            if (m->event != root)
                return 0;
            if (titled(m->window))
                return m->window;
            watchName(m->window);
            return 0;
        }
        case XCB_PROPERTY_NOTIFY: {
            auto *p = reinterpret_cast<xcb_property_notify_event_t *>(e);
            if ((p->atom == netWmName || p->atom == XCB_ATOM_WM_NAME) && titled(p->window) && viewable(p->window))
                return p->window;
            return 0;
        }
        default:
            return 0;
        }
    }
};

int usage()
{
    std::fputs("usage: mapwatch [--timeout MS] [--not WID]... TITLE [-- PROGRAM ARGS...]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    Watcher w;
    double timeoutMs = 30000;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0 && argv[i][2] != '\0'; ++i) {
        if (!std::strcmp(argv[i], "--timeout") && i + 1 < argc)
            timeoutMs = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--not") && i + 1 < argc)
            w.excluded.insert(xcb_window_t(std::strtoul(argv[++i], nullptr, 0)));
        else
            return usage();
    }
    if (i >= argc)
        return usage();
    w.title = argv[i++];
    char **program = nullptr;
    if (i < argc) {
        if (std::strcmp(argv[i], "--") != 0 || i + 1 >= argc)
            return usage();
        program = argv + i + 1;
    }

    int screenNumber = 0;
    w.c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(w.c)) {
        std::fputs("mapwatch: cannot open the display\n", stderr);
        return 2;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(w.c));
    for (int s = 0; s < screenNumber; ++s)
        xcb_screen_next(&it);
    w.root = it.data->root;
    w.netWmName = atom(w.c, "_NET_WM_NAME");
    w.utf8 = atom(w.c, "UTF8_STRING");

    // Listen before anything can be mapped, so that no map is missed.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t cookie = xcb_change_window_attributes_checked(w.c, w.root, XCB_CW_EVENT_MASK, &mask);
    if (xcb_generic_error_t *error = xcb_request_check(w.c, cookie)) {
        std::free(error);
        std::fputs("mapwatch: cannot watch the root window\n", stderr);
        return 2;
    }

    const double start = nowMs();
    pid_t child = 0;
    xcb_window_t found = 0;
    if (program) {
        child = fork();
        if (child == 0) {
            close(xcb_get_file_descriptor(w.c));
            // Our stdout carries only the answer line.
            dup2(STDERR_FILENO, STDOUT_FILENO);
            execvp(program[0], program);
            std::perror("mapwatch: exec");
            _exit(127);
        }
        if (child < 0) {
            std::perror("mapwatch: fork");
            return 2;
        }
    } else {
        found = w.alreadyShown();
    }

    const int fd = xcb_get_file_descriptor(w.c);
    while (!found) {
        while (xcb_generic_event_t *e = xcb_poll_for_event(w.c)) {
            if (!found)
                found = w.shown(e);
            std::free(e);
        }
        if (found)
            break;
        if (xcb_connection_has_error(w.c))
            return 2;
        if (child && waitpid(child, nullptr, WNOHANG) == child) {
            std::fputs("mapwatch: the program ended before showing its window\n", stderr);
            return 3;
        }
        const double left = start + timeoutMs - nowMs();
        if (left <= 0) {
            std::fprintf(stderr, "mapwatch: no window \"%s\" within %.0f ms\n", w.title.c_str(), timeoutMs);
            if (child)
                kill(child, SIGTERM);
            return 1;
        }
        // Short waits, so that an ended program is noticed promptly too.
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, left < 50 ? int(left) + 1 : 50);
    }
    const double elapsed = nowMs() - start;
    std::printf("%u %.2f %d\n", unsigned(found), elapsed, int(child));
    std::fflush(stdout);
    xcb_disconnect(w.c);

    if (child) {
        // Hand the output back at once and stay only to reap the program.
        std::fclose(stdout);
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
    }
    return 0;
}
