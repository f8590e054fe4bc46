// The window class and the aspect hint.
#include "platform/window/window_hints.h"

#include <X11/Xutil.h>
#include <dlfcn.h>

#include <algorithm>
#include <iterator>

namespace platform {

namespace {

bool is_top_level(Display* display, Window window) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
    if (children != nullptr) XFree(children);
    return parent == root;
}

} // namespace

void give_window_class(Display* display, Window window) {
    XClassHint existing{};
    if (XGetClassHint(display, window, &existing) != 0) {
        XFree(existing.res_name);
        XFree(existing.res_class);
        return;
    }
    if (!is_top_level(display, window)) return;
    char instance[sizeof window_instance_name];
    char class_name[sizeof window_class_name];
    std::copy(std::begin(window_instance_name), std::end(window_instance_name), instance);
    std::copy(std::begin(window_class_name), std::end(window_class_name), class_name);
    XClassHint hint{instance, class_name};
    XSetClassHint(display, window, &hint);
}

void announce_picture_shape(Display* display, Window window, window_size picture) {
    XSizeHints hints{};
    long supplied = 0;
    // freeglut's own hints (the position and size it was created with) stay.
    XGetWMNormalHints(display, window, &hints, &supplied);
    if (picture.width > 0 && picture.height > 0) {
        hints.flags |= PAspect;
        hints.min_aspect.x = hints.max_aspect.x = picture.width;
        hints.min_aspect.y = hints.max_aspect.y = picture.height;
    } else {
        hints.flags &= ~PAspect;
    }
    XSetWMNormalHints(display, window, &hints);
}

} // namespace platform

// Xlib's XMapWindow, with the class given first. The executable's definition
// comes before the library's in the dynamic linker's search, so freeglut's
// call reaches it as well.
extern "C" int XMapWindow(Display* display, Window window) {
    using map_function = int (*)(Display*, Window);
    static const auto xlib_map = reinterpret_cast<map_function>(dlsym(RTLD_NEXT, "XMapWindow"));
    platform::give_window_class(display, window);
    return xlib_map(display, window);
}
