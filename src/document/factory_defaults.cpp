#include "factory_defaults.h"

#include <algorithm>

namespace telvor {

// Made at build time from build/default_en.tvr (embed_factory_defaults.cmake).
extern const SettingsImage::Bytes kFactoryDefaultBytes;

SettingsImage factoryDefaults()
{
    SettingsImage image;
    image.bytes() = kFactoryDefaultBytes;
    return image;
}

} // namespace telvor
