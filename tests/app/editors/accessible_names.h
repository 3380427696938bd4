// Checks that every control of a window can be told apart by the name an
// assistive tool reads out.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QStringList>
#include <QWidget>

namespace telvor {

// The name a control is announced by: its accessible name, else a button's
// caption.
inline QString announcedName(QWidget* control)
{
    if (!control->accessibleName().isEmpty())
        return control->accessibleName();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text().remove(u'&');
    return QString();
}

// The problems found: controls without a name and names given twice.
inline QStringList accessibleNameProblems(QWidget* window)
{
    QStringList problems;
    QSet<QString> seen;
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* control : children) {
        if (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QLineEdit*>(control)
            && !qobject_cast<QPlainTextEdit*>(control))
            continue;
        const QString name = announcedName(control);
        if (name.isEmpty())
            problems << QStringLiteral("%1 has no name").arg(control->objectName());
        else if (seen.contains(name))
            problems << QStringLiteral("%1 is named twice").arg(name);
        seen.insert(name);
    }
    return problems;
}

} // namespace telvor
