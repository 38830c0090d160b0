#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace vartemo {

// The parts of the station that bring many libraries of their own (the FTP
// transfer library, the live page's HTTP server, the media player) are
// modules, loaded at their first use rather than at every start. A module is
// a shared object "<name>.so" with one entry function that makes the part.
// It is looked for beside the program (a build) and in the program's library
// folder (an installation), both found from the program's own file.
namespace modules {

// The folders a module is looked for in, in order.
QStringList SearchFolders();
// Others instead (tests and benchmarks, whose programs lie elsewhere in the
// build); empty: the program's own again. Modules are then looked for anew
// (those loaded stay in memory).
void SetSearchFolders(const QStringList& folders);

// The file of a module, empty when no folder holds it.
QString Find(const QString& module);

// The module's entry function, or null with the reason, in Czech, in *error.
// A module is loaded once and stays loaded; any thread may ask.
using EntryFunction = void (*)();
EntryFunction Entry(const QString& module, const char* entry, QString* error);

// The part an entry function `Part* entry(Args...)` makes, or null with the
// reason in *error.
template <typename Part, typename... Args>
std::unique_ptr<Part> Make(const QString& module, const char* entry, QString* error, Args... args) {
    const EntryFunction function = Entry(module, entry, error);
    if (!function)
        return nullptr;
    auto make = reinterpret_cast<Part* (*)(Args...)>(function);
    std::unique_ptr<Part> part(make(std::move(args)...));
    if (!part && error)
        *error = QStringLiteral("Modul %1 svou část nevytvořil").arg(module);
    return part;
}

} // namespace modules

} // namespace vartemo
