# cmake -DINPUT=pmio.sys -DOUTPUT=memory_driver_image.c -P embed_image.cmake
# Writes the driver's bytes as the C array that memory_driver_image.h declares.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line) # 16 bytes a line
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
"/* Generated from pmio.sys by embed_image.cmake; do not edit. */
#include <stdint.h>

const unsigned char kMemoryDriverImage[${size}] = {
    ${bytes}
};
const uint32_t kMemoryDriverImageSize = ${size};
")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
