#include "common/progress_position.h"

int ProgressPosition(double done, double total) {
    if (!(total > 0) || !(done > 0)) return 0;
    double position = done * kProgressRange / total;
    if (!(position < kProgressRange)) return kProgressRange;
    return static_cast<int>(position);
}
