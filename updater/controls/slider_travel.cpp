#include "updater/controls/slider_travel.h"

namespace {

long double Span(const SliderTravel &t) {
    return static_cast<long double>(t.maximum) - static_cast<long double>(t.minimum);
}

int Room(const SliderTravel &t) { return t.length - t.endMargin - t.thumb - t.startMargin; }

}  // namespace

bool SliderTravel::Movable() const { return maximum > minimum && Room(*this) > 0; }

int SliderTravel::CentreOf(int position) const {
    if (!Movable()) return startMargin + thumb / 2;
    const long double share = (static_cast<long double>(position) - minimum) / Span(*this);
    return startMargin + static_cast<int>(Room(*this) * share) + thumb / 2;
}

int SliderTravel::PositionAt(int centre) const {
    if (!Movable()) return minimum;
    const long double share =
        static_cast<long double>(centre - thumb / 2 - startMargin) / Room(*this);
    return static_cast<int>(share * Span(*this) + minimum);
}

int SliderTravel::ClampCentre(int centre) const {
    const int low = startMargin + thumb / 2;
    const int high = length - thumb / 2 - endMargin;
    if (centre > high) centre = high;
    if (centre < low) centre = low;
    return centre;
}

int SliderTravel::ClampPosition(int position) const {
    if (position > maximum) position = maximum;
    if (position < minimum) position = minimum;
    return position;
}

int SliderKeyTarget(SliderKey key, int position, int page, int minimum, int maximum) {
    // In 64 bits: a step past the ends of int must not wrap before SetPos limits it.
    long long target = position;
    switch (key) {
        case SliderKey::PageUp: target -= page; break;
        case SliderKey::PageDown: target += page; break;
        case SliderKey::End: target = maximum; break;
        case SliderKey::Home: target = minimum; break;
        case SliderKey::Forward: target += 1; break;
        case SliderKey::Back: target -= 1; break;
    }
    if (target > maximum) target = maximum;
    if (target < minimum) target = minimum;
    return static_cast<int>(target);
}
