#include "message_bodies.h"

#include "editors/field_text.h"

namespace telvor {

void MessageBodies::unpack(const SettingsImage& image)
{
    for (int index = 0; index < static_cast<int>(bodies.size()); ++index)
        bodies[index] = textFromField(image, slot("SMS", index));
}

void MessageBodies::pack(SettingsImage& image) const
{
    for (int index = 0; index < static_cast<int>(bodies.size()); ++index)
        textToField(bodies[index], image, slot("SMS", index));
}

} // namespace telvor
