// Fuzzes the JPEG decoder through open, size and pixel decoding.

#include "framework/draw/JpegImageFile.h"
#include "tests/fuzz/FuzzImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Qorv::Draw::JpegImageFile image;
    FuzzSupport::FuzzImageFile(image, data, size);
    return 0;
}
