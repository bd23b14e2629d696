#include "FuzzCheck.h"
#include "core/Mp3Decoder.h"

#include <cstdint>

// Any bytes as the music file: decoding fails with a reason or gives whole frames
// of 16-bit PCM in a format the audio output takes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchFile file(".mp3");
    if (!file.write(data, size))
        return 0;
    DecodedAudio audio;
    std::string error;
    if (!decodeMp3File(file.path(), audio, error)) {
        FUZZ_CHECK(!error.empty());
        FUZZ_CHECK(audio.samples.empty());
        return 0;
    }
    FUZZ_CHECK(audio.channels == 1 || audio.channels == 2);
    FUZZ_CHECK(audio.rate >= 8000 && audio.rate <= 48000);
    FUZZ_CHECK(audio.samples.size() % audio.channels == 0);
    FUZZ_CHECK(audio.frames() > 0);
    return 0;
}
