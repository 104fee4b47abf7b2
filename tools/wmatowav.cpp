// wmatowav INPUT OUTPUT: writes the audio of any file ffmpeg reads (WMA, DSS,
// RealAudio ...) as a 16-bit PCM WAV. The editor runs it to load the files
// it does not decode itself. It becomes ffmpeg, so its exit status is
// ffmpeg's; 127 when ffmpeg cannot be started, 2 for a wrong call.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 3 || !*argv[1] || !*argv[2]) {
        std::fprintf(stderr, "usage: wmatowav INPUT OUTPUT.wav\n");
        return 2;
    }
    // "file:" keeps ffmpeg from reading a name as an option, a protocol
    // ("a:b.wma") or standard input ("-").
    std::string strIn = std::string("file:") + argv[1];
    std::string strOut = std::string("file:") + argv[2];
    const char* const args[] = { "ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
        "-i", strIn.c_str(), "-vn", "-map_metadata", "-1", "-c:a", "pcm_s16le", "-f", "wav",
        strOut.c_str(), nullptr };
    ::execvp(args[0], const_cast<char* const*>(args));
    std::fprintf(stderr, "wmatowav: cannot start ffmpeg: %s\n", std::strerror(errno));
    return 127;
}
