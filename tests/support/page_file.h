// A compact text file of a page's colour indices: the width and height, then
// runs of "colour count", so a golden page can be kept under tests/ and
// compared pixel for pixel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct page_pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

bool save_page_runs(const std::string& path, const page_pixels& page);
std::optional<page_pixels> load_page_runs(const std::string& path);

// A picture of the page for looking at by eye (binary PPM, palette colours).
bool save_page_ppm(const std::string& path, const page_pixels& page);

// The directory that holds the tests' data files.
std::string test_data_dir();

} // namespace testing_support
