#include "authorization_dialog.h"

#include "ui_authorization.h"

#include <span>

namespace telvor {

AuthorizationDialog::AuthorizationDialog(Authorization& authorization, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::AuthorizationDialog>())
{
    m_ui->setupUi(this);
    // The boxes of a row are named after the row's key and the number:
    // clipBox1 .. clipBox10.
    const auto bindRow = [this](const char* row, std::span<int> members) {
        for (std::size_t number = 1; number <= members.size(); ++number) {
            auto* box = findChild<QCheckBox*>(QStringLiteral("%1Box%2").arg(row).arg(number));
            exchange().check(box, members[number - 1]);
        }
    };
    exchange().check(m_ui->clipAnyone, authorization.onDemandReportAnyone);
    bindRow("clip", authorization.onDemandReport);
    exchange().check(m_ui->csdAnyone, authorization.csdConnectionAnyone);
    bindRow("csd", authorization.csdConnection);
    exchange().check(m_ui->controlAnyone, authorization.remoteControlAnyone);
    bindRow("control", authorization.remoteControl);
    bindRow("report", authorization.periodicalReport);
    connectButtons(m_ui->buttons);
    exchange().fill();
}

AuthorizationDialog::~AuthorizationDialog() = default;

bool editAuthorization(QWidget* parent, SettingsImage& image)
{
    static Authorization authorization;
    return runEditor<AuthorizationDialog>(parent, image, authorization);
}

} // namespace telvor
