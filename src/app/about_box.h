// The program's name, version and licence, shown from the window's context
// menu and F1.
#pragma once

class QWidget;

namespace telvor {

void showAboutBox(QWidget* parent);

} // namespace telvor
