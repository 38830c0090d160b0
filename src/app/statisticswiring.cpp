#include "app/statisticswiring.h"

#include "analysis/resultseditorpage.h"
#include "analysis/statisticsdialog.h"
#include "config/settings.h"
#include "config/tnastavdlg.h"
#include "engine/commandbuttons.h"
#include "engine/lapfilecommands.h"

namespace vartemo {

namespace {
std::array<QString, kSensorCount> SettingTexts(const Settings& settings, SettingId first) {
    std::array<QString, kSensorCount> texts;
    for (int i = 0; i < kSensorCount; ++i)
        texts[size_t(i)] = settings.text(SettingId(int(first) + i));
    return texts;
}
} // namespace

StatisticsWiring::StatisticsWiring(Parts parts) : parts_(std::move(parts)) {}

std::optional<QString> StatisticsWiring::AskSaveFile(QWidget* parent, const QString& folder, const QString& name,
                                                     const QString& filter) {
    return ShowFileDialog(parent, {.save = true, .folder = folder, .filter = filter, .filterIndex = 0, .name = name});
}

StatisticsDialog::Sources StatisticsWiring::sources() {
    return {.board = parts_.board,
            .sensorIds = [this] { return SettingTexts(parts_.settings, SettingId::ID1); },
            .sensorDescriptions = [this] { return SettingTexts(parts_.settings, SettingId::Popis1); },
            .printer = &parts_.printer,
            .saveFile = [this](const QString& name, const QString& filter) {
                return AskSaveFile(&parts_.mainWindow, parts_.resultsFolder, name, filter);
            },
            .bestTwenty = parts_.showBestTwenty,
            .showError = {}};
}

void StatisticsWiring::connectButton(CommandButtons& buttons) {
    QObject::connect(&buttons, &CommandButtons::statistics, &buttons, [this] { lapDialog()->exec(); });
}

TStat_Dlg* StatisticsWiring::lapDialog() {
    if (!lapDialog_) {
        lapDialog_ = new TStat_Dlg(sources(), &parts_.mainWindow);
        QObject::connect(lapDialog_, &StatisticsDialog::splitsRequested, lapDialog_,
                         [this] { splitDialog()->exec(); });
    }
    return lapDialog_;
}

TStat1_Dlg* StatisticsWiring::splitDialog() {
    if (!splitDialog_)
        splitDialog_ = new TStat1_Dlg(sources(), &parts_.mainWindow);
    return splitDialog_;
}

void StatisticsWiring::addResultsEditor(TNastavDlg& settingsDialog) {
    editor_ = new ResultsEditorPage;
    editor_->hooks().saveFile = [this](const QString& name, const QString& filter) {
        return AskSaveFile(editor_, parts_.resultsFolder, name, filter);
    };
    settingsDialog.setResultsEditor(editor_, [this](const QString& folder) { editor_->activate(folder); });
}

} // namespace vartemo
