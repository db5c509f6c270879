// Any byte string goes through the PNG decoder: it must either return a whole image or
// refuse the input, never crash, overrun or leak.
#include <cstddef>
#include <cstdint>

#include "image/png_load.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    delete DecodePngImage(data, size);
    return 0;
}
