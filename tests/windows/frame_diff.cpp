// frame-diff A.png B.png MEAN LEVEL SHARE: compares two frames channel by channel and
// prints the mean difference, the largest one and the share of pixels that differ by more
// than LEVEL. Exits 0 when the sizes agree, the mean is at most MEAN and that share at
// most SHARE; 1 otherwise; 2 when a file cannot be read.
#include <cstdio>
#include <cstdlib>

#include "support/captured_frames.h"

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: frame-diff A.png B.png MEAN LEVEL SHARE\n");
        return 2;
    }
    CapturedPicture a, b;
    if (!ReadCapturedPicture(argv[1], &a) || !ReadCapturedPicture(argv[2], &b)) {
        std::fprintf(stderr, "frame-diff: cannot read %s or %s\n", argv[1], argv[2]);
        return 2;
    }
    if (a.width != b.width || a.height != b.height) {
        std::printf("sizes differ: %dx%d and %dx%d\n", a.width, a.height, b.width, b.height);
        return 1;
    }
    const int level = std::atoi(argv[4]);
    double sum = 0;
    int largest = 0;
    long beyond = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            int pixelLargest = 0;
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(a.At(x, y)[c] - b.At(x, y)[c]);
                sum += d;
                if (d > pixelLargest) pixelLargest = d;
            }
            if (pixelLargest > largest) largest = pixelLargest;
            if (pixelLargest > level) ++beyond;
        }
    const double pixels = static_cast<double>(a.width) * a.height;
    const double mean = sum / (pixels * 3);
    const double share = beyond / pixels;
    std::printf("mean %.4f, largest %d, pixels beyond %d: %ld (%.4f%%)\n", mean, largest, level, beyond, share * 100);
    return mean <= std::atof(argv[3]) && share <= std::atof(argv[5]) ? 0 : 1;
}
