#include "message_box.h"

#include <QMessageBox>

namespace telvor {

void showWarning(QWidget* parent, const QString& text, const QString& detail)
{
    QMessageBox box(QMessageBox::Warning, kProgramTitle, text, QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
}

} // namespace telvor
