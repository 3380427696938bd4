// "Read from file", "Write to file" and the start-up load, with the file
// dialogs answered by the test: the exact status texts and the bytes moved.
#include "modal_answerer.h"
#include "window_test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace telvor {

class FileCommandsTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void readFromFile_data();
    void readFromFile();
    void writeToFile_data();
    void writeToFile();
    void writtenFileReadsBackEveryByte();
    void startUpLoad_data();
    void startUpLoad();

private:
    QString m_startDirectory;
};

namespace {

QByteArray imageBytes(const SettingsImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.bytes().data()), static_cast<qsizetype>(kImageSize));
}

void setImageBytes(SettingsImage& image, const QByteArray& bytes)
{
    std::copy(bytes.begin(), bytes.end(), image.bytes().begin());
}

QString shownStatus(MainWindow& window)
{
    return control<QPlainTextEdit>(window, "statusEdit").toPlainText();
}

} // namespace

void FileCommandsTest::initTestCase()
{
    QApplication::setOrganizationName(QStringLiteral("Kardel"));
    QApplication::setApplicationName(QStringLiteral("Telvor"));
    m_startDirectory = QDir::currentPath();
}

void FileCommandsTest::init()
{
    QSettings().clear();
    QDir::setCurrent(m_startDirectory);
}

void FileCommandsTest::readFromFile_data()
{
    QTest::addColumn<QString>("fileName");   // empty: the dialog is cancelled
    QTest::addColumn<QByteArray>("content"); // null: no such file
    QTest::addColumn<QString>("status");
    QTest::addColumn<QByteArray>("image");
    const QByteArray pattern = patternImageBytes();
    const QByteArray before(kImageSize, '\x5A');
    QTest::newRow("whole file") << "conf.tvr" << pattern << "Configuration loaded from:\nconf.tvr" << pattern;
    QTest::newRow("upper-case extension") << "CONF.TVR" << pattern << "Configuration loaded from:\nCONF.TVR" << pattern;
    QTest::newRow("empty file zeroes the image")
        << "empty.tvr" << QByteArray("") << "Configuration loaded from:\nempty.tvr" << QByteArray(kImageSize, '\0');
    QTest::newRow("100 bytes fill the start, the rest is zero")
        << "short.tvr" << pattern.left(100) << "Configuration loaded from:\nshort.tvr"
        << pattern.left(100) + QByteArray(kImageSize - 100, '\0');
    QTest::newRow("5000 bytes: the first 3608 are used")
        << "long.tvr" << pattern + QByteArray(5000 - kImageSize, '\x11') << "Configuration loaded from:\nlong.tvr"
        << pattern;
    QTest::newRow("missing file leaves the image") << "missing.tvr" << QByteArray() << "File open error!" << before;
    QTest::newRow("cancelled dialog empties the status") << "" << QByteArray() << "" << before;
}

void FileCommandsTest::readFromFile()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(QString, status);
    QFETCH(QByteArray, image);
    QTemporaryDir directory;
    QDir::setCurrent(directory.path());
    WindowUnderTest test;
    test.window.initialise({});
    setImageBytes(test.image, QByteArray(kImageSize, '\x5A'));
    if (!fileName.isEmpty()) {
        test.fileChooser.pathToRead = directory.filePath(fileName);
        if (!content.isNull())
            writeFile(test.fileChooser.pathToRead, content);
    }

    ModalAnswerer answerer;
    QTest::mouseClick(&control<QPushButton>(test.window, "readFromFileButton"), Qt::LeftButton);
    QCOMPARE(test.fileChooser.readDialogs, 1);
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(shownStatus(test.window), status);
    QCOMPARE(test.window.statusText(), QString(status).replace("\n", "\r\n"));
    QCOMPARE(imageBytes(test.image), image);
}

