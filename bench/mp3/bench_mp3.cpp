// Decodes an MP3 file with LMP3Source the way the pump does (blocks of 8192
// frames) and prints the seconds taken; --scalar uses the scalar loops.

#include "audio/LMP3Source.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_mp3 file.mp3 [--scalar]\n");
        return 2;
    }
    auto t0 = std::chrono::steady_clock::now();
    auto src = MakeHandle<LMP3Source>(argv[1]);
    if (src->IsError())
        return 1;
    src->SetScalar(argc > 2 && std::strcmp(argv[2], "--scalar") == 0);
    std::vector<int32_t> block(size_t(8192) * size_t(src->GetChannels()));
    int64_t sum = 0;
    while (src->GetPosition() < src->GetLength()) {
        src->Read(block.data(), 8192);
        sum += block[100];
    }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%.3f %d %lld\n", s, src->GetLength(), static_cast<long long>(sum));
    return 0;
}
