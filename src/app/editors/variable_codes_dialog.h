// The read-only list of the variable codes a message body may hold.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class VariableCodesDialog;
}

namespace telvor {

class VariableCodesDialog final : public QDialog {
public:
    explicit VariableCodesDialog(QWidget* parent);
    ~VariableCodesDialog() override;

private:
    std::unique_ptr<Ui::VariableCodesDialog> m_ui;
};

} // namespace telvor
