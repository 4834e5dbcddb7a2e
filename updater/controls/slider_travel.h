#ifndef UPDATER_CONTROLS_SLIDER_TRAVEL_H
#define UPDATER_CONTROLS_SLIDER_TRAVEL_H

// The arithmetic of a bitmap slider along its travel (x for a horizontal
// slider, y for a vertical one): where the thumb's centre lies for a position
// and which position a centre pixel stands for.
struct SliderTravel {
    int minimum = 0;
    int maximum = 100;
    int startMargin = 0;  // left (or top)
    int endMargin = 0;    // right (or bottom)
    int length = 0;       // the control's width (or height)
    int thumb = 0;        // the thumb's width (or height)

    // An empty range (maximum <= minimum, as while a download's size is
    // unknown) or a travel no longer than the thumb has nowhere to move: the
    // thumb stays at the start and every pixel stands for the minimum.
    bool Movable() const;
    int CentreOf(int position) const;
    int PositionAt(int centre) const;
    // The centre limited to [start + thumb / 2, length - thumb / 2 - end].
    int ClampCentre(int centre) const;
    // `position` limited first to at most the maximum, then to at least the minimum.
    int ClampPosition(int position) const;
};

// The keys a slider steps with; anything else is not a step.
enum class SliderKey { PageUp, PageDown, End, Home, Forward, Back };

// The position a key leads to (unclamped: SetPos limits it).
int SliderKeyTarget(SliderKey key, int position, int page, int minimum, int maximum);

#endif
