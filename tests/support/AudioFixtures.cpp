#include "support/AudioFixtures.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "support/TestPaths.h"

namespace {

void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back((char)((v >> (8 * i)) & 0xff));
}
void put16(std::string& s, uint16_t v) {
    s.push_back((char)(v & 0xff));
    s.push_back((char)(v >> 8));
}

} // namespace

bool makeToneMp3(const std::string& mp3Path, int frames, bool infoTag) {
    const uint32_t rate = 44100, channels = 2, dataBytes = (uint32_t)frames * channels * 2;
    std::string wav = "RIFF";
    put32(wav, 36 + dataBytes);
    wav += "WAVEfmt ";
    put32(wav, 16);
    put16(wav, 1);
    put16(wav, channels);
    put32(wav, rate);
    put32(wav, rate * channels * 2);
    put16(wav, channels * 2);
    put16(wav, 16);
    wav += "data";
    put32(wav, dataBytes);
    for (int i = 0; i < frames; ++i) {
        int16_t v = (int16_t)(8000 * std::sin(2 * M_PI * 440.0 * i / rate));
        put16(wav, (uint16_t)v);
        put16(wav, (uint16_t)v);
    }
    std::string wavPath = mp3Path + ".wav";
    if (!writeFile(wavPath, wav))
        return false;
    return runCommand(std::string("lame --quiet -b 192 ") + (infoTag ? "" : "-t ") + "'" + wavPath + "' '" +
                      mp3Path + "'") == 0;
}
