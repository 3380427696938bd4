// Settings documents through "Read from file" and "Write to file", offscreen:
// a document read onto the factory defaults and written back, one with errors
// refused with its errors listed and the image unchanged, and the file dialog
// that offers documents and gives a typed name the chosen filter's extension.
#include "modal_answerer.h"
#include "window_test_support.h"

#include "app/settings_file_chooser.h"
#include "document/factory_defaults.h"
#include "document/settings_document.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace telvor {

class DocumentFileCommandsTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void documentIsReadOntoTheFactoryDefaults();
    void documentWithErrorsIsRefused();
    void documentWithManyErrorsListsTheFirstTen();
    void documentNamedAtStartUp_data();
    void documentNamedAtStartUp();
    void writtenDocumentReadsBackEverySetting();
    void saveDialogGivesTheChosenFiltersExtension_data();
    void saveDialogGivesTheChosenFiltersExtension();

private:
    QString m_startDirectory;
};

namespace {

QString shownStatus(MainWindow& window)
{
    return control<QPlainTextEdit>(window, "statusEdit").toPlainText();
}

void setPattern(SettingsImage& image)
{
    const QByteArray pattern = patternImageBytes();
    std::copy(pattern.begin(), pattern.end(), image.bytes().begin());
}

void click(MainWindow& window, const char* button)
{
    QTest::mouseClick(&control<QPushButton>(window, button), Qt::LeftButton);
}

} // namespace

void DocumentFileCommandsTest::initTestCase()
{
    QApplication::setOrganizationName(QStringLiteral("Kardel"));
    QApplication::setApplicationName(QStringLiteral("Telvor"));
    m_startDirectory = QDir::currentPath();
}

void DocumentFileCommandsTest::init()
{
    QSettings().clear();
    QDir::setCurrent(m_startDirectory);
}

void DocumentFileCommandsTest::documentIsReadOntoTheFactoryDefaults()
{
    QTemporaryDir directory;
    WindowUnderTest test;
    test.window.initialise({});
    setPattern(test.image);
    test.fileChooser.pathToRead = directory.filePath(QStringLiteral("Site.YAML"));
    writeFile(test.fileChooser.pathToRead, "format: telvor-settings 1\nbasic:\n  pin: \"1234\"\n");

    ModalAnswerer answerer;
    click(test.window, "readFromFileButton");
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(shownStatus(test.window), QStringLiteral("Configuration loaded from:\nSite.YAML"));
    SettingsImage expected = factoryDefaults();
    expected.setText(slot("PIN"), "1234");
    QVERIFY(test.image == expected);
}

void DocumentFileCommandsTest::documentWithErrorsIsRefused()
{
    QTemporaryDir directory;
    WindowUnderTest test;
    test.window.initialise({});
    setPattern(test.image);
    test.fileChooser.pathToRead = directory.filePath(QStringLiteral("site.yml"));
    writeFile(test.fileChooser.pathToRead,
              "format: telvor-settings 1\nbasic:\n  pin: \"1234\"\n  pinn: 1\n  sms_limit_per_day: 300\n");

    ModalAnswerer answerer;
    click(test.window, "readFromFileButton");
    QCOMPARE(answerer.messages(),
             QStringList{QStringLiteral("The settings document site.yml has errors; nothing was read from it.")});
    QCOMPARE(answerer.details(),
             QStringList{
                 QStringLiteral("site.yml:4:3: basic.pinn: unknown setting\n"
                                "site.yml:5:22: basic.sms_limit_per_day: Please enter an integer between 0 and 255.")});
    QCOMPARE(shownStatus(test.window), QStringLiteral("File open error!"));
    SettingsImage pattern;
    setPattern(pattern);
    QVERIFY(test.image == pattern);
}

void DocumentFileCommandsTest::documentWithManyErrorsListsTheFirstTen()
{
    QTemporaryDir directory;
    WindowUnderTest test;
    test.window.initialise({});
    QByteArray document = "format: telvor-settings 1\nbasic:\n";
    for (int number = 1; number <= 10; ++number)
        document += "  num_" + QByteArray::number(number) + ": [" + QByteArray::number(number) + "]\n";
    document += "  pin: []\n  smsc: []\n";
    test.fileChooser.pathToRead = directory.filePath(QStringLiteral("many.yaml"));
    writeFile(test.fileChooser.pathToRead, document);

    ModalAnswerer answerer;
    click(test.window, "readFromFileButton");
    QCOMPARE(answerer.details().size(), 1);
    const QStringList lines = answerer.details().constFirst().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.constFirst(), QStringLiteral("many.yaml:3:10: basic.num_1: Please enter a text."));
    QCOMPARE(lines[9], QStringLiteral("many.yaml:12:11: basic.num_10: Please enter a text."));
    QCOMPARE(lines.constLast(), QStringLiteral("... and 2 more."));
}

