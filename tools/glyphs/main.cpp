// velm_glyphs: draws the show's glyph sheet and writes it as a one-bit
// portable bitmap.
//
//   velm_glyphs SHEET.pbm                    the sheet itself
//   velm_glyphs --sample OUT.pgm LINE...     the lines set in the font, white
//                                            on black, for looking at the art
// A line of the sample may give codes as "\NNN" (decimal).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "img/img.h"
#include "tools/common/files.h"
#include "tools/glyphs/sheet.h"

namespace {
[[maybe_unused]] const IDENT ident = {"GLYPHGEN", "20261208", "Tordeval", "C++     ", "CODE    "};

// Codes of one sample line; "\NNN" stands for a decimal code.
std::vector<int> sampleCodes(const std::string& line) {
    std::vector<int> codes;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] >= '0' && line[i + 1] <= '9') {
            int code = 0;
            while (i + 1 < line.size() && line[i + 1] >= '0' && line[i + 1] <= '9' && code < 1000) {
                code = code * 10 + (line[++i] - '0');
            }
            codes.push_back(code);
        } else {
            codes.push_back(static_cast<unsigned char>(line[i]));
        }
    }
    return codes;
}

// The lines set in the font as an 8-bit grey map, one cell per code.
std::string renderSample(const SHEET& sheet, const std::vector<std::string>& lines) {
    std::vector<std::vector<int>> rows;
    std::size_t longest = 1;
    for (const std::string& line : lines) {
        rows.push_back(sampleCodes(line));
        longest = std::max(longest, rows.back().size());
    }
    const int width = static_cast<int>(longest) * cellWidth;
    const int height = static_cast<int>(rows.size()) * cellHeight;
    std::string out = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y) {
        const std::vector<int>& codes = rows[static_cast<std::size_t>(y / cellHeight)];
        for (int x = 0; x < width; ++x) {
            const std::size_t index = static_cast<std::size_t>(x / cellWidth);
            const bool ink = index < codes.size() && SHEETInkAt(sheet, codes[index], x % cellWidth, y % cellHeight);
            out += static_cast<char>(ink ? 255 : 0);
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    SHEET sheet;
    SHEETDrawAscii(sheet);
    SHEETDrawSymbols(sheet);
    if (!sheet.error.empty()) {
        std::fprintf(stderr, "velm_glyphs: %s\n", sheet.error.c_str());
        return 1;
    }
    if (argc == 2) {
        return TOOLWriteFile(argv[1], SHEETToPBM(sheet)) ? 0 : 1;
    }
    if (argc >= 3 && std::string(argv[1]) == "--sample") {
        const std::vector<std::string> lines(argv + 3, argv + argc);
        return TOOLWriteFile(argv[2], renderSample(sheet, lines)) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: velm_glyphs SHEET.pbm | velm_glyphs --sample OUT.pgm LINE...\n");
    return 2;
}