void FileCommandsTest::writeToFile_data()
{
    QTest::addColumn<QString>("typedName"); // empty: the dialog is cancelled
    QTest::addColumn<QString>("createdName");
    QTest::addColumn<QString>("status");
    QTest::newRow("name with extension") << "conf.tvr"
                                         << "conf.tvr"
                                         << "Configuration saved to:\nconf.tvr";
    QTest::newRow("name without extension gets .tvr") << "Test"
                                                      << "Test.tvr"
                                                      << "Configuration saved to:\nTest.tvr";
    QTest::newRow("name with a blank") << "my conf.TVR"
                                       << "my conf.TVR"
                                       << "Configuration saved to:\nmy conf.TVR";
    QTest::newRow("folder that does not exist") << "nowhere/conf.tvr"
                                                << ""
                                                << "File write error!";
    QTest::newRow("cancelled dialog empties the status") << ""
                                                         << ""
                                                         << "";
}

void FileCommandsTest::writeToFile()
{
    QFETCH(QString, typedName);
    QFETCH(QString, createdName);
    QFETCH(QString, status);
    QTemporaryDir directory;
    WindowUnderTest test;
    test.window.initialise({});
    setImageBytes(test.image, patternImageBytes());
    if (!typedName.isEmpty())
        test.fileChooser.pathToWrite = directory.filePath(typedName);

    QTest::mouseClick(&control<QPushButton>(test.window, "writeToFileButton"), Qt::LeftButton);
    QCOMPARE(test.fileChooser.writeDialogs, 1);
    QCOMPARE(shownStatus(test.window), status);
    if (!createdName.isEmpty())
        QCOMPARE(readFile(directory.filePath(createdName)), patternImageBytes());
    const QStringList expectedFiles = createdName.isEmpty() ? QStringList() : QStringList{createdName};
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files), expectedFiles);
}

void FileCommandsTest::writtenFileReadsBackEveryByte()
{
    QTemporaryDir directory;
    WindowUnderTest test;
    test.window.initialise({});
    setImageBytes(test.image, patternImageBytes());
    test.fileChooser.pathToWrite = directory.filePath(QStringLiteral("round"));
    QTest::mouseClick(&control<QPushButton>(test.window, "writeToFileButton"), Qt::LeftButton);
    test.image.clear();
    test.fileChooser.pathToRead = directory.filePath(QStringLiteral("round.tvr"));
    QTest::mouseClick(&control<QPushButton>(test.window, "readFromFileButton"), Qt::LeftButton);
    QCOMPARE(shownStatus(test.window), QStringLiteral("Configuration loaded from:\nround.tvr"));
    QCOMPARE(imageBytes(test.image), patternImageBytes());
}

void FileCommandsTest::startUpLoad_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("fileName"); // created in the current directory
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("default file") << ""
                                  << "default_en.tvr"
                                  << "Default settings loaded from:\ndefault_en.tvr" << true;
    QTest::newRow("no default file") << ""
                                     << ""
                                     << "File open error:\ndefault_en.tvr" << false;
    QTest::newRow("quoted name with a blank") << "\"my file.tvr\""
                                              << "my file.tvr"
                                              << "Default settings loaded from:\nmy file.tvr" << true;
    QTest::newRow("name from the command line missing") << "other.tvr"
                                                        << "default_en.tvr"
                                                        << "File open error:\nother.tvr" << false;
}

void FileCommandsTest::startUpLoad()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, fileName);
    QFETCH(QString, status);
    QFETCH(bool, loaded);
    QTemporaryDir directory;
    QDir::setCurrent(directory.path());
    if (!fileName.isEmpty())
        writeFile(fileName, patternImageBytes());

    WindowUnderTest test;
    test.window.initialise(commandLine.toStdString());
    QCOMPARE(shownStatus(test.window), status);
    QCOMPARE(imageBytes(test.image), loaded ? patternImageBytes() : QByteArray(kImageSize, '\0'));
}

} // namespace telvor

QTEST_MAIN(telvor::FileCommandsTest)
#include "file_commands_test.moc"