void DocumentFileCommandsTest::documentNamedAtStartUp_data()
{
    QTest::addColumn<QByteArray>("document"); // empty: no file
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<bool>("read");
    QTest::newRow("read onto the factory defaults")
        << QByteArray("format: telvor-settings 1\nbasic:\n  pin: \"1234\"\n")
        << "Default settings loaded from:\nsite.yaml" << QStringList() << true;
    QTest::newRow("with errors") << QByteArray("format: telvor-settings 1\nbasic:\n  pinn: 1\n")
                                 << "File open error:\nsite.yaml"
                                 << QStringList{"The settings document site.yaml has errors; nothing was read from it."}
                                 << false;
    QTest::newRow("missing") << QByteArray() << "File open error:\nsite.yaml" << QStringList() << false;
}

// A document named on the command line is read as a document, never copied
// in as the bytes of a settings file.
void DocumentFileCommandsTest::documentNamedAtStartUp()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, status);
    QFETCH(QStringList, warnings);
    QFETCH(bool, read);
    QTemporaryDir directory;
    QDir::setCurrent(directory.path());
    if (!document.isEmpty())
        writeFile(QStringLiteral("site.yaml"), document);

    ModalAnswerer answerer;
    WindowUnderTest test;
    test.window.initialise("site.yaml");
    QCOMPARE(answerer.messages(), warnings);
    QCOMPARE(shownStatus(test.window), status);
    SettingsImage expected = factoryDefaults();
    expected.setText(slot("PIN"), "1234");
    QVERIFY(read ? test.image == expected : test.image == SettingsImage());
}

void DocumentFileCommandsTest::writtenDocumentReadsBackEverySetting()
{
    QTemporaryDir directory;
    WindowUnderTest test;
    test.window.initialise({});
    setPattern(test.image);
    const SettingsImage written = test.image;
    test.fileChooser.pathToWrite = directory.filePath(QStringLiteral("out.yaml"));
    click(test.window, "writeToFileButton");
    QCOMPARE(shownStatus(test.window), QStringLiteral("Configuration saved to:\nout.yaml"));
    QCOMPARE(readFile(test.fileChooser.pathToWrite), QByteArray::fromStdString(exportDocument(written)));

    test.image.clear();
    test.fileChooser.pathToRead = test.fileChooser.pathToWrite;
    ModalAnswerer answerer;
    click(test.window, "readFromFileButton");
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(exportDocument(test.image), exportDocument(written));
}

void DocumentFileCommandsTest::saveDialogGivesTheChosenFiltersExtension_data()
{
    QTest::addColumn<bool>("documentFilter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("settings file") << false << "site"
                                   << "site.tvr";
    QTest::newRow("document") << true << "site"
                              << "site.yaml";
    QTest::newRow("document with its extension") << true << "site.yml"
                                                 << "site.yml";
}

void DocumentFileCommandsTest::saveDialogGivesTheChosenFiltersExtension()
{
    QFETCH(bool, documentFilter);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    QTemporaryDir directory;
    QDir::setCurrent(directory.path());
    QStringList filters;
    ModalAnswerer answerer([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        filters = files.nameFilters();
        auto* types = files.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (documentFilter && types) {
            // As a user picks it: the combo box, not the program.
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
        }
        if (auto* name = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(typed);
        QMetaObject::invokeMethod(&files, "accept");
    });
    NativeSettingsFileChooser chooser;
    const QString path = chooser.fileToWrite(nullptr);
    QCOMPARE(filters,
             (QStringList{QStringLiteral("Pliki konfiguracji (*.TVR *.tvr)"),
                          QStringLiteral("Settings documents (*.yaml *.yml)")}));
    QCOMPARE(QFileInfo(path).fileName(), chosen);
}

} // namespace telvor

QTEST_MAIN(telvor::DocumentFileCommandsTest)
#include "document_file_commands_test.moc"
