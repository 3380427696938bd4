#include "about_box.h"

#include "message_box.h"

#include <QMessageBox>

namespace telvor {

void showAboutBox(QWidget* parent)
{
    const QString text = QStringLiteral("<p><b>%1</b><br>Version %2</p>"
                                        "<p>Prepares, stores, transfers and verifies the settings of "
                                        "Telvor GSM telemetry and alarm devices.</p>"
                                        "<p>Released under the MIT licence.</p>")
                             .arg(kProgramTitle, QStringLiteral(TELVOR_VERSION));
    QMessageBox::about(parent, QStringLiteral("About %1").arg(kProgramTitle), text);
}

} // namespace telvor
