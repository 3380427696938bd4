# Writes the bytes of INPUT, the factory-default settings file, into OUTPUT
# as the definition of kFactoryDefaultBytes (factory_defaults.cpp).
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}.new "// Made by embed_factory_defaults.cmake from ${INPUT}; do not edit.
#include \"image/settings_image.h\"

namespace telvor {

static_assert(${size} == kImageSize, \"the factory-default file is not one settings image\");
extern const SettingsImage::Bytes kFactoryDefaultBytes;
const SettingsImage::Bytes kFactoryDefaultBytes = {
${bytes}};

} // namespace telvor
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
