#include "picture_text.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>

namespace krd {

namespace {

struct Line {
    int Number;
    std::vector<std::string> Words;
};

[[noreturn]] void Fail(const Line& line, const std::string& what) {
    throw std::runtime_error("line " + std::to_string(line.Number) + ": " + what);
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        if (word == "#" || (word[0] == '#' && word.size() != 7)) break;
        words.push_back(word);
    }
    return words;
}

int32_t Number(const Line& line, size_t index) {
    if (index >= line.Words.size()) Fail(line, "a number is missing");
    const std::string& word = line.Words[index];
    char* end = nullptr;
    const long value = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0' || value < -100000 || value > 100000) Fail(line, "not a number: " + word);
    return static_cast<int32_t>(value);
}

uint32_t Colour(const Line& line, size_t index) {
    if (index >= line.Words.size()) Fail(line, "a colour is missing");
    const std::string& word = line.Words[index];
    char* end = nullptr;
    const unsigned long value = word.size() == 7 && word[0] == '#' ? std::strtoul(word.c_str() + 1, &end, 16) : 0;
    if (!end || *end != '\0') Fail(line, "not a colour #RRGGBB: " + word);
    return static_cast<uint32_t>(value);
}

// The pixels a shape covers, with how it is painted.
struct Shape {
    std::vector<bool> Mask;
    bool HasFill = false;
    uint32_t Fill = 0;
    bool HasEdge = false;
    uint32_t Edge = 0;
};

bool InsideEllipse(double px, double py, const Rect& box) {
    const double cx = (box.Left + box.Right) / 2.0;
    const double cy = (box.Top + box.Bottom) / 2.0;
    const double rx = (box.Right - box.Left) / 2.0;
    const double ry = (box.Bottom - box.Top) / 2.0;
    const double dx = (px - cx) / rx;
    const double dy = (py - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

bool InsideRoundRect(double px, double py, const Rect& box, double radius) {
    if (px < box.Left || px > box.Right || py < box.Top || py > box.Bottom) return false;
    const double cx = std::clamp(px, box.Left + radius, box.Right - radius);
    const double cy = std::clamp(py, box.Top + radius, box.Bottom - radius);
    return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
}

bool InsideRect(double px, double py, const Rect& box) {
    return px >= box.Left && px < box.Right && py >= box.Top && py < box.Bottom;
}

// Reads "KIND coordinates [options]" from word index on.
Shape ReadShape(const Line& line, size_t index, int32_t width, int32_t height) {
    if (index >= line.Words.size()) Fail(line, "a shape is missing");
    const std::string kind = line.Words[index];
    const Rect box{Number(line, index + 1), Number(line, index + 2), Number(line, index + 3),
                   Number(line, index + 4)};
    if (box.Right <= box.Left || box.Bottom <= box.Top) Fail(line, "an empty box");
    size_t next = index + 5;
    double radius = 0;
    if (kind == "roundrect") {
        radius = Number(line, next++);
    } else if (kind != "rect" && kind != "ellipse") {
        Fail(line, "unknown shape " + kind);
    }
    Shape shape;
    Rect clip{0, 0, width, height};
    while (next < line.Words.size()) {
        const std::string& option = line.Words[next];
        if (option == "fill") {
            shape.HasFill = true;
            shape.Fill = Colour(line, next + 1);
            next += 2;
        } else if (option == "edge") {
            shape.HasEdge = true;
            shape.Edge = Colour(line, next + 1);
            next += 2;
        } else if (option == "clip") {
            clip = {Number(line, next + 1), Number(line, next + 2), Number(line, next + 3), Number(line, next + 4)};
            next += 5;
        } else {
            Fail(line, "unknown option " + option);
        }
    }
    if (!shape.HasFill && !shape.HasEdge) Fail(line, "a shape needs a fill or an edge colour");
    shape.Mask.assign(static_cast<size_t>(width) * height, false);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            bool inside = kind == "ellipse"     ? InsideEllipse(px, py, box)
                          : kind == "roundrect" ? InsideRoundRect(px, py, box, radius)
                                                : InsideRect(px, py, box);
            shape.Mask[static_cast<size_t>(y) * width + x] = inside && InsideRect(px, py, clip);
        }
    }
    return shape;
}

bool InMask(const std::vector<bool>& mask, int32_t width, int32_t height, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < width && y < height && mask[static_cast<size_t>(y) * width + x];
}

void Paint(Raster& raster, const std::vector<bool>& mask, bool hasFill, uint32_t fill, bool hasEdge, uint32_t edge) {
    const int32_t w = raster.Width;
    const int32_t h = raster.Height;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (!InMask(mask, w, h, x, y)) continue;
            const bool border = !InMask(mask, w, h, x - 1, y) || !InMask(mask, w, h, x + 1, y) ||
                                !InMask(mask, w, h, x, y - 1) || !InMask(mask, w, h, x, y + 1);
            if (hasEdge && border) {
                raster.At(x, y) = edge;
            } else if (hasFill) {
                raster.At(x, y) = fill;
            }
        }
    }
}

