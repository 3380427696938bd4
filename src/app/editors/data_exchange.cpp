#include "data_exchange.h"

#include "editors/leading_number.h"
#include "editors/refusal_texts.h"
#include "frontend/windows_1250.h"
#include "input_checks.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>

namespace telvor {

DataExchange::DataExchange(QWidget* dialog)
    : m_dialog(dialog)
{
}

void DataExchange::text(QLineEdit* box, std::string& member, int limit)
{
    if (limit != kNoLimit)
        box->setMaxLength(limit);
    m_bindings.push_back({
        box,
        [box, &member] { box->setText(decodeWindows1250(member)); },
        [box, &member, limit] {
            QString refused;
            const std::optional<std::string> bytes = encodeWindows1250(box->text(), &refused);
            if (!bytes)
                return characterMessage(box->accessibleName(), refused);
            if (limit != kNoLimit && bytes->size() > static_cast<std::size_t>(limit))
                return QString::fromStdString(lengthMessage(limit));
            member = *bytes;
            return QString();
        },
    });
}

void DataExchange::number(QLineEdit* box, int& member, int minimum, int maximum)
{
    m_bindings.push_back({
        box,
        [box, &member] { box->setText(QString::number(member)); },
        [box, &member, minimum, maximum] {
            const std::optional<long long> value = readLeadingInteger(box->text().toStdString());
            if (!value)
                return QString::fromStdString(integerMessage());
            if (*value < minimum || *value > maximum)
                return QString::fromStdString(rangeMessage(minimum, maximum));
            member = static_cast<int>(*value);
            return QString();
        },
    });
}

void DataExchange::check(QAbstractButton* box, int& member)
{
    m_bindings.push_back({
        box,
        [box, &member] { box->setChecked(member != 0); },
        [box, &member] {
            member = box->isChecked() ? 1 : 0;
            return QString();
        },
    });
}

void DataExchange::radio(const QList<QAbstractButton*>& buttons, int& member)
{
    m_bindings.push_back({
        buttons.front(),
        [buttons, &member] {
            for (qsizetype index = 0; index < buttons.size(); ++index) {
                // Exclusive buttons cannot be unchecked one by one.
                buttons[index]->setAutoExclusive(false);
                buttons[index]->setChecked(index == member);
                buttons[index]->setAutoExclusive(true);
            }
        },
        [buttons, &member] {
            member = -1;
            for (qsizetype index = 0; index < buttons.size(); ++index) {
                if (buttons[index]->isChecked())
                    member = static_cast<int>(index);
            }
            return QString();
        },
    });
}

void DataExchange::fill() const
{
    for (const Binding& binding : m_bindings)
        binding.fill();
}

bool DataExchange::read()
{
    for (const Binding& binding : m_bindings) {
        const QString refusal = binding.read();
        if (refusal.isEmpty())
            continue;
        QMessageBox::warning(m_dialog, m_dialog->windowTitle(), refusal);
        binding.control->setFocus(Qt::OtherFocusReason);
        if (auto* box = qobject_cast<QLineEdit*>(binding.control))
            box->selectAll();
        return false;
    }
    return true;
}

} // namespace telvor
