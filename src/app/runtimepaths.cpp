#include "app/runtimepaths.h"

#include "app/czechtoolkit.h"
#include "app/helpcommand.h"
#include "core/moduleloader.h"
#include "core/programfolder.h"
#include "publishing/ftpsession.h"
#include "sound/mediabackend.h"
#include "spectators/liveresultshttp.h"

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
    // The modules loaded at first use: FTP, the live page's server, sounds.
    bool modulesThere = true;
    for (const auto& [name, module] : {std::pair{"ftp module", kFtpModule}, std::pair{"page module", kLiveResultsModule},
                                       std::pair{"sound module", kSoundModule}}) {
        const QString file = modules::Find(QString::fromLatin1(module));
        line(name, file);
        modulesThere = modulesThere && !file.isEmpty();
    }
    return help.isEmpty() || translation.isEmpty() || !modulesThere ? 1 : 0;
}

} // namespace vartemo
