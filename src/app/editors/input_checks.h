// The message that refuses a box holding a character the device cannot
// store; the other refusals are the editors' own (editors/refusal_texts.h).
#pragma once

#include <QString>

namespace telvor {

QString characterMessage(const QString& boxName, const QString& character);

} // namespace telvor
