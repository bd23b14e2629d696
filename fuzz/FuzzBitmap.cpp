#include "FuzzCheck.h"
#include "scene/BitmapDecoder.h"

#include <cstdint>

// Any bytes: the decoder must refuse or deliver rows the texture upload can take
// whole, without reading outside the input (libFuzzer's copy of it is exactly sized).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedBitmap bitmap;
    if (!decodeBitmap(data, size, &bitmap))
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
