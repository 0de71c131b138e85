#include "control_values.h"

#include <cerrno>
#include <cstdlib>

namespace setting {

int32_t ClampToRange(int64_t value, const ValueRange& range) {
    if (value < range.min) return range.min;
    if (value > range.max) return range.max;
    return static_cast<int32_t>(value);
}

int32_t SpinEditValue(const std::string& text, const ValueRange& range) { return HeldSpinValue(text, range, range.min); }

int32_t HeldSpinValue(const std::string& text, const ValueRange& range, int32_t otherwise) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, 10);
    if (end == begin || *end != '\0') return otherwise;
    if (errno == ERANGE) return value < 0 ? range.min : range.max;
    return ClampToRange(value, range);
}

int64_t ZoomFactorOfBlock(int32_t targetWidth, int32_t sourceWidth) {
    if (sourceWidth == 0) return kZoomFactorRange.min;
    // In 64 bits, so that the most negative width over -1 is a number too.
    return static_cast<int64_t>(targetWidth) / sourceWidth;
}

int32_t WrappingProduct(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

int32_t WheelLinesFromPosition(int16_t position) { return position; }

int16_t PositionFromWheelLines(int32_t wheelLines) {
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(wheelLines) & 0xFFFF));
}

int32_t MirroredSliderValue(int32_t position, const ValueRange& range) { return range.min + range.max - position; }

}  // namespace setting
