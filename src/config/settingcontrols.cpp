#include "config/settingcontrols.h"

#include <QtGlobal>
#include <algorithm>

namespace vartemo {

namespace {

using S = SettingId;
using K = ControlKind;

QStringList bitItems() {
    QStringList items;
    for (int bit = 0; bit < 8; ++bit)
        items << QStringLiteral("Bit%1: Pin%2").arg(bit).arg(bit + 2);
    return items;
}

// Fills the rows page by page; a group keeps its column count until the next.
class ControlTableBuilder {
public:
    std::vector<ControlRow> rows;

    void page(int page) { page_ = page; }
    void group(const char* caption, int columns = 1) {
        group_ = QString::fromUtf8(caption);
        columns_ = columns;
    }
    void add(S id, K kind, const QString& caption, const QString& unit = {},
             const QStringList& items = {}) {
        rows.push_back(ControlRow{id, page_, group_, columns_, kind, caption, unit, items});
    }
    void check(S id, const char* caption) { add(id, K::Check, QString::fromUtf8(caption)); }
    void spin(S id, const char* caption, const char* unit = "") {
        add(id, K::Spin, QString::fromUtf8(caption), QString::fromUtf8(unit));
    }
    void edit(S id, const char* caption) { add(id, K::Edit, QString::fromUtf8(caption)); }
    void radio(S id, const char* caption, QStringList items) {
        add(id, K::Radio, QString::fromUtf8(caption), {}, items);
    }

private:
    int page_ = kPageStart;
    QString group_;
    int columns_ = 1;
};

QString utf(const char* text) {
    return QString::fromUtf8(text);
}

std::vector<ControlRow> buildRows() {
    ControlTableBuilder b;
    b.page(kFramePage);
    b.group("");
    b.radio(S::rgZobrazeni, " Typ zobrazení nastavení ",
            {utf("Minimální"), utf("Základní"), utf("Technické"), utf("Kompletní")});

    b.page(kPageStart);
    b.group(" Snímače ");
    b.check(S::cbLPT, "Použít LPT");
    b.check(S::cbCOM, "Použít COM");
    b.check(S::cbTcpIP, "Použít UDP/IP - sít");
    b.group(" Start a stop ");
    b.check(S::cbMinuty, "Počítat minuty nebo kola");
    b.check(S::cbExtStart, "Používat externí         start tlačítko");
    b.check(S::cbAutoStart, "Autostart prvním       průjezdem");
    b.spin(S::SpinAutoStartCas, "Další start po", "( sekund )");
    b.check(S::PrvniKoloBox, "Nepočítat první kolo závodu");
    b.check(S::cbAutoStop, "Automaticky zastavit měření");
    b.check(S::cbAutoSave, "Automaticky uložit jízdy");
    b.check(S::cbBezUcasti, "Pro všechny nastavit Bez účasti");
    b.group(" Zobrazení ");
    b.check(S::cbMezicasy, "Zobrazovat mezičasy na dráze");
    b.check(S::OnTopBox, "Vždy navrchu ");
    b.check(S::cbHlaseni, "Zobrazit hlášení stavu motokár");
    b.check(S::cbSporic, "Zakázat spořič");
    b.group(" Stav LPT portu po spuštění ");
    b.add(S::StartPort, K::PortButtons, utf("Port"), {}, {utf("LPT1"), utf("LPT2"), utf("LPTxx")});
    b.edit(S::LPTxx_BASE, "Adresa LPTxx (hex)");
    b.add(S::LptBit, K::BitList, utf("Hodnota"), {}, bitItems());
    b.group(" Trať a cena ");
    b.spin(S::DelkaTrate, "Průměrná délka trati", "metrů");
    b.spin(S::spCena, "Cena za minutu", "Kč");
    b.group("");
    b.radio(S::priorita_aplikace, " Priorita aplikace ",
            {utf("Nízká"), utf("Normální"), utf("Vysoká"), utf("Reálný čas")});
    b.group(" Ostatní ");
    b.check(S::po_spusteni, "Spustit po startu Windows");

    b.page(kPageSemafor);
    b.group(" Semafor ");
    b.check(S::cbSemafor, "Zapnout semafor");
    b.add(S::SemaforPort, K::PortButtons, utf("Port"), {}, {utf("LPT1"), utf("LPT2"), utf("LPT3")});
    b.edit(S::Semafor_Base, "Adresa LPT3 (hex)");
    b.spin(S::Prodleva, "Prodleva mezi světly", "sec");
    b.check(S::cbSemaforVyp, "Zhasnout semafor ");
    b.spin(S::spSemaforVyp, "Prodleva po rosvícení           semaforu", "minut");
    b.group(" Barvy ", 3);
    b.add(S::ZelenaBit, K::BitList, utf("Zelená"), {}, bitItems());
    b.add(S::OranzovaBit, K::BitList, utf("Oranžová"), {}, bitItems());
    b.add(S::CervenaBit, K::BitList, utf("Červená"), {}, bitItems());

    b.page(kPageSounds);
    b.group(" Zvuk ");
    b.check(S::cbHratZvuk, "Přehrát zvuk po uplinutí nastaveného času závodu");
    b.check(S::cbApplaus, "Přehrát aplaus při zápisu do tabulky Top dvacet");
    b.edit(S::SoundFile, "Zvukový soubor");
    b.group(" Mixér ");
    b.add(S::tbVolume, K::Slider, utf("Hlasitost"));
    b.add(S::tbMP3WAV, K::Slider, utf("WAV / MP3"));
    b.add(S::tbTreble, K::Slider, utf("Výšky"));
    b.add(S::tbBass, K::Slider, utf("Basy"));
    b.check(S::cbMute, "Ztlumit vše");

    b.page(kPagePrint);
    b.group(" Tisk výsledků ");
    b.check(S::cbAutoTisk, "Po skončení jízd automaticky tisknout výsledky");
    b.group(" Logo ");
    b.add(S::PrintLogo, K::Picture, utf("Logo"));
    b.spin(S::VelikostLOGA, "Velikost loga", "%");
    b.check(S::CentrovatLOGO, "Centrovat logo");
    b.group(" Texty ");
    for (int line = 1; line <= 8; ++line)
        b.add(NumberedSetting(S::Text1, line), K::Edit, QStringLiteral("%1.").arg(line));

    b.page(kPageDiploma);
    b.group(" Logo ");
    b.add(S::DiplomaLogo, K::Picture, utf("Logo"));
    b.spin(S::Diplom_Velikost_loga, "Velikost loga", "%");
    b.group(" Obrázek ");
    b.add(S::DiplomaPicture, K::Picture, utf("Obrázek"));
    b.spin(S::Diplom_Velikost_obrazek, "Velikost obrázku", "%");
    b.group(" Texty (#misto# = umístění) ");
    for (int line = 1; line <= 4; ++line)
        b.add(NumberedSetting(S::Text9, line), K::Edit, QStringLiteral("%1.").arg(line));

    b.page(kPageTv);
    b.group(" TV výstup ");
    b.check(S::TV_OUT_Box, "Použít TV výstup");
    b.check(S::PruhlednyForm_Box, "Zobrazit průhledný formulář");
    b.group("");
    b.radio(S::Typ_zobrazeni_Group, " Typ zobrazení ",
            {utf("Zobrazovat minimální časy"), utf("Zobrazovat průběžné časy")});
    b.group(" Webové výsledky ");
    b.check(S::cbWebVysledky, "Webové výsledky pro diváky");
    b.spin(S::SpinWebPort, "Port");
    b.edit(S::EdWebAdresa, "Adresa");

    b.page(kPageHardware);
    b.group(" Hardwarové řízení ");
    b.check(S::Hw_rizeniBox, "Použít hardwarové řízení vartemy");
    b.check(S::Vsupy_negace_Check, "Negace vstupů");
    b.spin(S::SpinLOG0, "LOG0", "ms");
    b.spin(S::SpinLOG1, "LOG1", "ms");
    b.group(" Chyba měření ", 2);
    for (int kart = 1; kart <= 8; ++kart)
        b.add(NumberedSetting(S::SpinChybaMereni1, kart), K::Spin,
              QStringLiteral("Motokára %1").arg(kart), utf("ms"));
    b.group(" Měření ");
    b.spin(S::SpinProdleva, "Neměřit po průjezdu", "ms");
    b.check(S::Mazat, "Mazat kratší časy než");
    b.spin(S::Spin_Mazat_Cas, "", "sec");

    b.page(kPageCom);
    b.group(" Přijímač na COM portu ");
    b.check(S::cbRTS, "Nastav RTS");
    b.check(S::cbDTR, "Nastav DTR");

    b.page(kPageCodes);
    b.group(" Naučené sekvence ", 2);
    for (int kart = 1; kart <= 8; ++kart) {
        b.add(NumberedSetting(S::EdSekvence1, kart), K::Edit, QStringLiteral("Motokára %1").arg(kart));
        b.add(NumberedSetting(S::EdSekvence11, kart), K::Edit, utf("druhá"));
    }
    b.group(" Snímač v cíli ", 2);
    b.edit(S::IP0, "IP adresa");
    b.edit(S::Popis0, "Popis");
    b.group(" Snímače na trati ", 3);
    for (int sensor = 1; sensor <= 10; ++sensor) {
        b.add(NumberedSetting(S::ID1, sensor), K::Edit, QStringLiteral("Snímač %1").arg(sensor));
        b.add(NumberedSetting(S::IP0, sensor + 1), K::Edit, utf("IP adresa"));
        b.add(NumberedSetting(S::Popis0, sensor + 1), K::Edit, utf("Popis"));
    }

    b.page(kPageFtp);
    b.group(" Ftp server ");
    b.check(S::cbAutoPosliFTP, "Při ukončení programu odeslat soubory");
    b.edit(S::FtpHostitel, "Hostitel");
    b.edit(S::FtpJmeno, "Jméno");
    b.edit(S::FtpHeslo, "Heslo");
    b.check(S::cbNoHesla, "Neukládat hesla");
    b.group(" Soubory ", 3);
    for (int slot = 1; slot <= 6; ++slot) {
        b.add(NumberedSetting(S::cbFtp1, slot), K::Check, QStringLiteral("%1.").arg(slot));
        b.add(NumberedSetting(S::FtpSoubor1, slot), K::Edit, utf("Soubor"));
        b.add(NumberedSetting(S::FtpAdr1, slot), K::Edit, utf("Cíl"));
    }
    b.group(" Proxy ");
    b.check(S::cbProxyFtp, "FTP proxy");
    b.check(S::cbProxyHttp, "HTTP proxy");
    b.edit(S::ProxyAdresa, "Adresa");
    b.edit(S::eProxyPort, "Port");
    b.edit(S::ProxyJmeno, "Jméno");
    b.edit(S::ProxyHeslo, "Heslo");
    return b.rows;
}

const std::vector<ControlRow>& rows() {
    static const std::vector<ControlRow> table = buildRows();
    return table;
}

} // namespace

const std::vector<ControlRow>& SettingControls() {
    return rows();
}

const ControlRow& ControlOf(SettingId id) {
    static const std::vector<size_t> byId = [] {
        std::vector<size_t> index(static_cast<size_t>(kSettingCount), 0);
        for (size_t i = 0; i < rows().size(); ++i)
            index[static_cast<size_t>(rows()[i].id)] = i;
        return index;
    }();
    return rows()[byId[static_cast<size_t>(id)]];
}

const QStringList& PageCaptions() {
    static const QStringList captions = {
        utf("Po spuštění "), utf("Semafor "), utf("Zvuky "), utf("Tisk "), utf("Tisk diplomu "),
        utf("TV výstup "), utf("Hw. řízení / chyba měření "), utf("COM / Infra / UDP"),
        utf("Naučené sekvence"), utf("Ftp klient "), utf("Editor výsledků "), utf("Testování ")};
    return captions;
}

QList<int> VisiblePages(int level) {
    switch (level) {
    case 0:
        return {kPageSounds, kPagePrint, kPageDiploma, kPageEditor};
    case 1:
        return {kPageStart, kPageSemafor, kPageSounds, kPagePrint, kPageDiploma, kPageEditor};
    case 2:
        return {kPageStart, kPageSemafor, kPageTv, kPageHardware, kPageCom, kPageCodes, kPageFtp,
                kPageTests};
    default:
        break;
    }
    QList<int> all;
    for (int page = 0; page < kPageCount; ++page)
        all << page;
    return all;
}

int ActivePageOf(int level) {
    return level == 0 ? kPageSounds : kPageStart;
}

} // namespace vartemo
