#include "message_bodies_dialog.h"

#include "ui_message_bodies.h"
#include "variable_codes_dialog.h"

namespace telvor {

MessageBodiesDialog::MessageBodiesDialog(MessageBodies& messages, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::MessageBodiesDialog>())
{
    m_ui->setupUi(this);
    // Inputs L1 to L8 first, then the periodical and the on-demand report.
    const std::array<QLineEdit*, 8> inputs{
        m_ui->input1Body, m_ui->input2Body, m_ui->input3Body, m_ui->input4Body,
        m_ui->input5Body, m_ui->input6Body, m_ui->input7Body, m_ui->input8Body,
    };
    for (int input = 1; input <= 8; ++input)
        exchange().text(inputs[input - 1], messages.bodies[input], kMessageBodyWidth);
    exchange().text(m_ui->periodicalReportBody, messages.bodies[0], kMessageBodyWidth);
    exchange().text(m_ui->onDemandReportBody, messages.bodies[9], kMessageBodyWidth);
    connect(m_ui->variableCodesButton, &QPushButton::clicked, this, &MessageBodiesDialog::showVariableCodes);
    connectButtons(m_ui->buttons);
    exchange().fill();
}

MessageBodiesDialog::~MessageBodiesDialog() = default;

void MessageBodiesDialog::showVariableCodes()
{
    VariableCodesDialog codes(this);
    codes.exec();
}

bool editMessageBodies(QWidget* parent, SettingsImage& image)
{
    static MessageBodies messages;
    return runEditor<MessageBodiesDialog>(parent, image, messages);
}

} // namespace telvor
