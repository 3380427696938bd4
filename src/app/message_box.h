// The program's modal message boxes: a warning with the window's title,
// and an optional informative text below it.
#pragma once

#include <QString>

class QWidget;

namespace telvor {

inline const QString kProgramTitle = QStringLiteral("Telvor configuration software");

void showWarning(QWidget* parent, const QString& text, const QString& detail = {});

} // namespace telvor
