#include "app/runtimepaths.h"

#include "app/czechtoolkit.h"
#include "app/helpcommand.h"
#include "core/programfolder.h"

#include <cstdio>

namespace vartemo {

int ShowRuntimePaths(const QString& home) {
    const QString help = HelpCommand(HelpCommand::defaultFolders(), {}, {}).contentsPage().toLocalFile();
    const QString translation = CzechToolkitTranslation();
    const auto line = [](const char* name, const QString& path) {
        std::printf("%s: %s\n", name, path.isEmpty() ? "missing" : qPrintable(path));
    };
    line("program folder", ProgramFolder::resolve(home));
    line("help", help);
    line("translation", translation);
    return help.isEmpty() || translation.isEmpty() ? 1 : 0;
}

} // namespace vartemo
