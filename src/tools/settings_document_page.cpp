// Build tool: writes the reference page of settings documents, made from
// the settings table, to the file named (or to standard output).
#include "document/reference_page.h"

#include <fstream>
#include <iostream>

int main(int argc, char* argv[])
{
    if (argc > 2) {
        std::cerr << "usage: settings-document-page [PAGE.md]\n";
        return 2;
    }
    const std::string page = telvor::referencePage();
    if (argc == 1) {
        std::cout << page;
        return std::cout.flush() ? 0 : 1;
    }
    std::ofstream file(argv[1], std::ios::binary);
    file << page;
    file.close();
    if (!file) {
        std::cerr << argv[1] << ": cannot be written\n";
        return 1;
    }
    return 0;
}
