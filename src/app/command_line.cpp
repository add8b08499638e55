#include "app/command_line.h"

#include <string_view>

namespace qel {

const char* programVersion() { return QEL_VERSION; }

CommandLineRequest readCommandLine(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version") return CommandLineRequest::version;
        if (argument == "--help" || argument == "-h") return CommandLineRequest::help;
    }
    return CommandLineRequest::start;
}

std::string versionText() { return std::string("qel ") + programVersion() + "\n"; }

std::string usageText(const std::optional<std::string>& manual, const std::vector<std::string>& searched) {
    std::string text =
        "Usage: qel [--help | --version]\n"
        "\n"
        "qel explores the Mandelbrot set and Julia sets (Mandelbrot集合・Julia集合 探索ソフト).\n"
        "Started without options it opens its window and draws the Mandelbrot set;\n"
        "everything else is done with the mouse: a left click zooms into the clicked\n"
        "point, the wheel zooms 2x in or out about the pointer, a right click stops\n"
        "a drawing or opens the menu, any key ends qel.\n"
        "\n"
        "  --help     print this text and exit\n"
        "  --version  print the version and exit\n"
        "\n";
    if (manual) {
        text += "The manual (menu \"Help (readme.txt)\"): " + *manual + "\n";
    } else {
        text += "The manual readme.txt is missing; qel looks for it in:\n";
        for (const std::string& folder : searched) text += "  " + folder + "\n";
    }
    text += "See also: man qel, qel-render(1).\n";
    return text;
}

}  // namespace qel
