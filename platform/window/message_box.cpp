// The X11 message box: layout, drawing with the built-in font, keyboard and mouse.
#include "platform/window/message_box.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/runtime/flags.h"
#include "platform/screen/glyphs.h"
#include "platform/screen/page.h"

namespace platform {

namespace {

constexpr int margin = 20;
constexpr int line_pitch = 20;
constexpr int button_width = 88;
constexpr int button_height = 28;
constexpr int button_gap = 12;
constexpr int minimum_width = 260;
constexpr int poll_ms = 16;

std::atomic<unsigned long> owner_window{0};

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}

int text_width(const std::string& text) { return static_cast<int>(text.size()) * cell_width; }

struct button {
    Window window = 0;
    std::string label;
    box_answer answer = box_answer::ok;
};

struct label {
    Window window = 0;
    std::string text;
};

class box_window {
public:
    box_window(Display* display, const std::string& caption, const std::string& text, box_buttons kind)
        : display_(display), kind_(kind) {
        const std::vector<std::string> lines = split_lines(text);
        int width = minimum_width;
        for (const std::string& line : lines) width = std::max(width, text_width(line) + 2 * margin);
        const int button_count = kind == box_buttons::yes_no ? 2 : 1;
        const int buttons_width = button_count * button_width + (button_count - 1) * button_gap;
        width = std::max(width, buttons_width + 2 * margin);
        const int buttons_top = margin + static_cast<int>(lines.size()) * line_pitch + button_gap;
        const int height = buttons_top + button_height + margin;

        const int screen = DefaultScreen(display_);
        black_ = BlackPixel(display_, screen);
        white_ = WhitePixel(display_, screen);
        const int x = std::max(0, (DisplayWidth(display_, screen) - width) / 2);
        const int y = std::max(0, (DisplayHeight(display_, screen) - height) / 2);
        top_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), x, y, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 1, black_, white_);
        XSelectInput(display_, top_, KeyPressMask | StructureNotifyMask | ExposureMask);
        describe_top(caption, x, y, width, height);

        for (std::size_t i = 0; i < lines.size(); ++i) {
            label l;
            l.text = lines[i];
            l.window = child(margin, margin + static_cast<int>(i) * line_pitch, std::max(1, text_width(l.text)),
                             cell_height, 0, ExposureMask, l.text);
            labels_.push_back(l);
        }
        int bx = (width - buttons_width) / 2;
        const auto add_button = [&](const char* text_of_button, box_answer answer) {
            button b;
            b.label = text_of_button;
            b.answer = answer;
            b.window = child(bx, buttons_top, button_width, button_height, 1,
                             ExposureMask | ButtonPressMask | ButtonReleaseMask, b.label);
            buttons_.push_back(b);
            bx += button_width + button_gap;
        };
        if (kind == box_buttons::yes_no) {
            add_button("Yes", box_answer::yes);
            add_button("No", box_answer::no);
        } else {
            add_button("OK", box_answer::ok);
        }
        gc_ = XCreateGC(display_, top_, 0, nullptr);
        XSetForeground(display_, gc_, black_);
        XSetBackground(display_, gc_, white_);
        XMapSubwindows(display_, top_);
        XMapRaised(display_, top_);
        XFlush(display_);
    }

    ~box_window() {
        XFreeGC(display_, gc_);
        XDestroyWindow(display_, top_);
        XFlush(display_);
    }

    box_window(const box_window&) = delete;
    box_window& operator=(const box_window&) = delete;

    // The answer, once the user has given one.
    std::optional<box_answer> handle(const XEvent& event) {
        switch (event.type) {
            case MapNotify:
                if (event.xmap.window == top_) take_focus();
                break;
            case Expose:
                if (event.xexpose.count == 0) redraw(event.xexpose.window);
                break;
            case KeyPress: return key(event.xkey);
            case ButtonPress:
                if (event.xbutton.button == Button1) pressed_ = event.xbutton.window;
                break;
            case ButtonRelease:
                if (event.xbutton.button == Button1 && event.xbutton.window == pressed_) {
                    for (const button& b : buttons_)
                        if (b.window == pressed_) return b.answer;
                }
                pressed_ = 0;
                break;
            case ClientMessage:
                // The close box answers only a box with OK, as there is no
                // neutral answer to a question.
                if (static_cast<Atom>(event.xclient.data.l[0]) == wm_delete_ && kind_ == box_buttons::ok)
                    return box_answer::ok;
                break;
            default: break;
        }
        return std::nullopt;
    }

    bool had_owner_focus() const { return had_owner_focus_; }

