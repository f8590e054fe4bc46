#include "support/page_file.h"

#include <cstdio>
#include <fstream>

#include "platform/screen/page.h"

namespace testing_support {

bool save_page_runs(const std::string& path, const page_pixels& page) {
    std::ofstream out(path);
    if (!out) return false;
    out << page.width << ' ' << page.height << '\n';
    std::size_t i = 0;
    while (i < page.pixels.size()) {
        std::size_t n = 1;
        while (i + n < page.pixels.size() && page.pixels[i + n] == page.pixels[i]) ++n;
        out << static_cast<int>(page.pixels[i]) << ' ' << n << '\n';
        i += n;
    }
    return static_cast<bool>(out);
}

std::optional<page_pixels> load_page_runs(const std::string& path) {
    std::ifstream in(path);
    page_pixels page;
    if (!(in >> page.width >> page.height) || page.width <= 0 || page.height <= 0) return std::nullopt;
    const std::size_t total = static_cast<std::size_t>(page.width) * page.height;
    int value = 0;
    std::size_t count = 0;
    while (in >> value >> count) {
        if (value < 0 || value > 255 || page.pixels.size() + count > total) return std::nullopt;
        page.pixels.insert(page.pixels.end(), count, static_cast<std::uint8_t>(value));
    }
    if (page.pixels.size() != total) return std::nullopt;
    return page;
}

bool save_page_ppm(const std::string& path, const page_pixels& page) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", page.width, page.height);
    for (std::uint8_t p : page.pixels) {
        const std::uint32_t rgb = platform::default_palette[p];
        const unsigned char bytes[3] = {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                                        static_cast<unsigned char>(rgb)};
        std::fwrite(bytes, 1, 3, f);
    }
    return std::fclose(f) == 0;
}

std::string test_data_dir() { return TEST_DATA_DIR; }

} // namespace testing_support
