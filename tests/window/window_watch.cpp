// Watches a window from outside, as the user's eye does, and tells when
// things happened: its creation, every client size it takes and the moment
// it first shows a given page pixel for pixel. Times are seconds of the
// monotonic clock (the clock of Python's time.monotonic), so a script can set
// them against the moments at which it started a program or typed a key.
//
//   window_watch new [PAGE.pgm]        the next window created on the screen
//   window_watch window ID [PAGE.pgm]  a window that exists
//
// Prints "ready" once it listens, then "created ID W H T", "configure W H T"
// for each configure event of the window, "size W H T" for each change of
// size and "picture T" when the window shows PAGE (a PGM of colour indices,
// as page_dump writes it), and ends after that. Without a
// page it reports sizes until it is stopped. Ends with exit code 1 and
// "timeout" after WINDOW_WATCH_TIMEOUT seconds (default 30).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// The 16 page colours as the window shows them.
constexpr std::array<std::uint32_t, 16> palette = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

struct page_image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
};

double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::optional<page_image> read_page(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    page_image page;
    int maximum = 0;
    if (!(in >> magic >> page.width >> page.height >> maximum) || magic != "P5") return std::nullopt;
    in.get();
    page.indices.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (page.indices.size() != static_cast<std::size_t>(page.width) * page.height) return std::nullopt;
    return page;
}

// The window vanishing between two looks is no failure of the watch.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

bool shows_page(Display* display, Window window, const page_image& page) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return false;
    if (attributes.map_state != IsViewable || attributes.width != page.width || attributes.height != page.height) {
        return false;
    }
    XImage* image = XGetImage(display, window, 0, 0, page.width, page.height, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    bool same = true;
    for (int y = 0; y < page.height && same; ++y) {
        for (int x = 0; x < page.width; ++x) {
            const std::uint32_t shown = XGetPixel(image, x, y) & 0xFFFFFF;
            if (shown != palette[page.indices[static_cast<std::size_t>(y) * page.width + x] & 15]) {
                same = false;
                break;
            }
        }
    }
    XDestroyImage(image);
    return same;
}

std::string window_id(Window window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(window));
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const bool new_window = argc >= 2 && std::strcmp(argv[1], "new") == 0;
    const bool given_window = argc >= 3 && std::strcmp(argv[1], "window") == 0;
    const int page_argument = new_window ? 2 : 3;
    if ((!new_window && !given_window) || argc > page_argument + 1) {
        std::fprintf(stderr, "usage: window_watch new [PAGE.pgm] | window_watch window ID [PAGE.pgm]\n");
        return 2;
    }
    std::optional<page_image> page;
    if (argc == page_argument + 1) {
        page = read_page(argv[page_argument]);
        if (!page) {
            std::fprintf(stderr, "window_watch: cannot read the page %s\n", argv[page_argument]);
            return 2;
        }
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "window_watch: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(ignore_x_error);
    const char* timeout_text = std::getenv("WINDOW_WATCH_TIMEOUT");
    const double deadline = now() + (timeout_text != nullptr ? std::atof(timeout_text) : 30.0);

    Window window = 0;
    int width = 0;
    int height = 0;
    if (new_window) {
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    } else {
        window = std::strtoul(argv[2], nullptr, 0);
        XSelectInput(display, window, StructureNotifyMask);
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes)) {
            width = attributes.width;
            height = attributes.height;
        }
    }
    XSync(display, False);
    report("ready");
    if (given_window)
        report("size " + std::to_string(width) + " " + std::to_string(height) + " " + std::to_string(now()));

    while (now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event{};
            XNextEvent(display, &event);
            const double at = now();
            // A window manager's own windows (popups, helpers) are
            // override-redirect; a program's main window is not.
            if (event.type == CreateNotify && window == 0 && !event.xcreatewindow.override_redirect) {
                window = event.xcreatewindow.window;
                width = event.xcreatewindow.width;
                height = event.xcreatewindow.height;
                report("created " + window_id(window) + " " + std::to_string(width) + " " + std::to_string(height) +
                       " " + std::to_string(at));
                // A window manager takes the window out of the root's
                // children into its frame: its configure events are then
                // seen on the window itself only. From here on they are
                // taken from there alone, once each.
                XSelectInput(display, window, StructureNotifyMask);
                XWindowAttributes attributes{};
                if (XGetWindowAttributes(display, window, &attributes) &&
                    (attributes.width != width || attributes.height != height)) {
                    width = attributes.width;
                    height = attributes.height;
                    report("size " + std::to_string(width) + " " + std::to_string(height) + " " +
                           std::to_string(now()));
                }
            } else if (event.type == ConfigureNotify && window != 0 && event.xconfigure.window == window &&
                       event.xconfigure.event == window) {
                const XConfigureEvent& configure = event.xconfigure;
                // Every configure event, those a window manager sends to say
                // that it kept the size included; "size" for a new size only.
                report("configure " + std::to_string(configure.width) + " " + std::to_string(configure.height) +
                       " " + std::to_string(at));
                if (configure.width != width || configure.height != height) {
                    width = configure.width;
                    height = configure.height;
                    report("size " + std::to_string(width) + " " + std::to_string(height) + " " +
                           std::to_string(at));
                }
            }
        }
        if (page && window != 0 && shows_page(display, window, *page)) {
            report("picture " + std::to_string(now()));
            XCloseDisplay(display);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    report("timeout");
    XCloseDisplay(display);
    return 1;
}
