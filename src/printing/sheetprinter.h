#pragma once

#include "printing/pagemodel.h"

#include <QString>
#include <functional>

class QPrinter;

namespace vartemo {

// Paper size, orientation and the job's name (the CUPS job title and the
// PDF title) of the sheet, set on the printer; positions count from the
// paper's corner.
void ApplySheetPaper(QPrinter& printer, const Sheet& sheet);

// Prints every page of the sheet. Returns an empty text, or the message
// that says why printing could not start. progress hears each page as it
// goes to the printer.
QString PrintSheet(QPrinter& printer, const Sheet& sheet, bool lowQuality = false,
                   const std::function<void(int page, int count)>& progress = {});

// "Tisk nelze spustit ..." for a printer that does not take the job.
QString PrintCannotStartMessage(const QPrinter& printer);

} // namespace vartemo
