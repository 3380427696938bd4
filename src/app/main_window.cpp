#include "main_window.h"

#include "about_box.h"
#include "editor_commands.h"
#include "integer_text.h"
#include "message_box.h"
#include "ui_main_window.h"

#include "link/device_link.h"
#include "link/serial_device_path.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QIcon>
#include <QKeyEvent>

// The icon is compiled into this library; a static library's resources are
// registered by hand.
static void registerResources()
{
    Q_INIT_RESOURCE(telvor);
}

namespace telvor {

namespace {

constexpr int kButtonPadding = 8;

QString statusForBox(const QString& status)
{
    return QString(status).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString statusFromBox(const QString& shown)
{
    return QString(shown).replace(u'\n', QStringLiteral("\r\n"));
}

} // namespace

MainWindow::MainWindow(SettingsImage& workingImage, DeviceLink& link, SettingsFileChooser& fileChooser, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::MainWindow>())
    , m_workingImage(workingImage)
    , m_link(link)
    , m_fileChooser(fileChooser)
    , m_tcpSettingsDialog(this)
    , m_transportGroup(new QButtonGroup(this))
    , m_aboutAction(new QAction(QStringLiteral("&About ..."), this))
{
    registerResources();
    m_ui->setupUi(this);
    // The default style's push buttons hug their captions; some air on each
    // side makes the command columns read as columns.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->window() == this)
            button->setMinimumWidth(button->sizeHint().width() + 2 * kButtonPadding);
    }
    setWindowIcon(QIcon(QStringLiteral(":/telvor/telvor.svg")));

    m_transportGroup->addButton(m_ui->tcpRadio, TcpRadio);
    m_transportGroup->addButton(m_ui->comRadio, ComRadio);
    m_transportGroup->addButton(m_ui->com3Radio, Com3Radio);
    m_transportGroup->addButton(m_ui->com4Radio, Com4Radio);
    m_transportGroup->addButton(m_ui->com5Radio, Com5Radio);
    m_transportGroup->addButton(m_ui->com6Radio, Com6Radio);
    m_transportGroup->addButton(m_ui->secondTcpRadio, SecondTcpRadio);
    for (QAbstractButton* radio : m_transportGroup->buttons())
        radio->installEventFilter(this);

    // Linux window managers own the system menu, so the About box lives in
    // the window's context menu and on F1.
    m_aboutAction->setShortcut(QKeySequence::HelpContents);
    m_aboutAction->setShortcutContext(Qt::WindowShortcut);
    addAction(m_aboutAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    connectCommands();
    connectEditorButtons();
    connectDeviceLink();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectCommands()
{
    connect(m_ui->exitButton, &QPushButton::clicked, this, &MainWindow::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &MainWindow::reject);
    connect(m_ui->tcpSettingsButton, &QPushButton::clicked, this, &MainWindow::editTcpSettings);
    connect(m_ui->readFromFileButton, &QPushButton::clicked, this, &MainWindow::readFromFile);
    connect(m_ui->writeToFileButton, &QPushButton::clicked, this, &MainWindow::writeToFile);
    connect(m_ui->checkVersionButton, &QPushButton::clicked, this,
            [this] { runDeviceOperation(OperationKind::Version); });
    connect(m_ui->readFromDeviceButton, &QPushButton::clicked, this,
            [this] { runDeviceOperation(OperationKind::Read); });
    connect(m_ui->writeToDeviceButton, &QPushButton::clicked, this,
            [this] { runDeviceOperation(OperationKind::Write); });
    connect(m_transportGroup, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == TcpRadio || id == SecondTcpRadio)
            chooseTcp();
        else
            chooseSerial();
    });
    connect(m_ui->portNumberEdit, &QLineEdit::textChanged, this, &MainWindow::showSerialDevicePath);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::connectEditorButtons()
{
    for (const EditorCommand& command : kEditorCommands) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(command.buttonName));
        connect(button, &QPushButton::clicked, this, [this, command] { openEditor(command.run); });
    }
}

