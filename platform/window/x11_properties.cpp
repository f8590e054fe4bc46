// Window properties of 32-bit items.
#include "platform/window/x11_properties.h"

namespace platform {

std::optional<std::vector<long>> read_property_items(Display* display, Window window, const char* name, Atom type) {
    const Atom property = XInternAtom(display, name, True);
    if (property == None) return std::nullopt;
    constexpr long most_items = 4096;
    Atom actual_type = None;
    int actual_format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, most_items, False, type, &actual_type,
                                          &actual_format, &count, &remaining, &data);
    if (status != Success || actual_type != type || actual_format != 32) {
        if (data != nullptr) XFree(data);
        return std::nullopt;
    }
    const auto* items = reinterpret_cast<const long*>(data);
    std::vector<long> values(items, items + count);
    XFree(data);
    return values;
}

} // namespace platform
