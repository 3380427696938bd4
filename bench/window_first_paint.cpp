// The window program's start: from the moment its process is started until
// the main window has been painted for the first time (on the platform that
// QT_QPA_PLATFORM names, offscreen in bench/run), and the most memory the
// process held by then. Each run starts this program anew as a child that
// builds the window as telvor-config does and leaves once it is painted.
//
// window_first_paint [--runs N]   (in the folder that holds default_en.tvr)
#include "app/main_window.h"
#include "app/settings_file_chooser.h"

#include "image/settings_image.h"
#include "link/device_link.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kChildOption = "--child";

long long monotonicNanoseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Reports the first paint of the window on standard output and closes it.
class FirstPaintWatch final : public QObject {
public:
    explicit FirstPaintWatch(QDialog& window)
        : m_window(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_window && event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            std::printf("%lld\n", monotonicNanoseconds());
            std::fflush(stdout);
            QTimer::singleShot(0, &m_window, [this] { m_window.done(0); });
        }
        return false;
    }

private:
    QDialog& m_window;
    bool m_seen = false;
};

int showWindowOnce(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kardel"));
    QApplication::setApplicationName(QStringLiteral("Telvor"));
    static telvor::SettingsImage workingImage;
    static telvor::DeviceLink link;
    static telvor::NativeSettingsFileChooser fileChooser;
    telvor::MainWindow window(workingImage, link, fileChooser);
    FirstPaintWatch watch(window);
    window.installEventFilter(&watch);
    window.initialise({});
    window.exec();
    return 0;
}

// One child run: milliseconds from its start to its first paint, and its
// largest resident set in kilobytes; false when it did not paint.
bool measureOneStart(const char* program, double& paintMs, long& maxResidentKb)
{
    int output[2];
    if (::pipe(output) != 0)
        return false;
    const long long start = monotonicNanoseconds();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        ::execl(program, program, kChildOption.data(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(output[1]);
    char line[64] = {};
    std::size_t held = 0;
    ssize_t count = 0;
    while (held + 1 < sizeof line && (count = ::read(output[0], line + held, sizeof line - 1 - held)) > 0)
        held += static_cast<std::size_t>(count);
    ::close(output[0]);
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || held == 0)
        return false;
    paintMs = static_cast<double>(std::atoll(line) - start) / 1e6;
    maxResidentKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && argv[1] == kChildOption)
        return showWindowOnce(1, argv);
    const int runs = argc > 2 && std::string_view(argv[1]) == "--runs" ? std::atoi(argv[2]) : 1;
    for (int run = 0; run < runs; ++run) {
        double paintMs = 0;
        long maxResidentKb = 0;
        if (!measureOneStart("/proc/self/exe", paintMs, maxResidentKb)) {
            std::fprintf(stderr, "the window was not painted\n");
            return 1;
        }
        std::printf("first_paint_ms=%.1f max_rss_kb=%ld\n", paintMs, maxResidentKb);
    }
    return 0;
}
