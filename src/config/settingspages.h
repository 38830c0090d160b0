#pragma once

#include "config/settingcontrols.h"

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <utility>
#include <vector>

class QBoxLayout;
class QGridLayout;
class QGroupBox;
class QLayout;
class QVBoxLayout;
class QWidget;

namespace vartemo {

class Settings;

// Builds the holder controls of the settings dialog from SettingControls()
// and binds each to its setting both ways: an operator's change writes the
// setting at once, a change of the setting (the load, learning, another
// control) shows in the control. The controls keep no copy of their own.
class SettingsPages : public QObject {
    Q_OBJECT
public:
    explicit SettingsPages(Settings& settings, QObject* parent = nullptr);

    // Every control of the page, grouped, into the page's widget (a frame
    // page: the controls of kFramePage).
    void build(int page, QWidget* pageWidget);

    // The group box of a page by its caption, made when missing, so that the
    // dialog's own buttons and lists join the setting controls there.
    QGroupBox* group(int page, const QString& caption);
    QGridLayout* groupGrid(int page, const QString& caption);
    // The line of a setting's control, to put a button beside it.
    QBoxLayout* lineOf(SettingId id) const;
    QWidget* control(SettingId id) const;

    // Deals the page's groups out to its columns again, in the order they
    // were made, each to the column that is shortest on screen: groups that
    // the dialog filled after the build count with their real height.
    void balanceColumns(int page);

    // While the dialog is open: a picture setting's control shows its file
    // and a password's box its password; closed, they release them (the
    // password then stays only scrambled in the settings).
    void setOpen(bool open);

private:
    struct Page {
        QWidget* widget = nullptr;
        std::vector<QVBoxLayout*> columns;
        std::vector<int> columnLines;
        std::map<QString, QGroupBox*> groups;
        // The groups (widgets) and radio groups (lines) in the order they were made.
        std::vector<std::pair<QWidget*, QLayout*>> blocks;
        bool closed = false; // the columns end in their stretch
    };
    struct Bound {
        QWidget* widget = nullptr;
        QBoxLayout* line = nullptr;
        std::function<void()> show; // setting -> control
    };

    void addControl(const ControlRow& row, Page& page);
    QWidget* makeControl(const ControlRow& row, QBoxLayout* line);
    void showSetting(SettingId id);
    void showPicture(SettingId id);

    Settings& settings_;
    std::map<int, Page> pages_;
    std::vector<Bound> bound_;
    bool open_ = false;
};

} // namespace vartemo
