// Drawing on the glyph sheet: pixel access, pen strokes, filled shapes and
// the one-bit file encoding.
#include <cmath>
#include <cstdlib>

#include "img/img.h"
#include "tools/glyphs/sheet.h"

namespace {
[[maybe_unused]] const IDENT ident = {"GLYPHSHT", "20261208", "Tordeval", "C++     ", "CODE    "};
}  // namespace

// ---- Pixels -----------------------------------------------------------------

// Set or clear one pixel of a cell; a pixel outside the cell is an error.
void SHEETSetInk(SHEET& sheet, int code, int column, int row, bool on) {
    if (code < 0 || code >= cellCount || column < 0 ||
        column >= cellWidth || row < 0 || row >= cellHeight) {
        if (sheet.error.empty()) {
            sheet.error = "code " + std::to_string(code) + ": pixel (" + std::to_string(column) +
                          "," + std::to_string(row) + ") lies outside the cell";
        }
        return;
    }
    const int x = (code % cellsPerRow) * cellWidth + column;
    const int y = (code / cellsPerRow) * cellHeight + row;
    sheet.bits[static_cast<std::size_t>(y * sheetWidth + x)] = on ? 1 : 0;
}

// One pixel of a cell, 0 outside it.
bool SHEETInkAt(const SHEET& sheet, int code, int column, int row) {
    if (code < 0 || code >= cellCount || column < 0 ||
        column >= cellWidth || row < 0 || row >= cellHeight) {
        return false;
    }
    const int x = (code % cellsPerRow) * cellWidth + column;
    const int y = (code / cellsPerRow) * cellHeight + row;
    return sheet.bits[static_cast<std::size_t>(y * sheetWidth + x)] != 0;
}

// ---- Strokes ----------------------------------------------------------------

namespace {

void stamp(SHEET& sheet, int code, int x, int y, int pen) {
    for (int j = 0; j < pen; ++j) {
        for (int i = 0; i < pen; ++i) {
            SHEETSetInk(sheet, code, x + i, y + j);
        }
    }
}

// Bresenham line from (x0, y0) to (x1, y1), the pen stamped at every step.
void line(SHEET& sheet, int code, int x0, int y0, int x1, int y1, int pen) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        stamp(sheet, code, x0, y0, pen);
        if (x0 == x1 && y0 == y1) {
            return;
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void skipSpaces(const char*& p) {
    while (*p == ' ') {
        ++p;
    }
}

bool readInt(const char*& p, int& value) {
    char* end = nullptr;
    const long v = std::strtol(p, &end, 10);
    if (end == p || v < -99 || v > 99) {
        return false;
    }
    value = static_cast<int>(v);
    p = end;
    return true;
}

}  // namespace

// Parse and draw a stroke list; a malformed list records an error.
void SHEETDrawStrokes(SHEET& sheet, int code, const char* strokes, int pen, int dx, int dy) {
    const char* p = strokes;
    bool havePrevious = false;
    int px = 0;
    int py = 0;
    for (;;) {
        skipSpaces(p);
        if (*p == '\0') {
            return;
        }
        if (*p == ';') {
            ++p;
            havePrevious = false;
            continue;
        }
        int x = 0;
        int y = 0;
        if (!readInt(p, x) || *p != ',' || !readInt(++p, y)) {
            if (sheet.error.empty()) {
                sheet.error = "code " + std::to_string(code) + ": bad stroke text \"" + strokes + "\"";
            }
            return;
        }
        x += dx;
        y += dy;
        if (havePrevious) {
            line(sheet, code, px, py, x, y, pen);
        } else {
            stamp(sheet, code, x, y, pen);
        }
        px = x;
        py = y;
        havePrevious = true;
    }
}

// ---- Filled shapes ----------------------------------------------------------

// Even-odd fill of a polygon, tested at pixel centres.
void SHEETFillPolygon(SHEET& sheet, int code, const std::vector<SHEETPOINT>& points) {
    const std::size_t n = points.size();
    for (int row = 0; row < cellHeight; ++row) {
        for (int column = 0; column < cellWidth; ++column) {
            const double x = column + 0.5;
            const double y = row + 0.5;
            bool inside = false;
            for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
                const SHEETPOINT& a = points[i];
                const SHEETPOINT& b = points[j];
                if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
                    inside = !inside;
                }
            }
            if (inside) {
                SHEETSetInk(sheet, code, column, row);
            }
        }
    }
}

