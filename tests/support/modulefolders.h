#pragma once

#include "core/moduleloader.h"

#include <QStringList>

namespace vartemo::test {

// Points the module loader at other folders for a test (a folder without
// the modules: the station as installed with one missing), and back again.
class ModuleFolders {
public:
    explicit ModuleFolders(const QStringList& folders) : before_(modules::SearchFolders()) {
        modules::SetSearchFolders(folders);
    }
    ~ModuleFolders() { modules::SetSearchFolders(before_); }
    ModuleFolders(const ModuleFolders&) = delete;
    ModuleFolders& operator=(const ModuleFolders&) = delete;

private:
    const QStringList before_;
};

} // namespace vartemo::test
