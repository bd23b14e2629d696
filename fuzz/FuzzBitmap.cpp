#include "FuzzCheck.h"
#include "core/ImageDecoder.h"

#include <cstdint>

// A few bytes of JPEG or PNG may claim a large picture, which then decodes from
// nothing, slowly: the runs stay quick below this many pixels.
const long long kFuzzMaxPixels = 1 << 20;

// Any bytes, as a bitmap or any other image format the texture loader takes: the
// decoders must refuse or deliver rows the texture upload can take whole, without
// reading outside the input (libFuzzer's copy of it is exactly sized).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedBitmap bitmap;
    if (!decodeImage(data, size, &bitmap, kFuzzMaxPixels))
        return 0;
    FUZZ_CHECK(bitmap.width > 0 && bitmap.width <= kMaxBitmapSide);
    FUZZ_CHECK(bitmap.height > 0 && bitmap.height <= kMaxBitmapSide);
    FUZZ_CHECK(bitmap.rowBytes == (size_t(bitmap.width) * 3 + 3) / 4 * 4);
    FUZZ_CHECK(bitmap.pixels);
    // The upload reads every byte of every row: touch the first and the last.
    volatile unsigned char edge = bitmap.pixels[0];
    edge = bitmap.pixels[bitmap.rowBytes * bitmap.height - 1];
    (void)edge;
    return 0;
}
