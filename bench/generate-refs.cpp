// generate-refs SEED.ref OUT.ref MEGABYTES: writes a large reference file for benchmarks by hand.

#include "RefFileGenerator.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: generate-refs SEED.ref OUT.ref MEGABYTES\n");
        return 2;
    }
    const std::uint64_t mb = std::strtoull(argv[3], nullptr, 10);
    return cvx::bench::GenerateReferenceFile(argv[1], argv[2], mb * 1000 * 1000) ? 0 : 1;
}
