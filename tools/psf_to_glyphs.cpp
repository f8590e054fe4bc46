// Converts a PSF1 console font of 8 x 16 glyphs (read from standard input,
// already decompressed) into the C++ source of the one-byte-per-pixel glyph
// table. Run at build time, so the font's bitmap is never kept in the sources.
#include <cstdio>
#include <cstdlib>
#include <vector>

int main() {
    std::vector<unsigned char> data;
    int c;
    while ((c = std::getchar()) != EOF) data.push_back(static_cast<unsigned char>(c));
    if (data.size() < 4 || data[0] != 0x36 || data[1] != 0x04) {
        std::fprintf(stderr, "psf_to_glyphs: input is not a PSF1 font\n");
        return 1;
    }
    const int height = data[3];
    if (height != 16 || data.size() < 4 + 256u * 16u) {
        std::fprintf(stderr, "psf_to_glyphs: expected 256 glyphs of 16 rows\n");
        return 1;
    }
    std::printf("// Generated from the system's VGA console font at build time; do not edit.\n");
    std::printf("#include \"platform/screen/glyphs.h\"\n\nnamespace platform {\n\n");
    std::printf("const std::array<std::uint8_t, 256 * glyph_bytes> glyph_table_8x16 = {\n");
    for (int g = 0; g < 256; ++g) {
        for (int r = 0; r < 16; ++r) {
            const unsigned bits = data[4 + g * 16 + r];
            std::printf("   ");
            for (int b = 7; b >= 0; --b) std::printf(" %s,", (bits >> b) & 1 ? "255" : "0");
            std::printf("\n");
        }
    }
    std::printf("};\n\n} // namespace platform\n");
    return 0;
}
