// make_catalogue: writes the delivered motor catalogue from the nameplate table, and prints the
// direct-on-line locked-rotor ratios of a catalogue as read back from its file.
//
//   make_catalogue NAMEPLATES OUTPUT [--table]   write OUTPUT (then print its table)
//   make_catalogue --table LISTFILE              print the table of an existing list file

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "CatalogueGenerator.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: make_catalogue NAMEPLATES OUTPUT [--table]\n"
                         "       make_catalogue --table LISTFILE\n");
    return 2;
}

int PrintTable(const std::filesystem::path& file) {
    const MotorList list = ReadMotorList(file);
    for (const SkippedLine& s : list.skipped)
        std::fprintf(stderr, "skipped %s\n", s.Reason(Language::English).c_str());
    std::fputs(LockedRotorTable(list).c_str(), stdout);
    return list.skipped.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool table = false;
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (a == "--table")
            table = true;
        else if (!a.empty() && a[0] == '-')
            return Usage();
        else
            files.push_back(a);
    }
    try {
        if (files.size() == 1 && table) return PrintTable(files[0]);
        if (files.size() != 2) return Usage();
        WriteListFile(files[1], CatalogueLines(ReadNameplates(files[0])));
        if (table) return PrintTable(files[1]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_catalogue: %s\n", e.what());
        return 1;
    }
}
