#include "simulator_for_window.h"

#include <QFile>

#include <stdexcept>

namespace telvor {

namespace {

// The simulator logs every connection on its standard error with --verbose.
constexpr char kLogName[] = "simulator.log";

} // namespace

SimulatorForWindow::SimulatorForWindow(const QStringList& options)
{
    // It saves its image after every connection; into the private folder,
    // so that no test run leaves one behind.
    std::vector<std::string> arguments
        = {"--verbose", "--save", m_directory.filePath(QStringLiteral("device.tvr")).toStdString()};
    for (const QString& option : options)
        arguments.push_back(option.toStdString());
    try {
        m_simulator.emplace(
            arguments,
            SimChildProcess::ErrorOutput::intoFile(m_directory.filePath(QString::fromLatin1(kLogName)).toStdString()));
    } catch (const std::runtime_error& error) {
        qWarning("%s", error.what());
    }
}

int SimulatorForWindow::connectionsOpened() const
{
    QFile log(m_directory.filePath(QString::fromLatin1(kLogName)));
    if (!log.open(QIODevice::ReadOnly))
        return 0;
    return static_cast<int>(log.readAll().count("connection opened"));
}

} // namespace telvor