private:
    void describe_top(const std::string& caption, int x, int y, int width, int height) {
        XStoreName(display_, top_, caption.c_str());
        const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        XChangeProperty(display_, top_, XInternAtom(display_, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(caption.data()), static_cast<int>(caption.size()));
        const Atom dialog = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        XChangeProperty(display_, top_, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&dialog), 1);
        const Atom above[] = {XInternAtom(display_, "_NET_WM_STATE_ABOVE", False),
                              XInternAtom(display_, "_NET_WM_STATE_MODAL", False)};
        XChangeProperty(display_, top_, XInternAtom(display_, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(above), 2);
        XSizeHints* size = XAllocSizeHints();
        size->flags = PPosition | PSize | PMinSize | PMaxSize;
        size->x = x;
        size->y = y;
        size->width = size->min_width = size->max_width = width;
        size->height = size->min_height = size->max_height = height;
        XSetWMNormalHints(display_, top_, size);
        XFree(size);
        XWMHints* hints = XAllocWMHints();
        hints->flags = InputHint | StateHint;
        hints->input = True;
        hints->initial_state = NormalState;
        XSetWMHints(display_, top_, hints);
        XFree(hints);
        wm_delete_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display_, top_, &wm_delete_, 1);
    }

    Window child(int x, int y, int width, int height, unsigned border, long events, const std::string& name) {
        const Window w = XCreateSimpleWindow(display_, top_, x, y, static_cast<unsigned>(width),
                                             static_cast<unsigned>(height), border, black_, white_);
        XSelectInput(display_, w, events);
        XStoreName(display_, w, name.c_str());
        return w;
    }

    void take_focus() {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        had_owner_focus_ = focus != 0 && focus == owner_window.load();
        XSetInputFocus(display_, top_, RevertToParent, CurrentTime);
    }

    void draw_text(Window w, int x, int y, const std::string& text) {
        std::vector<XPoint> points;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::uint8_t* shape = glyph(static_cast<std::uint8_t>(text[i]));
            for (int row = 0; row < cell_height; ++row)
                for (int column = 0; column < cell_width; ++column)
                    if (shape[row * cell_width + column] != 0)
                        points.push_back({static_cast<short>(x + static_cast<int>(i) * cell_width + column),
                                          static_cast<short>(y + row)});
        }
        if (!points.empty())
            XDrawPoints(display_, w, gc_, points.data(), static_cast<int>(points.size()), CoordModeOrigin);
    }

    void redraw(Window w) {
        for (const label& l : labels_)
            if (l.window == w) draw_text(w, 0, 0, l.text);
        for (std::size_t i = 0; i < buttons_.size(); ++i) {
            const button& b = buttons_[i];
            if (b.window != w) continue;
            XClearWindow(display_, w);
            draw_text(w, (button_width - text_width(b.label)) / 2, (button_height - cell_height) / 2, b.label);
            if (i == focused_) XDrawRectangle(display_, w, gc_, 2, 2, button_width - 5, button_height - 5);
        }
        XFlush(display_);
    }

    void move_focus() {
        focused_ = (focused_ + 1) % buttons_.size();
        for (const button& b : buttons_) redraw(b.window);
    }

    std::optional<box_answer> key(XKeyEvent event) {
        KeySym symbol = NoSymbol;
        char text[8];
        XLookupString(&event, text, sizeof text, &symbol, nullptr);
        const bool question = kind_ == box_buttons::yes_no;
        switch (symbol) {
            case XK_Return:
            case XK_KP_Enter:
            case XK_space: return buttons_[focused_].answer;
            case XK_Tab:
            case XK_ISO_Left_Tab: move_focus(); break;
            case XK_Escape: return question ? box_answer::no : box_answer::ok;
            case XK_y:
            case XK_Y:
                if (question) return box_answer::yes;
                break;
            case XK_n:
            case XK_N:
                if (question) return box_answer::no;
                break;
            default: break;
        }
        return std::nullopt;
    }

    Display* display_;
    box_buttons kind_;
    unsigned long black_ = 0;
    unsigned long white_ = 0;
    Window top_ = 0;
    GC gc_{};
    Atom wm_delete_ = 0;
    std::vector<label> labels_;
    std::vector<button> buttons_;
    std::size_t focused_ = 0;
    Window pressed_ = 0;
    bool had_owner_focus_ = false;
};

box_answer answer_when_stopped(box_buttons buttons) {
    return buttons == box_buttons::ok ? box_answer::ok : box_answer::no;
}

} // namespace

void set_message_box_owner(Window window) { owner_window.store(window); }

box_answer show_message_box(const std::string& caption, const std::string& text, box_buttons buttons) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
        return answer_when_stopped(buttons);
    }
    std::optional<box_answer> answer;
    bool restore_focus = false;
    {
        box_window box(display, caption, text, buttons);
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        while (!answer) {
            while (!answer && XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                answer = box.handle(event);
            }
            if (answer) break;
            if (flags().stop_requested.load() != 0) {
                answer = answer_when_stopped(buttons);
                break;
            }
            poll(&connection, 1, poll_ms);
        }
        restore_focus = box.had_owner_focus();
    }
    if (restore_focus) XSetInputFocus(display, owner_window.load(), RevertToParent, CurrentTime);
    XCloseDisplay(display);
    return *answer;
}

} // namespace platform
