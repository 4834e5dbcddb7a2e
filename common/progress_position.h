#ifndef COMMON_PROGRESS_POSITION_H
#define COMMON_PROGRESS_POSITION_H

// The progress bars of the setup engines and the extraction run from 0 to 100.
constexpr int kProgressRange = 100;

// Integer part of done * 100 / total, kept within 0..100: the install total
// comes from the script and the bytes really extracted may differ from it, and
// an empty total (nothing to do) must not divide by zero.
int ProgressPosition(double done, double total);

#endif
