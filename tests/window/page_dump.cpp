// Runs a routine headlessly with the keys given on the command line and
// writes the page it leaves as colour indices: a binary PGM (P5) with maximum
// value 15, one byte per pixel. Prints where the run ended ("run_end ..."),
// the exit code and the boxes shown.
//
// With --palette alone, prints the page's 16 colours instead, one RRGGBB
// per line, so that screenshots can be mapped back to colour indices.
//
// Keys: "text:<characters>" (\r Enter, \b Backspace, \t Tab), "pause",
// "break", "caps" (Caps Lock turned on), "shift_tab", "box:yes", "box:no"
// (answers for the next box).
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/headless/headless_runtime.h"
#include "platform/keys/keyboard.h"
#include "platform/runtime/flags.h"
#include "platform/screen/page.h"
#include "probe_routines.h"

using namespace platform;

namespace {

// "\r" is Enter, "\b" Backspace and "\t" Tab; any other character stands
// for itself.
std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const char escaped = next == 'r' ? '\r' : next == 'b' ? '\b' : next == 't' ? '\t' : '\0';
        if (text[i] == '\\' && escaped != '\0') {
            out.push_back(escaped);
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool add_token(std::string_view token, run_options& options) {
    const key_event shift = key_event::modifier(modifier_key::left_shift);
    const key_event ctrl = key_event::modifier(modifier_key::left_ctrl);
    if (token.starts_with("text:")) {
        options.keys = options.keys + typed(unescape(token.substr(5)));
    } else if (token == "pause") {
        options.keys.push_back(tap(key_event::pause()));
    } else if (token == "break") {
        options.keys = options.keys + key_script{press(ctrl), tap(key_event::break_key()), release(ctrl)};
    } else if (token == "caps") {
        options.keys.push_back(press(key_event::lock(lock_key::caps_lock)));
    } else if (token == "shift_tab") {
        options.keys = options.keys + key_script{press(shift), tap(key_event::character(9)), release(shift)};
    } else if (token == "box:yes") {
        options.box_answers.push_back(box_answer::yes);
    } else if (token == "box:no") {
        options.box_answers.push_back(box_answer::no);
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--palette") {
        for (int i = 0; i < page_colours; ++i) std::printf("%06X\n", static_cast<unsigned>(default_palette[i]));
        return 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: page_dump winding|keys|error OUT.pgm [KEY...]\n       page_dump --palette\n");
        return 2;
    }
    const std::function<void()> routine = probes::routine_named(argv[1]);
    if (!routine) {
        std::fprintf(stderr, "page_dump: unknown routine %s\n", argv[1]);
        return 2;
    }
    run_options options;
    // The window tests' largest diagram (2p = 2, z = 2,000,000, m = 2) draws
    // about 94 million lines.
    options.line_limit = 400'000'000;
    for (int i = 3; i < argc; ++i) {
        if (!add_token(argv[i], options)) {
            std::fprintf(stderr, "page_dump: unknown key %s\n", argv[i]);
            return 2;
        }
    }
    const run_result result = run_headless(routine, options);
    const drawing_page& page = active_page();
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    std::fprintf(out, "P5\n%d %d\n15\n", page.width, page.height);
    std::fwrite(page.pixels.data(), 1, page.pixels.size(), out);
    std::fclose(out);
    std::printf("run_end %s\nexit_code %d\nprogram_finished %d\nkeys_left %zu\n",
                std::string(to_string(result.end)).c_str(), result.exit_code, flags().program_finished.load(),
                result.keys_left);
    for (const shown_box& box : result.boxes) std::printf("box %s\n", box.caption.c_str());
    return 0;
}
