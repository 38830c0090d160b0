#pragma once

#include "engine/raceboard.h"

#include <QTabWidget>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vartemo {

// The page control pcCasy: two pages of four kart group frames, each with the
// lap list, the track list, the name button, the "Žena" and "Bez účasti"
// boxes and the buttons under the lists. Shows a RaceBoard and forwards the
// operator's actions to it; what belongs to other parts of the station
// (saving, loading, the best-twenty insertion, pausing the automatic start
// around the name input) leaves through signals.
class RaceBoardView : public QTabWidget {
    Q_OBJECT
public:
    explicit RaceBoardView(RaceBoard& board, QWidget* parent = nullptr);

    // Asks for a driver name; nullopt = cancelled. The default shows the
    // input box "Zadejte jméno jezdce"; tests replace it.
    using NamePrompt = std::function<std::optional<QString>(const QString& proposed)>;
    void setNamePrompt(NamePrompt prompt) { namePrompt_ = std::move(prompt); }

    // Track lists shown (wide frames) or hidden (narrow frames).
    void ApplyLayout(bool showTrackLists);
    bool trackListsShown() const { return trackShown_; }

    QListWidget* list(int kart, BoardList which) const;
    QGroupBox* group(int kart) const { return groups_[idx(kart)]; }
    QPushButton* nameButton(int kart) const { return nameButtons_[idx(kart)]; }

    // A kart not seen for too long: a red "Bez průjezdu" over the top of its
    // lap list (and its page's tab in red) until it is seen again.
    void setOverdue(int kart, bool overdue);
    bool isOverdue(int kart) const;
    static const QString kOverdueText;

    // The actions of the lists' pop-up menus.
    void deleteSelectedLine(int kart, BoardList which); // "Smazat záznam"
    void requestTopTwenty(int kart);                    // "Vložit do tab. Top 20"

    static const QString kTrackListHint;
    // Buttons under the lap list are Smazat1, under the track list Smazat1_Draha.
    static QString ButtonName(const char* stem, int kart, BoardList which);

signals:
    void nameEntryStarting();
    void nameEntryFinished();
    void saveRequested(int kart, vartemo::BoardList list);
    void loadRequested(int kart, vartemo::BoardList list);
    void topTwentyRequested(int kart);

private:
    struct ListButtons {
        QPushButton* clear = nullptr;
        QPushButton* save = nullptr;
        QPushButton* load = nullptr;
    };
    static size_t idx(int kart) { return static_cast<size_t>(kart - 1); }
    void buildSlot(int kart, QWidget* page);
    ListButtons buildListButtons(int kart, BoardList which, QWidget* parent);
    void placeSlot(int kart);
    void askDriverName(int kart);
    void reloadList(int kart, BoardList which);
    void appendLine(int kart, BoardList which, const QString& line);
    void updateCaption(int kart);
    void showListMenu(int kart, BoardList which, const QPoint& pos);

    RaceBoard& board_;
    NamePrompt namePrompt_;
    bool trackShown_ = true;
    std::array<QGroupBox*, kKartCount> groups_{};
    std::array<QListWidget*, kKartCount> lapLists_{};
    std::array<QListWidget*, kKartCount> trackLists_{};
    std::array<QPushButton*, kKartCount> nameButtons_{};
    std::array<QCheckBox*, kKartCount> womanBoxes_{};
    std::array<QCheckBox*, kKartCount> excludedBoxes_{};
    std::array<ListButtons, kKartCount> lapButtons_{};
    std::array<ListButtons, kKartCount> trackButtons_{};
    // Made at a kart's first mark.
    std::array<QLabel*, kKartCount> overdueMarks_{};
};

} // namespace vartemo
