#include "variable_codes_dialog.h"

#include "editors/variable_codes.h"
#include "frontend/windows_1250.h"
#include "ui_variable_codes.h"

namespace telvor {

VariableCodesDialog::VariableCodesDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::VariableCodesDialog>())
{
    m_ui->setupUi(this);
    m_ui->codesText->setPlainText(decodeWindows1250(variableCodesText()));
    connect(m_ui->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

VariableCodesDialog::~VariableCodesDialog() = default;

} // namespace telvor
