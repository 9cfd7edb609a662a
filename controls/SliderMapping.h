// Where the seek slider's thumb sits for a position, and back.
//
// The thumb's centre travels from marginLeft + thumbWidth / 2 over
// span = width - marginRight - thumbWidth - marginLeft pixels. Both
// directions go through a fraction in double precision, division first and
// then multiplication, and truncate toward zero: that order decides which
// pixel a position lands on (range 49 over span 49 puts position 1 at
// offset 0), so it must not be rearranged.
#pragma once

struct SliderGeometry {
    int width = 0;
    int thumbWidth = 0;
    int marginLeft = 0;
    int marginRight = 0;
    int rangeMin = 0;
    int rangeMax = 100;

    int Span() const { return width - marginRight - thumbWidth - marginLeft; }
};

// x of the thumb's centre. An empty range (a movie of 0 frames) keeps the
// thumb at the left end.
int PositionToPixel(const SliderGeometry& geometry, int pos);
// The position whose thumb centre is at x. A track no wider than the thumb
// and its margins has no travel: every x gives the minimum.
int PixelToPosition(const SliderGeometry& geometry, int pixel);
