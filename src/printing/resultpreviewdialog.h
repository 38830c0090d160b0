#pragma once

#include "printing/printpreviewdialog.h"
#include "printing/resultsheet.h"

class QButtonGroup;
class QGroupBox;

namespace vartemo {

// The preview of a result sheet with the kart selection `rgTiskKary`
// ("Vše", then one kart). The data comes fresh from source() at every
// composing: lists, the ride's driver names, the printing settings.
class ResultPreviewDialog : public PrintPreviewDialog {
    Q_OBJECT
public:
    using Source = std::function<ResultSheetInput()>;
    ResultPreviewDialog(ResultKind kind, StationPrinter& printer, Source source, QWidget* parent = nullptr);

    ResultKind kind() const { return kind_; }
    int kartSelection() const; // 0 "Vše", n kart n
    void setKartSelection(int selection);

    // The automatic print: every kart, whatever the operator chose, which
    // stays as it is.
    QStringList PrintAllKartsWithoutDialog();

    static QStringList KartEntries();

protected:
    Sheet composeSheet(const std::function<void(int, int)>& progress) override;

private:
    ResultKind kind_;
    Source source_;
    QButtonGroup* karts_ = nullptr;
    bool everyKart_ = false;
};

// The lap sheet: "Tisk výsledku jízd", the automatic print. It owns the
// station's printer that the other sheets share.
class TNahled2Dlg : public ResultPreviewDialog {
    Q_OBJECT
public:
    TNahled2Dlg(StationPrinter& printer, Source source, QWidget* parent = nullptr)
        : ResultPreviewDialog(ResultKind::Laps, printer, std::move(source), parent) {}
};

// The split sheet: "Tisk výsledku mezičasů".
class TNahled3Dlg : public ResultPreviewDialog {
    Q_OBJECT
public:
    TNahled3Dlg(StationPrinter& printer, Source source, QWidget* parent = nullptr)
        : ResultPreviewDialog(ResultKind::Splits, printer, std::move(source), parent) {}
};

} // namespace vartemo