namespace {

double ellipseDistance(double column, double row, double cx, double cy, double rx, double ry) {
    const double x = (column + 0.5 - cx) / rx;
    const double y = (row + 0.5 - cy) / ry;
    return std::sqrt(x * x + y * y);
}

}  // namespace

// Filled ellipse around (cx, cy).
void SHEETFillEllipse(SHEET& sheet, int code, double cx, double cy, double rx, double ry) {
    for (int row = 0; row < cellHeight; ++row) {
        for (int column = 0; column < cellWidth; ++column) {
            if (ellipseDistance(column, row, cx, cy, rx, ry) <= 1.0) {
                SHEETSetInk(sheet, code, column, row);
            }
        }
    }
}

// Elliptic ring of the given width inside the outline (cx, cy, rx, ry).
void SHEETRingEllipse(SHEET& sheet, int code, double cx, double cy, double rx, double ry, double width) {
    for (int row = 0; row < cellHeight; ++row) {
        for (int column = 0; column < cellWidth; ++column) {
            const bool outer = ellipseDistance(column, row, cx, cy, rx, ry) <= 1.0;
            const bool inner = ellipseDistance(column, row, cx, cy, rx - width, ry - width) <= 1.0;
            if (outer && !inner) {
                SHEETSetInk(sheet, code, column, row);
            }
        }
    }
}

// Solid rectangle in cell coordinates.
void SHEETFillRect(SHEET& sheet, int code, int column, int row, int width, int height) {
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            SHEETSetInk(sheet, code, column + i, row + j);
        }
    }
}

// Pixels whose centres pass the test.
void SHEETFillWhere(SHEET& sheet, int code, const std::function<bool(double, double)>& inside) {
    for (int row = 0; row < cellHeight; ++row) {
        for (int column = 0; column < cellWidth; ++column) {
            if (inside(column + 0.5, row + 0.5)) {
                SHEETSetInk(sheet, code, column, row);
            }
        }
    }
}

// Copy a '#'/'.' drawing into the cell.
void SHEETDrawBitmap(SHEET& sheet, int code, int column, int row, std::initializer_list<const char*> rows) {
    int j = 0;
    for (const char* text : rows) {
        for (int i = 0; text[i] != '\0'; ++i) {
            if (text[i] == '#') {
                SHEETSetInk(sheet, code, column + i, row + j);
            }
        }
        ++j;
    }
}

// ---- Encoding ---------------------------------------------------------------

// P4 with two comment lines; rows packed most significant bit first.
std::string SHEETToPBM(const SHEET& sheet) {
    std::string out = "P4\n";
    out += "# VELM4023 glyph sheet: 15 x 26 cells, 16 per row, baseline at cell row 19\n";
    out += "# drawn by tools/glyphs from its own stroke tables, Tordeval 2026\n";
    out += std::to_string(sheetWidth) + " " + std::to_string(sheetHeight) + "\n";
    const int rowBytes = (sheetWidth + 7) / 8;
    for (int y = 0; y < sheetHeight; ++y) {
        for (int b = 0; b < rowBytes; ++b) {
            unsigned byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = b * 8 + bit;
                if (x < sheetWidth && sheet.bits[static_cast<std::size_t>(y * sheetWidth + x)] != 0) {
                    byte |= 0x80u >> bit;
                }
            }
            out += static_cast<char>(byte);
        }
    }
    return out;
}
