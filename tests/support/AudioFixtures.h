#pragma once
#include <string>

// Writes a stereo 44.1 kHz 16-bit sine tone as WAV, then encodes it to MP3 with
// the lame program (which writes the LAME/Info tag, so decoding gives back
// exactly the frames written; without `infoTag` it writes no tag, constant bit
// rate, so the file is nothing but frames). Returns false when either step fails.
bool makeToneMp3(const std::string& mp3Path, int frames, bool infoTag = true);
