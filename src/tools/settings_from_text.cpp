// Build tool: turns a KEY=value settings text into a settings file, with the
// same parser that reads the device's answers.
#include "image/settings_file.h"
#include "image/settings_text.h"

#include <fstream>
#include <iostream>
#include <iterator>

using namespace telvor;

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::cerr << "usage: settings-from-text TEXT_FILE SETTINGS_FILE\n";
        return 2;
    }
    std::ifstream input(argv[1], std::ios::binary);
    if (!input) {
        std::cerr << argv[1] << ": cannot be opened\n";
        return 2;
    }
    const std::string text(std::istreambuf_iterator<char>(input), {});
    SettingsImage image;
    const SettingsTextResult parsed = settingsFromText(text, image);
    if (!parsed.ok) {
        std::cerr << argv[1] << ": " << parsed.error << '\n';
        return 1;
    }
    const SettingsFileResult written = writeSettingsFile(argv[2], image);
    if (!written.ok) {
        std::cerr << argv[2] << ": " << written.status << ' ' << written.reason << '\n';
        return 1;
    }
    return 0;
}
