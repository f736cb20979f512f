// nimbrel-store-floor: the least a batch of one store file costs as a whole process, to set beside the
// console tool's configure --all: the file read whole, one flushed copy put in its place, and read again.
#include "Files.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: nimbrel-store-floor FILE [TIMES]\n");
        return 2;
    }
    const int times = argc > 2 ? std::atoi(argv[2]) : 1;
    for (int i = 0; i < times; ++i) {
        std::string bytes;
        std::string again;
        // The same bytes go back: the file is as it was after every round.
        if (!plat::ReadWholeFile(argv[1], bytes) || !plat::ReplaceWholeFile(argv[1], bytes) ||
            !plat::ReadWholeFile(argv[1], again) || again != bytes) {
            std::fprintf(stderr, "nimbrel-store-floor: %s could not be read and replaced\n", argv[1]);
            return 1;
        }
    }
    return 0;
}
