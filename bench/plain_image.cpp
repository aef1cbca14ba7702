// plain_image EXECUTABLE LANG VERSION OUTPUT: the DataFlash image of one group
// of the package appended to EXECUTABLE, written to OUTPUT; the plain program
// that `quelnetctl package image` is measured against.
#include "PlainImage.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: plain_image EXECUTABLE LANG VERSION OUTPUT\n");
        return 2;
    }
    static unsigned char image[plain::ImageSize];
    long free = 0;
    if (!plain::BuildImage(argv[1], argv[2], argv[3], image, free) ||
        !plain::WriteFile(argv[4], image, sizeof image)) {
        std::fprintf(stderr, "plain_image: no image\n");
        return 1;
    }
    std::printf("%ld\n", free);
    return 0;
}
