#include "config/settingid.h"

#include <QtGlobal>
#include <vector>

namespace vartemo {

namespace {

using T = SettingType;

// Builds the rows in SettingId order; numbered groups in a loop.
class TableBuilder {
public:
    std::vector<SettingInfo> rows;

    void section(const char* name) { section_ = QString::fromUtf8(name); }

    void add(T type, const char* key, const char* holder, int def = 0, int min = 0, int max = 0) {
        push(type, QString::fromUtf8(key), QString::fromUtf8(holder), def, {}, min, max, 0);
    }
    void text(T type, const char* key, const char* holder, const char* def = "", int maxLength = 0) {
        push(type, QString::fromUtf8(key), QString::fromUtf8(holder), 0, QString::fromUtf8(def), 0,
             0, maxLength);
    }
    // count settings: key and holder patterns take %1 = first + i * step.
    void numbered(T type, const char* key, const char* holder, int first, int count, int step = 1,
                  int def = 0, int min = 0, int max = 0, int maxLength = 0,
                  bool numberIsDefaultText = false) {
        for (int i = 0; i < count; ++i) {
            const int n = first + i * step;
            push(type, QString::fromUtf8(key).arg(n), QString::fromUtf8(holder).arg(n), def,
                 numberIsDefaultText ? QString::number(n) : QString(), min, max, maxLength);
        }
    }

private:
    void push(T type, QString key, QString holder, int def, QString defText, int min, int max,
              int maxLength) {
        rows.push_back(SettingInfo{static_cast<SettingId>(rows.size()), section_, std::move(key),
                                   type, def, std::move(defText), min, max, maxLength,
                                   std::move(holder)});
    }
    QString section_;
};

std::vector<SettingInfo> buildTable() {
    TableBuilder b;
    b.section("Po spusteni");
    b.add(T::Bool, "Mezicasy", "cbMezicasy", 1);
    b.add(T::PortChoice, "Port", "LPT1_Start/LPT2_Start/LPTxx_Start", 1);
    b.text(T::Text, "Base", "LPTxx_BASE", "DC00", 4);
    b.add(T::BitMask, "Hodnota", "LptBit", 0);
    b.add(T::Bool, "Start", "po_spusteni", 0);
    b.add(T::RadioGroup, "Zobrazeni", "rgZobrazeni", 1, 0, 3);
    b.add(T::Bool, "LPT", "cbLPT", 1);
    b.add(T::Bool, "COM", "cbCOM", 0);
    b.add(T::Bool, "TCP", "cbTcpIP", 0);
    b.add(T::Bool, "Minuty", "cbMinuty", 1);
    b.add(T::Bool, "Ucast", "cbBezUcasti", 0);
    b.add(T::Integer, "Delka_Trate", "DelkaTrate", 1, 1, 99999);
    b.add(T::Integer, "Cena", "spCena", 1, 1, 99999);
    b.add(T::Bool, "OnTop", "OnTopBox", 0);
    b.add(T::RadioGroup, "Priorita", "priorita_aplikace", 0, 0, 3);
    b.add(T::Bool, "ExtStart", "cbExtStart", 0);
    b.add(T::Bool, "PrvniKolo", "PrvniKoloBox", 0);
    b.add(T::Bool, "AutoStart", "cbAutoStart", 0);
    b.add(T::Integer, "AutoStartCas", "SpinAutoStartCas", 60);
    b.add(T::Bool, "Autostop", "cbAutoStop", 0);
    b.add(T::Bool, "AutoUloz", "cbAutoSave", 0);
    b.add(T::Bool, "Hlaseni", "cbHlaseni", 1);
    b.add(T::Bool, "Sporic", "cbSporic", 1);

    b.section("Semafor");
    b.add(T::Bool, "Pouzij", "cbSemafor", 1);
    b.add(T::PortChoice, "Port_semafor", "Semafor_LPT1/Semafor_LPT2/Semafor_LPT3", 1);
    b.text(T::Text, "Base_Semafor", "Semafor_Base", "DC00");
    b.add(T::BitMask, "Zelena", "ZelenaBit", 0);
    b.add(T::BitMask, "Oranzova", "OranzovaBit", 0);
    b.add(T::BitMask, "Cervena", "CervenaBit", 0);
    b.add(T::Integer, "Prodleva", "Prodleva", 1, 1, 10);
    // "Zhasnout semafor ": switch the lights off after spSemaforVyp minutes.
    b.add(T::Bool, "Zhasnout", "cbSemaforVyp", 1);
    b.add(T::Integer, "ProdlevaCas", "spSemaforVyp", 1);

    b.section("Tisk");
    b.add(T::Bool, "Autotisk", "cbAutoTisk", 0);
    b.text(T::Text, "Logo", "LogoImage1");
    b.add(T::Integer, "Velikost", "VelikostLOGA", 50, 10, 100);
    b.add(T::Bool, "Centrovat", "CentrovatLOGO", 1);
    b.numbered(T::StarredText, "Text%1", "Text%1", 1, 5);
    b.text(T::StarredText, "Text6", "Text6", "Děkujeme Vám za vaši návštěvu.");
    b.numbered(T::StarredText, "Text%1", "Text%1", 7, 2);

    b.section("Tisk_Diplom");
    b.text(T::Text, "Logo", "Diplom_logo");
    b.add(T::Integer, "Velikost", "Diplom_Velikost_loga", 50, 10, 100);
    b.text(T::Text, "Logo1", "Diplom_Obrazek");
    b.add(T::Integer, "Velikost1", "Diplom_Velikost_obrazek", 50, 10, 100);
    for (int i = 1; i <= 4; ++i) {
        const QByteArray key = "Text" + QByteArray::number(i);
        const QByteArray holder = "Text" + QByteArray::number(i + 8);
        b.text(T::StarredText, key.constData(), holder.constData());
    }

    b.section("TVOUT");
    b.add(T::Bool, "Pouzit", "TV_OUT_Box", 0);
    b.add(T::Bool, "Form", "PruhlednyForm_Box", 1);
    b.add(T::RadioGroup, "TypZobrazeni", "Typ_zobrazeni_Group", 1, 0, 1);

    b.section("HW");
    b.add(T::Bool, "Rizeni", "Hw_rizeniBox", 1);
    b.add(T::Bool, "Negace", "Vsupy_negace_Check", 1);
    b.add(T::Integer, "LOG0", "SpinLOG0", 150, 10, 5000);
    b.add(T::Integer, "LOG1", "SpinLOG1", 150, 10, 5000);
    b.numbered(T::Integer, "Chyba%1", "SpinChybaMereni%1", 1, 8, 1, 0, 0, 59000);
    b.add(T::Integer, "Prodleva", "SpinProdleva", 2000, 500, 60000);
    b.add(T::Bool, "Mazat", "Mazat", 0);
    b.add(T::Integer, "MazatCas", "Spin_Mazat_Cas", 10000, 1, 120);

    b.section("Com");
    b.numbered(T::Text, "Sekvence%1", "EdSekvence%1", 1, 8);
    b.numbered(T::Text, "Sekvence%1", "EdSekvence%1", 11, 8, 10);
    b.add(T::Bool, "RTS", "cbRTS", 0);
    b.add(T::Bool, "DTR", "cbDTR", 0);
    b.numbered(T::Text, "ID%1", "ID%1", 1, 10, 1, 0, 0, 0, 4, true);
    b.numbered(T::Text, "IP%1", "IP%1", 0, 11);
    b.numbered(T::Text, "Popis%1", "Popis%1", 0, 11);

    b.section("Ftp");
    b.add(T::Bool, "Autoposli", "cbAutoPosliFTP", 0);
    b.text(T::Text, "Hostitel", "FtpHostitel");
    b.text(T::Text, "Jmeno", "FtpJmeno");
    b.text(T::Password, "Heslo", "FtpHeslo");
    b.add(T::Bool, "Hesla", "cbNoHesla", 1);
    b.numbered(T::Bool, "%1", "cbFtp%1", 1, 6);
    b.numbered(T::Text, "Soubor%1", "FtpSoubor%1", 1, 6);
    b.numbered(T::Text, "FtpAdr%1", "FtpAdr%1", 1, 6);

    b.section("Proxy");
    b.add(T::Bool, "Ftp", "cbProxyFtp", 0);
    b.add(T::Bool, "Http", "cbProxyHttp", 0);
    b.text(T::Text, "Adresa", "ProxyAdresa");
    b.text(T::Text, "Port", "eProxyPort");
    b.text(T::Text, "Jmeno", "ProxyJmeno");
    b.text(T::Password, "Heslo", "ProxyHeslo");

    b.section("Zvuk");
    b.add(T::Bool, "Hrat", "cbHratZvuk", 0);
    b.add(T::Bool, "Applaus", "cbApplaus", 0);
    // Default: the program folder's "zvuky/success.wav" (filled in by Settings).
    b.text(T::Text, "Jmeno", "Cesta_Box");

    b.section("Mixer");
    b.add(T::Integer, "MVolume", "tbVolume", 0, 0, 65535);
    b.add(T::Integer, "Volume", "tbMP3WAV", 0, 0, 65535);
    b.add(T::Bool, "Mute", "cbMute", 0);
    b.add(T::Integer, "Treble", "tbTreble", 0, 0, 65535);
    b.add(T::Integer, "Bass", "tbBass", 0, 0, 65535);

    b.section("WebVysledky");
    b.add(T::Bool, "Pouzit", "cbWebVysledky", 0);
    b.add(T::Integer, "Port", "SpinWebPort", 8080, 1024, 65535);
    // Empty: every IPv4 address of the station.
    b.text(T::Text, "Adresa", "EdWebAdresa");

    Q_ASSERT(b.rows.size() == static_cast<size_t>(kSettingCount));
    return b.rows;
}

const std::vector<SettingInfo>& table() {
    static const std::vector<SettingInfo> rows = buildTable();
    return rows;
}

} // namespace

const SettingInfo& InfoOf(SettingId id) {
    return table().at(static_cast<size_t>(id));
}

SettingId NumberedSetting(SettingId first, int n) {
    const int index = static_cast<int>(first) + n - 1;
    Q_ASSERT(n >= 1 && index < kSettingCount);
    return static_cast<SettingId>(index);
}

} // namespace vartemo