void DrawLine(Raster& raster, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    const int32_t dx = std::abs(x1 - x0);
    const int32_t dy = -std::abs(y1 - y0);
    const int32_t sx = x0 < x1 ? 1 : -1;
    const int32_t sy = y0 < y1 ? 1 : -1;
    int32_t error = dx + dy;
    for (;;) {
        if (x0 >= 0 && y0 >= 0 && x0 < raster.Width && y0 < raster.Height) raster.At(x0, y0) = colour;
        if (x0 == x1 && y0 == y1) break;
        const int32_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

RegionSpec RegionOfMask(uint32_t id, int32_t width, int32_t height, const std::vector<bool>& mask) {
    RegionSpec region;
    region.Id = id;
    region.Outline = OutlineOfMask(width, height, mask);
    if (region.Outline.empty()) return region;
    Rect bounds = region.Outline.front();
    for (const Rect& r : region.Outline) {
        bounds = {std::min(bounds.Left, r.Left), std::min(bounds.Top, r.Top), std::max(bounds.Right, r.Right),
                  std::max(bounds.Bottom, r.Bottom)};
    }
    region.Left = bounds.Left;
    region.Top = bounds.Top;
    region.Width = bounds.Right - bounds.Left;
    region.Height = bounds.Bottom - bounds.Top;
    return region;
}

class DescriptionReader {
public:
    FileSpec Read(std::istream& text) {
        std::vector<Line> lines;
        int number = 0;
        for (std::string raw; std::getline(text, raw);) {
            ++number;
            Line line{number, SplitWords(raw)};
            if (!line.Words.empty()) lines.push_back(std::move(line));
        }
        for (size_t i = 0; i < lines.size(); ++i) i = TopLevel(lines, i);
        return std::move(file_);
    }

private:
    // Handles the top-level line at index i; returns the index of its last line.
    size_t TopLevel(const std::vector<Line>& lines, size_t i) {
        const Line& line = lines[i];
        const std::string& keyword = line.Words[0];
        if (keyword == "file") {
            file_.Name = QuotedText(line);
        } else if (keyword == "stamp") {
            file_.TimeStamp = Number(line, 1);
        } else if (keyword == "lit") {
            lit_ = Colour(line, 1);
        } else if (keyword == "define") {
            if (line.Words.size() != 2) Fail(line, "define NAME");
            std::vector<Line>& body = definitions_[line.Words[1]];
            while (++i < lines.size() && lines[i].Words[0] != "end") body.push_back(lines[i]);
            if (i == lines.size()) Fail(line, "define without end");
        } else if (keyword == "picture") {
            const int32_t width = Number(line, 2);
            const int32_t height = Number(line, 3);
            if (line.Words.size() != 4 || width < 1 || height < 1) Fail(line, "picture NAME WIDTH HEIGHT");
            file_.Objects.push_back({line.Words[1], Raster(width, height), Raster(width, height), {}});
        } else if (file_.Objects.empty()) {
            Fail(line, "unknown line " + keyword);
        } else {
            Draw(file_.Objects.back(), line, 0);
        }
        return i;
    }

    static std::string QuotedText(const Line& line) {
        std::string text;
        for (size_t i = 1; i < line.Words.size(); ++i) text += (i > 1 ? " " : "") + line.Words[i];
        if (text.size() < 2 || text.front() != '"' || text.back() != '"') Fail(line, "file \"NAME\"");
        return text.substr(1, text.size() - 2);
    }

    void Draw(ObjectSpec& object, const Line& line, int depth) {
        const std::string& keyword = line.Words[0];
        const int32_t w = object.Plain.Width;
        const int32_t h = object.Plain.Height;
        if (keyword == "fill") {
            const uint32_t colour = Colour(line, 1);
            std::fill(object.Plain.Pixels.begin(), object.Plain.Pixels.end(), colour);
            std::fill(object.Highlight.Pixels.begin(), object.Highlight.Pixels.end(), colour);
        } else if (keyword == "use") {
            const auto found = definitions_.find(line.Words.size() == 2 ? line.Words[1] : "");
            if (found == definitions_.end() || depth > 8) Fail(line, "use of an unknown definition");
            for (const Line& inner : found->second) Draw(object, inner, depth + 1);
        } else if (keyword == "line") {
            const uint32_t colour = Colour(line, 5);
            for (Raster* raster : {&object.Plain, &object.Highlight}) {
                DrawLine(*raster, Number(line, 1), Number(line, 2), Number(line, 3), Number(line, 4), colour);
            }
        } else if (keyword == "region") {
            const uint32_t id = static_cast<uint32_t>(Number(line, 1));
            const Shape shape = ReadShape(line, 2, w, h);
            Paint(object.Plain, shape.Mask, shape.HasFill, shape.Fill, shape.HasEdge, shape.Edge);
            Paint(object.Highlight, shape.Mask, true, lit_, shape.HasEdge, shape.Edge);
            object.Regions.push_back(RegionOfMask(id, w, h, shape.Mask));
            if (object.Regions.back().Outline.empty()) Fail(line, "a region without pixels");
        } else {
            const Shape shape = ReadShape(line, 0, w, h);
            for (Raster* raster : {&object.Plain, &object.Highlight}) {
                Paint(*raster, shape.Mask, shape.HasFill, shape.Fill, shape.HasEdge, shape.Edge);
            }
        }
    }

    FileSpec file_;
    uint32_t lit_ = 0xFF8000;
    std::map<std::string, std::vector<Line>> definitions_;
};

}  // namespace

FileSpec ReadPictureDescription(std::istream& text) { return DescriptionReader().Read(text); }

}  // namespace krd