void MainWindow::openEditor(EditorFunction editor)
{
    const WindowValues window{[this] { takeValuesFromControls(); }, [this] { putValuesIntoControls(); }};
    editor(this, m_workingImage, window);
}

void MainWindow::initialise(const std::string& commandLine)
{
    loadConnectionSettings();
    putValuesIntoControls();
    loadStartUpFile(commandLine);
    putValuesIntoControls();
}

void MainWindow::takeValuesFromControls()
{
    m_radioIndex = m_transportGroup->checkedId();
    m_versionText = m_ui->versionEdit->text();
    m_setClock = m_ui->setClockCheck->isChecked();
    m_resetAfterUpdate = m_ui->resetAfterUpdateCheck->isChecked();
    m_statusText = statusFromBox(m_ui->statusEdit->toPlainText());
    m_resetCounters = m_ui->resetCountersCheck->isChecked();
    m_eraseLog = m_ui->eraseLogCheck->isChecked();
    takeSerialPortNumber();
}

void MainWindow::takeSerialPortNumber()
{
    const std::optional<int> number = integerFromText(m_ui->portNumberEdit->text());
    if (number)
        m_serialPortNumber = *number;
    const bool inRange = number && *number >= 0 && *number <= kHighestSerialPortNumber;
    if (inRange)
        return;
    showWarning(this,
                number ? QStringLiteral("Please enter an integer between 0 and 255.")
                       : QStringLiteral("Please enter an integer."));
    m_ui->portNumberEdit->setFocus();
    m_ui->portNumberEdit->selectAll();
}

void MainWindow::putValuesIntoControls()
{
    if (m_radioIndex < 0) {
        // An exclusive group always keeps one button checked.
        m_transportGroup->setExclusive(false);
        for (QAbstractButton* radio : m_transportGroup->buttons())
            radio->setChecked(false);
        m_transportGroup->setExclusive(true);
    } else {
        m_transportGroup->button(m_radioIndex)->setChecked(true);
    }
    m_ui->versionEdit->setText(m_versionText);
    m_ui->setClockCheck->setChecked(m_setClock);
    m_ui->resetAfterUpdateCheck->setChecked(m_resetAfterUpdate);
    m_ui->statusEdit->setPlainText(statusForBox(m_statusText));
    m_ui->resetCountersCheck->setChecked(m_resetCounters);
    m_ui->eraseLogCheck->setChecked(m_eraseLog);
    m_ui->portNumberEdit->setText(QString::number(m_serialPortNumber));
}

void MainWindow::showSerialDevicePath()
{
    const std::optional<int> number = integerFromText(m_ui->portNumberEdit->text());
    const std::string path = number ? serialDevicePath(m_link.serialDeviceFormat, *number) : std::string();
    if (path.empty())
        m_ui->portNumberEdit->setToolTip(tr("No serial device has this number (1 to 255)"));
    else
        m_ui->portNumberEdit->setToolTip(QStringLiteral("COM%1 = %2").arg(*number).arg(QString::fromLocal8Bit(path)));
}

void MainWindow::chooseSerial()
{
    m_connection.useTcp = false;
    pointLinkAtConnection();
}

void MainWindow::chooseTcp()
{
    m_connection.useTcp = true;
    pointLinkAtConnection();
}

void MainWindow::editTcpSettings()
{
    m_tcpSettingsDialog.edit();
    pointLinkAtConnection();
}

void MainWindow::accept()
{
    saveConnectionSettingsAndClose(QDialog::Accepted);
}

void MainWindow::reject()
{
    saveConnectionSettingsAndClose(QDialog::Rejected);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // Esc would cancel a dialog; this one stays open until the user exits.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_operationRunning) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Tabbing into the radio group lands on the checked radio, not on the
    // first of the group, as in every dialog of the desktop.
    if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QAbstractButton* checked = m_transportGroup->checkedButton();
        const bool byTab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        if (byTab && checked != nullptr && checked != watched && checked->isVisible())
            checked->setFocus(reason);
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::showAbout()
{
    if (!m_operationRunning)
        showAboutBox(this);
}

} // namespace telvor
