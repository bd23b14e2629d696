#include "tools/synth/AudioFile.h"

#include <cmath>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>

namespace synth {

namespace {

void put16(std::string& s, uint32_t v) {
    s += (char)(v & 0xff);
    s += (char)((v >> 8) & 0xff);
}
void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}

// Single-quotes a path for /bin/sh.
std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

std::vector<int16_t> toPcm16(const std::vector<float>& samples) {
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        long v = std::lround(samples[i] * 32767.0f);
        pcm[i] = (int16_t)(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
    }
    return pcm;
}

std::string wavImage(const std::vector<int16_t>& interleaved, int rate) {
    const uint32_t channels = 2, bytesPerSample = 2;
    uint32_t dataBytes = (uint32_t)(interleaved.size() * bytesPerSample);
    std::string s;
    s.reserve(44 + dataBytes);
    s += "RIFF";
    put32(s, 36 + dataBytes);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1); // PCM
    put16(s, channels);
    put32(s, (uint32_t)rate);
    put32(s, (uint32_t)rate * channels * bytesPerSample);
    put16(s, channels * bytesPerSample);
    put16(s, 16);
    s += "data";
    put32(s, dataBytes);
    for (int16_t v : interleaved)
        put16(s, (uint16_t)v);
    return s;
}

bool writeWavFile(const std::string& path, const std::vector<int16_t>& interleaved, int rate,
                  std::string& error) {
    std::string image = wavImage(interleaved, rate);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot write " + path;
        return false;
    }
    bool ok = fwrite(image.data(), 1, image.size(), f) == image.size();
    ok = fclose(f) == 0 && ok;
    if (!ok)
        error = "cannot write " + path;
    return ok;
}

bool encodeMp3File(const std::string& path, const std::vector<int16_t>& interleaved, int rate, int kbps,
                   const std::string& lame, std::string& error) {
    // -b with --cbr: constant bit rate; -m j: joint stereo; --quiet: our own progress only.
    std::string command =
        shellQuote(lame) + " --quiet --cbr -b " + std::to_string(kbps) + " -m j -q 2 - " + shellQuote(path);
    FILE* pipe = popen(command.c_str(), "w");
    if (!pipe) {
        error = "cannot start " + lame;
        return false;
    }
    std::string image = wavImage(interleaved, rate);
    // A lame that exits early must give an error message, not a SIGPIPE death.
    void (*previous)(int) = signal(SIGPIPE, SIG_IGN);
    bool written = fwrite(image.data(), 1, image.size(), pipe) == image.size();
    int status = pclose(pipe);
    signal(SIGPIPE, previous);
    if (status != 0 || !written) {
        int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        error = lame + " failed (exit status " + std::to_string(code) + ")";
        return false;
    }
    return true;
}

} // namespace synth
